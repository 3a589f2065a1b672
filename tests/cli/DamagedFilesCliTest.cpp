// Damaged sound files through pelmora-cli, as a user would meet them: every run ends (no crash,
// no hang), refuses cleanly or works, and changes no file unless it saves.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"

using namespace pelmora::test;

namespace {

// Each seed cut short at several points, and with each 32-bit field of its first 128 bytes
// set to 0xFFFFFFFF and to 0 in turn: sizes, counts, rates and chunk ids all go wrong.
std::vector<std::string> MakeDamagedFiles(const std::string& folder) {
    std::vector<std::string> made;
    int n = 0;
    for (const char* seed : {"seed-loop.wav", "seed-odd.wav", "seed-loop.aif", "seed-32.aif"}) {
        const std::vector<std::uint8_t> bytes = ReadAll(std::string(PELMORA_SOURCE_DIR "/fuzz/seeds/") + seed);
        const std::string extension = std::filesystem::path(seed).extension();
        const auto keep = [&](const std::vector<std::uint8_t>& damaged) {
            made.push_back(folder + "/d" + std::to_string(++n) + extension);
            WriteAll(made.back(), damaged);
        };
        for (std::size_t cut : {std::size_t{8}, std::size_t{12}, std::size_t{30}, std::size_t{44}, bytes.size() / 2,
                                bytes.size() - 1})
            keep(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(std::min(cut, bytes.size()))));
        for (std::size_t at = 4; at + 4 <= std::min<std::size_t>(bytes.size(), 128); at += 4) {
            for (std::uint8_t fill : {std::uint8_t{0xFF}, std::uint8_t{0}}) {
                std::vector<std::uint8_t> damaged = bytes;
                std::fill(damaged.begin() + static_cast<long>(at), damaged.begin() + static_cast<long>(at + 4), fill);
                if (damaged != bytes) keep(damaged);
            }
        }
    }
    return made;
}

}  // namespace

TEST(DamagedFilesCli, EveryRunEndsAndNothingChangesWithoutASave) {
    TempDir dir;
    const std::string sounds = dir.File("sounds"), work = dir.File("work");
    std::filesystem::create_directory(sounds);
    std::filesystem::create_directory(work);
    const std::vector<std::string> files = MakeDamagedFiles(sounds);
    ASSERT_GT(files.size(), 100u);
    std::map<std::string, std::vector<std::uint8_t>> before;
    for (const std::string& file : files) before[file] = ReadAll(file);

    // One shell runs them all (a run that hangs is stopped after 20 s and reported as 124);
    // it prints the file and both statuses.
    const std::string results = dir.File("results.txt");
    std::string script = "cd '" + sounds + "'; export XDG_CONFIG_HOME='" + dir.Path() + "'; for f in d*; do ";
    script += "timeout 20 '" PELMORA_CLI_PATH "' --quiet --workdir '" + work +
              "' open \"$f\" info select-all reverse >/dev/null 2>&1; a=$?; ";
    script += "timeout 20 '" PELMORA_CLI_PATH "' --quiet --workdir '" + work +
              "' open \"$f\" select-all reverse save-as \"out-$f\" >/dev/null 2>&1; b=$?; ";
    script += "echo \"$f $a $b\"; rm -f \"out-$f\"; done >'" + results + "'";
    const std::string scriptFile = dir.File("runs.sh");
    WriteAll(scriptFile, std::vector<std::uint8_t>(script.begin(), script.end()));
    ASSERT_EQ(std::system(("bash '" + scriptFile + "'").c_str()), 0);

    std::ifstream in(results);
    std::string line;
    std::size_t runs = 0, opened = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        int viewed = -1, saved = -1;
        fields >> name >> viewed >> saved;
        // 0: it opened and worked; 1: refused with a message. Anything else is a crash or a hang.
        EXPECT_TRUE(viewed == 0 || viewed == 1) << name << " without a save ended with " << viewed;
        EXPECT_TRUE(saved == 0 || saved == 1) << name << " with a save ended with " << saved;
        opened += viewed == 0;
        ++runs;
    }
    EXPECT_EQ(runs, files.size());
    EXPECT_GT(opened, 0u) << "some damage is harmless and must still open";
    for (const std::string& file : files) EXPECT_EQ(ReadAll(file), before[file]) << file << " changed";
    EXPECT_TRUE(std::filesystem::is_empty(work));
}
