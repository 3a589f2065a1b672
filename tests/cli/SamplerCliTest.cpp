// `rescan` over an emulated bus, the one the tools' program makes and one made here.

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/EmulatorSupport.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using namespace pelmora::test;

namespace {

// The lines without their adapter numbers: SCSI generic hosts of the machine come before the
// emulated adapter.
std::string WithoutAdapters(const std::string& out) {
    std::string lines;
    std::size_t at = 0;
    while (at < out.size()) {
        const std::size_t end = out.find('\n', at);
        const std::string line = out.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
        lines += line.substr(line.find(':') + 1);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

std::string ToolPath() {
    const std::string cli = PELMORA_CLI_PATH;
    return cli.substr(0, cli.rfind("/cli/")) + "/tools/pelmora-emulated-instruments";
}

}  // namespace

TEST(SamplerCli, RescanListsTheInstrumentsCurrentFirst) {
    TempDir dir;
    const std::string bus = dir.File("bus");
    // Every id but 3 taken, so the scan waits out the retries of one empty target only.
    MakeInstrument(bus, "a", "vendor = ORBECK\nproduct = Synthesizer VZ5R\nid = 6\n");
    MakeInstrument(bus, "b", "vendor = ORBECK\nproduct = TQ9000\nid = 1\n");
    MakeInstrument(bus, "c", "vendor = OTHER\nproduct = TQ9000\nid = 0\n");
    MakeInstrument(bus, "d", "vendor = ORBECK\nproduct = Sampler K4100\nid = 2\nfaults = busy:3\n");
    MakeInstrument(bus, "e", "vendor = ORBECK\nproduct = LORIC6\nid = 4\nfaults = busy:10\n");
    MakeInstrument(bus, "f", "vendor = ORBECK\nproduct = LORIC7\nid = 5\n");
    ::setenv("PELMORA_SCSI", ("emulated:" + bus).c_str(), 1);
    const CliRun run = RunCli(PELMORA_CLI_PATH, dir, "rescan");
    ::unsetenv("PELMORA_SCSI");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(WithoutAdapters(run.out),
              "1 Sampler TQ9000\n2 Sampler Sampler K4100\n5 Sampler LORIC7\n6 Synthesizer Synthesizer VZ5R\n");
}

TEST(SamplerCli, TheToolsBusIsFound) {
    TempDir dir;
    const std::string bus = dir.File("instruments");
    ASSERT_EQ(std::system(("'" + ToolPath() + "' '" + bus + "' > /dev/null").c_str()), 0);
    ::setenv("PELMORA_SCSI", ("emulated:" + bus).c_str(), 1);
    const CliRun run = RunCli(PELMORA_CLI_PATH, dir, "rescan");
    ::unsetenv("PELMORA_SCSI");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(WithoutAdapters(run.out), "0 Sampler Sampler K3100\n3 Synthesizer Synthesizer VZ5\n");
    // Without the variable there is no emulated bus (and no instrument on this machine).
    EXPECT_EQ(RunCli(PELMORA_CLI_PATH, dir, "rescan").status, 0);
}
