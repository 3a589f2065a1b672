// A run killed with unsaved changes: the next run clears what it left, except the changed sound,
// which recoverable lists and recover brings back as an unsaved document.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

#include "support/AudioFiles.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using namespace pelmora::test;

namespace {

class RecoveryCli : public ::testing::Test {
protected:
    CliRun Pelmora(const std::string& arguments) { return RunCli(PELMORA_CLI_PATH, dir, arguments); }

    // Starts a run that is killed once its manifest says `state` ("changed 1" or "changed 0").
    void KilledRun(const std::string& commands, const std::string& state) {
        const CliRun started = Pelmora(commands + " sleep 60000 >/dev/null 2>&1 & echo $!");
        const pid_t pid = std::stoi(started.out);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!ManifestSays(state) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::kill(pid, SIGKILL);
        ASSERT_TRUE(ManifestSays(state)) << "the run never got there";
    }

    bool ManifestSays(const std::string& state) {
        for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
            if (!e.path().filename().string().starts_with("OLM_MANIFEST_")) continue;
            const auto bytes = ReadAll(e.path());
            if (std::string(bytes.begin(), bytes.end()).find(state) != std::string::npos) return true;
        }
        return false;
    }

    std::vector<std::string> OurFiles() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
            const std::string name = e.path().filename();
            if (name.starts_with("OLM_") || name.starts_with(".s.wav")) names.push_back(name);
        }
        return names;
    }

    TempDir dir;
    const std::string sound = dir.File("s.wav");
};

}  // namespace

TEST_F(RecoveryCli, KilledWithChangesTheSoundIsRecoveredAndTheRestCleared) {
    WriteIndexWav(sound, 22050, 1, 4000);
    const auto original = ReadAll(sound);
    KilledRun("open '" + sound + "' select-all reverse", "changed 1");
    WriteAll(dir.File(".s.wav.saving-10-00-00"), {1});  // as a save cut short would leave

    const CliRun listed = Pelmora("recoverable");
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_TRUE(listed.out.starts_with("1\t" + std::filesystem::canonical(sound).string() + "\t")) << listed.out;
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 1);
    EXPECT_EQ(OurFiles().size(), 2u) << "the changed copy and the manifest naming it";

    const std::string saved = dir.File("saved.wav");
    const CliRun recovered = Pelmora("recover 1 info save-as '" + saved + "'");
    ASSERT_EQ(recovered.status, 0) << recovered.err;
    EXPECT_NE(recovered.out.find("modified: 1"), std::string::npos);
    const auto samples = Samples16(WavData(saved));
    ASSERT_EQ(samples.size(), 4000u);
    EXPECT_EQ(samples.front(), 4000);
    EXPECT_EQ(samples.back(), 1);
    EXPECT_EQ(ReadAll(sound), original) << "the original was never written";
    EXPECT_TRUE(OurFiles().empty());
    EXPECT_EQ(Pelmora("recover 1").status, 1) << "nothing is left to recover";
}

TEST_F(RecoveryCli, LoopPointsSetSinceTheLastSaveComeBack) {
    WriteIndexWav(sound, 22050, 1, 4000);
    KilledRun("open '" + sound + "' loop 100 2000 on", "loop 1 100 2000");
    const CliRun recovered = Pelmora("recover 1 info discard-recoverable");
    ASSERT_EQ(recovered.status, 0) << recovered.err;
    for (const char* line : {"loop_on: 1\n", "loop_start: 100\n", "loop_end: 2000\n", "modified: 1\n"})
        EXPECT_NE(recovered.out.find(line), std::string::npos) << line << recovered.out;
}

TEST_F(RecoveryCli, TheFileAConversionWasWritingGoesAtTheNextStart) {
    WriteIndexWav(sound, 48000, 2, 48000 * 120);
    const auto original = ReadAll(sound);
    KilledRun("open '" + sound + "' resample 11025 1025 -100", "OLM_TEMP_");
    const auto temporaries = [&] {
        return std::count_if(std::filesystem::directory_iterator(dir.Path()), {}, [](const auto& e) {
            return e.path().filename().string().starts_with("OLM_TEMP_");
        });
    };
    EXPECT_EQ(temporaries(), 1) << "killed while it wrote";
    EXPECT_EQ(Pelmora("recoverable").out, "");
    EXPECT_EQ(temporaries(), 0);
    EXPECT_TRUE(OurFiles().empty());
    EXPECT_EQ(ReadAll(sound), original);
}

TEST_F(RecoveryCli, KilledWithoutChangesOrDiscardedNothingIsLeft) {
    WriteIndexWav(sound, 22050, 2, 3000);
    const auto original = ReadAll(sound);
    KilledRun("open '" + sound + "'", "changed 0");
    CliRun listed = Pelmora("recoverable");
    EXPECT_EQ(listed.out, "");
    EXPECT_TRUE(OurFiles().empty());

    KilledRun("open '" + sound + "' select-all reverse", "changed 1");
    EXPECT_EQ(Pelmora("recover 2").status, 2) << "out of range";
    ASSERT_EQ(Pelmora("discard-recoverable").status, 0);
    EXPECT_EQ(Pelmora("recoverable").out, "");
    EXPECT_TRUE(OurFiles().empty());
    EXPECT_EQ(ReadAll(sound), original);
}
