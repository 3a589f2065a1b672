// The sampler link: `rescan` runs "Rescan SCSI" and prints the instrument list; sampler-list,
// sampler-import and sampler-export drive the sampler dialog as a user would.

#include <algorithm>
#include <cstdio>

#include "app/SamplerDocuments.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"

namespace pelmora::cli {

namespace {

using smdi::SamplerDialogModel;

void RescanCommand(CliSession& session, const Args&) {
    ApplicationState& app = session.App();
    app.LoadAspiManager();
    app.RescanScsi();
    for (const ScsiDeviceEntry& entry : app.Instruments().Entries())
        std::printf("%s\n", DescribeInstrument(entry).c_str());
}

// OK as the dialog's button: a refused value cannot be typed again here, so it ends the command.
bool PressOk(SamplerDialogModel& model, std::optional<std::size_t> line, const std::string& number) {
    std::string corrected;
    return model.Ok(line, number, corrected) == SamplerDialogModel::Verdict::Close;
}

void ListCommand(CliSession& session, const Args&) {
    bool listed = false;
    const auto print = [&listed](SamplerDialogModel& model) {
        listed = true;
        // Scrolling through the whole list reads every slot.
        for (std::size_t first = 1; first <= model.LineCount(); first += smdi::kFetchCount)
            model.FetchVisible(first, smdi::kFetchCount);
        for (std::size_t i = 0; i < model.LineCount(); ++i) std::printf("%s\n", model.Line(i).c_str());
        return false;
    };
    ImportFromSampler(session.App(), print);
    // The reason (no instrument, no answer, no sample) was shown already.
    if (!listed) throw CommandFailure("nothing to list");
}

// Slots count from 0, as on the wire.
std::uint32_t SlotArgument(const std::string& text, long long last) {
    return static_cast<std::uint32_t>(ParseInteger(text, "SLOT", 0, last));
}

void ImportCommand(CliSession& session, const Args& args) {
    const std::uint32_t slot = SlotArgument(args[0], smdi::kLastSamplerSlot);
    const auto choose = [slot](SamplerDialogModel& model) {
        model.FetchVisible(slot + 1, 1);
        const auto line = model.LineOfSlot(slot);
        if (!line) throw CommandFailure("the instrument lists no slot " + std::to_string(slot));
        return PressOk(model, line, "");
    };
    if (!ImportFromSampler(session.App(), choose)) throw CommandFailure("nothing was imported");
}

void ExportCommand(CliSession& session, const Args& args) {
    COLMDoc& doc = session.Current();
    // The dialog's sample number counts from 1; its own check refuses what is out of range.
    const std::string number = std::to_string(SlotArgument(args[0], 1 << 24) + 1);
    const auto choose = [&doc, &number](SamplerDialogModel& model) {
        return PressOk(model, model.LineOfDocument(doc), number);
    };
    if (!ExportToSampler(session.App(), choose)) throw CommandFailure("nothing was sent");
}

}  // namespace

void AppendSamplerCommands(std::vector<CommandSpec>& table) {
    table.push_back({"rescan", 0, RescanCommand, "",
                     "\"Rescan SCSI\": print the instruments found, ADAPTER:TARGET FAMILY PRODUCT, the current first",
                     "Scans every SCSI adapter's targets (INQUIRY, with retries) for the maker's samplers and "
                     "synthesizers. PELMORA_SCSI=emulated:DIR adds an emulated bus whose instruments are the "
                     "subfolders of DIR."});
    table.push_back({"sampler-list", 0, ListCommand, "",
                     "prints the slots the Import dialog would list, one a line, as the dialog shows them",
                     "Needs a rescan earlier in the same run (else \"Device is not found\"); a synthesizer's 1024 "
                     "slots are all read."});
    table.push_back({"sampler-import", 1, ImportCommand, "SLOT",
                     "\"Import From Sampler...\": receives slot SLOT (0-based) as the current document",
                     "A synthesizer's list shows SLOT 0 as line 1; a sampler's one sample is SLOT 0. The "
                     "document is made from a temporary AIFF file in the working directory (save it with "
                     "save-as). A failed or cancelled import leaves no file. Needs a rescan first."});
    table.push_back({"sampler-export", 1, ExportCommand, "SLOT",
                     "\"Export To Sampler...\": sends the current document to slot SLOT (0-based)",
                     "SLOT 0 to 1023 for a synthesizer (\"sample number is wrong.Set it up again.\" otherwise); "
                     "a sampler always takes it into its one slot 0, whatever SLOT says. Needs a rescan first."});
}

}  // namespace pelmora::cli
