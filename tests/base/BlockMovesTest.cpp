#include <gtest/gtest.h>

#include <numeric>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "base/SilentProgress.h"
#include "support/TempDir.h"

using namespace pelmora;
using pelmora::test::ReadAll;
using pelmora::test::TempDir;
using pelmora::test::WriteAll;

namespace {

std::vector<std::uint8_t> Pattern(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
    return v;
}

}  // namespace

TEST(BlockMoves, OverlappingMovesInBothDirectionsKeepTheBytes) {
    TempDir dir;
    const std::string path = dir.File("f");
    const std::size_t n = 100000;  // several chunks, last one partial
    const auto original = Pattern(n);
    for (auto [from, to] : {std::pair<std::uint64_t, std::uint64_t>{10, 5000},
                            {5000, 10},
                            {0, 32768},
                            {40000, 3}}) {
        WriteAll(path, original);
        platform::File f(path, platform::OpenMode::ReadWrite);
        SilentProgress progress;
        const std::uint64_t length = n - std::max(from, to);
        MoveBytes(f, from, to, length, progress, StringId::CreatingCopyFile);
        f.Close();
        auto after = ReadAll(path);
        ASSERT_TRUE(std::equal(original.begin() + static_cast<long>(from),
                               original.begin() + static_cast<long>(from + length),
                               after.begin() + static_cast<long>(to)))
            << from << " -> " << to;
        EXPECT_FALSE(progress.IsActive());  // no progress total: the move owns the display
    }
}

TEST(BlockMoves, QuietMoveCanGrowTheFile) {
    TempDir dir;
    const std::string path = dir.File("f");
    const auto original = Pattern(70000);
    WriteAll(path, original);
    platform::File f(path, platform::OpenMode::ReadWrite);
    MoveBytesQuiet(f, 0, 24, original.size());
    f.Close();
    auto after = ReadAll(path);
    ASSERT_EQ(after.size(), original.size() + 24);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), after.begin() + 24));
}

TEST(BlockMoves, ProgressContinuesAPhaseAlreadyRunning) {
    TempDir dir;
    const std::string path = dir.File("f");
    WriteAll(path, Pattern(3 * kMoveChunkBytes));
    platform::File f(path, platform::OpenMode::ReadWrite);
    SilentProgress progress;
    progress.Start(StringId::CreatingCopyFile);
    progress.SetRange(5);
    progress.Step(5, 5);
    MoveBytes(f, kMoveChunkBytes, 0, 2 * kMoveChunkBytes, progress, StringId::CreatingCopyFile);
    EXPECT_EQ(progress.Position(), 7u);  // counted on from the first phase's 5 blocks
    EXPECT_EQ(progress.Range(), 7u);
    EXPECT_FALSE(progress.IsActive());
    EXPECT_EQ(progress.Starts(), 1);

    // Given a total and no running display, the move starts it and leaves it to the caller.
    SilentProgress own;
    MoveBytes(f, 0, 10, 1000, own, StringId::CreatingCopyFile, 5 * kMoveChunkBytes);
    EXPECT_TRUE(own.IsActive());
    EXPECT_EQ(own.Range(), 5u);
}

TEST(BlockMoves, FillSilenceWritesTheSilenceByte) {
    TempDir dir;
    const std::string path = dir.File("f");
    WriteAll(path, std::vector<std::uint8_t>(10, 0x11));
    platform::File f(path, platform::OpenMode::ReadWrite);
    SilentProgress progress;
    FillSilence(f, 4, 40000, 0x80, progress, 40000, StringId::CreatingCopyFile);
    EXPECT_EQ(progress.Range(), 2u);
    EXPECT_EQ(progress.Steps(), 2u);
    f.Close();
    auto after = ReadAll(path);
    ASSERT_EQ(after.size(), 40004u);
    EXPECT_EQ(after[3], 0x11);
    EXPECT_TRUE(std::all_of(after.begin() + 4, after.end(), [](auto b) { return b == 0x80; }));
}

TEST(BlockMoves, ReadFailureRaisesFileReadError) {
    TempDir dir;
    const std::string path = dir.File("f");
    WriteAll(path, Pattern(100));
    platform::File f(path, platform::OpenMode::ReadWrite);
    SilentProgress progress;
    try {
        MoveBytes(f, 50, 0, 1000, progress, StringId::CreatingCopyFile);  // past the end
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Id(), StringId::FileReadError);
    }
}
