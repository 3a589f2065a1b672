// Batch users run pelmora-cli with xargs -P over one working directory: every run gets its own
// temporary files, none fails for another's, and the working directory ends as it began.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/AudioFiles.h"
#include "support/TempDir.h"

using namespace pelmora::test;

TEST(ParallelRuns, EightRunsAtOnceOverTwoHundredFilesShareAWorkingDirectory) {
    constexpr int kFiles = 200;
    constexpr std::uint32_t kFrames = 3000;
    TempDir dir;
    const std::string sounds = dir.File("sounds");
    const std::string work = dir.File("work");
    std::filesystem::create_directory(sounds);
    std::filesystem::create_directory(work);
    for (int i = 0; i < kFiles; ++i)
        WriteIndexWav(sounds + "/s" + std::to_string(i) + ".wav", 22050, 1, kFrames);

    // Each run prints its file's name when it fails; the runs' messages go to one log.
    const std::string failures = dir.File("failures.txt");
    const std::string command = "cd '" + sounds + "' && ls | XDG_CONFIG_HOME='" + dir.Path() +
                                "' xargs -P 8 -I{} sh -c \"'" PELMORA_CLI_PATH "' --quiet --workdir '" +
                                work + "' open {} select-all reverse save || echo {}\" >'" + failures +
                                "' 2>'" + dir.File("messages.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);

    std::ifstream failed(failures);
    std::string name;
    int failedRuns = 0;
    while (std::getline(failed, name)) {
        ADD_FAILURE() << name << " failed";
        ++failedRuns;
    }
    ASSERT_EQ(failedRuns, 0);
    for (int i = 0; i < kFiles; ++i) {
        const auto samples = Samples16(WavData(sounds + "/s" + std::to_string(i) + ".wav"));
        ASSERT_EQ(samples.size(), kFrames);
        ASSERT_EQ(samples.front(), static_cast<std::int16_t>(kFrames - 1 + 1)) << i;
        ASSERT_EQ(samples.back(), 1) << i;
    }
    EXPECT_TRUE(std::filesystem::is_empty(work));
}
