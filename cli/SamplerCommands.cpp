// The sampler link: `rescan` runs "Rescan SCSI" and prints the instrument list.

#include <cstdio>

#include "cli/CliSession.h"
#include "cli/Commands.h"

namespace pelmora::cli {

namespace {

void RescanCommand(CliSession& session, const Args&) {
    ApplicationState& app = session.App();
    app.LoadAspiManager();
    app.RescanScsi();
    for (const ScsiDeviceEntry& entry : app.Instruments().Entries())
        std::printf("%s\n", DescribeInstrument(entry).c_str());
}

}  // namespace

void AppendSamplerCommands(std::vector<CommandSpec>& table) {
    table.push_back({"rescan", 0, RescanCommand, "",
                     "\"Rescan SCSI\": print the instruments found, ADAPTER:TARGET FAMILY PRODUCT, the current first",
                     "Scans every SCSI adapter's targets (INQUIRY, with retries) for the maker's samplers and "
                     "synthesizers. PELMORA_SCSI=emulated:DIR adds an emulated bus whose instruments are the "
                     "subfolders of DIR."});
}

}  // namespace pelmora::cli
