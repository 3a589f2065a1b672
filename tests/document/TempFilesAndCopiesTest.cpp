#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Error.h"
#include "base/SilentProgress.h"
#include "document/FileCopy.h"
#include "document/TempFiles.h"
#include "platform/File.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

TEST(TempFiles, NamesAreUniqueWithinOneSecondAndKeepTheirForm) {
    TempDir dir;
    std::set<std::string> names;
    for (int i = 0; i < 5; ++i) {
        auto name = UniqueTempName(dir.Path(), kNewPrefix, ".WAV");
        ASSERT_TRUE(name);
        EXPECT_TRUE(platform::FileExists(*name));  // created, so nobody else takes it
        names.insert(*name);
    }
    EXPECT_EQ(names.size(), 5u);
    const std::string first = platform::FileNameOf(*names.begin());
    EXPECT_TRUE(std::regex_match(first, std::regex(R"(OLM_NEW_\d\d-\d\d-\d\d(-\d+)?\.WAV)"))) << first;

    auto temp = TempNameWithExtension(dir.Path(), 2);
    ASSERT_TRUE(temp);
    EXPECT_TRUE(std::regex_match(platform::FileNameOf(*temp),
                                 std::regex(R"(OLM_TEMP_\d\d-\d\d-\d\d(-\d+)?\.aiff)")));
    EXPECT_EQ(JoinPath("/", "OLM_UNDO_x"), "/OLM_UNDO_x");
    EXPECT_EQ(JoinPath("/work/", "a"), "/work/a");
    EXPECT_FALSE(UniqueTempName(dir.File("no-such-folder"), kUndoPrefix));
}

// Another process may remove the file that holds a name right after our create found it taken:
// a dangling link stands for that moment, taken for the create yet gone for a look-up.
TEST(TempFiles, ANameTakenThenFreedMovesOnToTheNextCounter) {
    TempDir dir;
    const std::string stem = dir.File("OLM_UNDO_10-20-30");
    ASSERT_EQ(symlink(dir.File("gone").c_str(), (stem + ".wav").c_str()), 0);
    EXPECT_EQ(CreateNumberedFile(stem, ".wav"), stem + "-2.wav");
    EXPECT_EQ(CreateNumberedFile(stem, ".wav", [&](const std::string& name) { return name == stem + "-3.wav"; }),
              stem + "-4.wav");
}

TEST(TempFiles, FreeSpaceFigures) {
    TempDir dir;
    EXPECT_FALSE(InsufficientSpaceOnWorkingDrive(dir.Path(), 1));
    EXPECT_TRUE(InsufficientSpaceOnWorkingDrive(dir.Path(), UINT64_MAX));
    // A file not made yet is judged by its folder.
    EXPECT_FALSE(InsufficientSpaceOnDrive(dir.File("later.wav"), 1));
    const std::uint64_t free = FreeSpaceOnDrive(dir.Path());
    EXPECT_EQ(FreeSpaceOfWorkingDrive(dir.Path()),
              free >= 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(free));
}

namespace {

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t seed) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(seed + i * 31);
    return v;
}

}  // namespace

TEST(FileCopies, CopyOverwritesAndShortensTheTarget) {
    TempDir dir;
    WriteAll(dir.File("src"), Bytes(200000, 1));
    WriteAll(dir.File("dst"), Bytes(300000, 2));
    SilentProgress progress;
    CopyFileWithProgress(dir.File("src"), dir.File("dst"), StringId::Saving, progress);
    EXPECT_EQ(ReadAll(dir.File("dst")), Bytes(200000, 1));
    EXPECT_EQ(progress.Range(), 4u);  // 65536-byte pieces
    EXPECT_FALSE(progress.IsActive());
    EXPECT_THROW(CopyFileWithProgress(dir.File("none"), dir.File("dst"), StringId::Saving, progress),
                 Error);
}

TEST(FileCopies, ReplaceKeepsTheTargetWholeUntilTheNewContentIsComplete) {
    TempDir dir;
    const auto old = Bytes(100000, 7);
    WriteAll(dir.File("target.wav"), old);
    ::chmod(dir.File("target.wav").c_str(), 0640);
    WriteAll(dir.File("new"), Bytes(150000, 9));
    SilentProgress progress;
    platform::SetWriteBudget(70000);
    EXPECT_THROW(ReplaceFileSafely(dir.File("new"), dir.File("target.wav"), StringId::Saving, progress),
                 Error);
    platform::SetWriteBudget(-1);
    EXPECT_EQ(ReadAll(dir.File("target.wav")), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);

    ReplaceFileSafely(dir.File("new"), dir.File("target.wav"), StringId::Saving, progress);
    EXPECT_EQ(ReadAll(dir.File("target.wav")), Bytes(150000, 9));
    EXPECT_EQ(std::filesystem::status(dir.File("target.wav")).permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms(0640));
}

TEST(FileCopies, RelocateRenamesOrCopiesAndNeverLosesTheSource) {
    TempDir dir;
    SilentProgress progress;
    WriteAll(dir.File("a"), Bytes(1000, 3));
    WriteAll(dir.File("b"), Bytes(10, 4));
    RelocateFile(dir.File("a"), dir.File("b"), StringId::ChangingWorkingVolume, progress);
    EXPECT_FALSE(platform::FileExists(dir.File("a")));
    EXPECT_EQ(ReadAll(dir.File("b")), Bytes(1000, 3));
    EXPECT_EQ(progress.Starts(), 0);  // a rename shows no progress

    // Another filesystem: a copy, and the source goes only after it is complete.
    if (!std::filesystem::is_directory("/dev/shm")) GTEST_SKIP() << "no second filesystem";
    const std::string other = "/dev/shm/pelmora-relocate-" + std::to_string(::getpid());
    platform::SetWriteBudget(100);
    EXPECT_THROW(RelocateFile(dir.File("b"), other, StringId::ChangingWorkingVolume, progress), Error);
    platform::SetWriteBudget(-1);
    EXPECT_EQ(ReadAll(dir.File("b")), Bytes(1000, 3));
    EXPECT_FALSE(platform::FileExists(other));
    RelocateFile(dir.File("b"), other, StringId::ChangingWorkingVolume, progress);
    EXPECT_FALSE(platform::FileExists(dir.File("b")));
    EXPECT_EQ(ReadAll(other), Bytes(1000, 3));
    std::filesystem::remove(other);
}
