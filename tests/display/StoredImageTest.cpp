#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <functional>

#include "ImageTestBed.h"
#include "display/ImageBlock.h"
#include "edit/ClipboardOps.h"
#include "edit/Selection.h"
#include "platform/File.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class StoredImage : public ImageTestBed {
protected:
    // A document whose image was completed, saved as `name` and closed.
    std::vector<std::uint8_t> SaveExact(const std::string& source, const std::string& name) {
        COLMDoc& doc = app.Open(source);
        EXPECT_EQ(Waveform(doc).CompleteImage(), BuildOutcome::Done);
        const auto image = Points(Waveform(doc).Image());
        EXPECT_TRUE(doc.SaveAsPath(user + "/" + name));
        EXPECT_TRUE(app.Close(doc));
        return image;
    }

    static std::size_t BlockAt(const std::vector<std::uint8_t>& file) {
        for (std::size_t i = 0; i + 8 <= file.size(); ++i)
            if (std::memcmp(file.data() + i, "QMV0WFrm", 8) == 0) return i;
        ADD_FAILURE() << "no image block";
        return 0;
    }

    static std::int64_t ModifiedTime(const std::string& path) {
        platform::FileStatus status;
        EXPECT_TRUE(platform::StatFile(path, status));
        return status.modifiedSeconds;
    }

    // Opens the file and tells whether its stored block was taken.
    bool Taken(const std::string& path) {
        COLMDoc& doc = app.Open(path);
        const WaveformImage& image = Waveform(doc).Image();
        const bool taken = image.storedImageTime.has_value();
        if (!taken) {
            EXPECT_GT(NotExactPoints(image, doc.Info()), 0u);  // the coarse image instead
        }
        EXPECT_TRUE(app.Close(doc));
        return taken;
    }
};

}  // namespace

TEST_F(StoredImage, SavedBlockIsTakenBackWhenTheFileIsOpenedAgain) {
    struct Case { const char* name; std::uint16_t channels, bits; };
    for (const Case& c : {Case{"s16.wav", 2, 16}, Case{"m8.wav", 1, 8}, Case{"s24.wav", 2, 24},
                          Case{"s16.aif", 2, 16}, Case{"m8.aif", 1, 8}}) {
        const bool aiff = std::string(c.name).ends_with(".aif");
        std::string source = WriteWav(std::string("src-") + c.name + ".wav", c.channels, c.bits,
                                      Varied(30000, c.channels, c.bits));
        if (aiff) {
            const std::string converted = user + "/src-" + c.name;
            ASSERT_EQ(std::system(("sox '" + source + "' '" + converted + "'").c_str()), 0);
            source = converted;
        }
        const auto image = SaveExact(source, c.name);
        const std::string saved = user + "/" + c.name;

        // The chunk is last in the file, its values in the file's byte order.
        const auto bytes = ReadAll(saved);
        const std::size_t at = BlockAt(bytes);
        const ImageGeometry g{c.channels, static_cast<std::uint16_t>((c.bits + 7) / 8), 256, 30000};
        EXPECT_EQ(at + kImageBlockHeaderBytes + g.Bytes(), bytes.size()) << c.name;
        EXPECT_EQ(std::memcmp(bytes.data() + at - 8, aiff ? "APPL" : "Appl", 4), 0) << c.name;
        const std::uint32_t chunkSize = aiff ? LoadBE32(bytes.data() + at - 4) : LoadLE32(bytes.data() + at - 4);
        EXPECT_EQ(chunkSize, kImageBlockHeaderBytes + g.Bytes()) << c.name;
        const std::uint32_t following = aiff ? LoadBE32(bytes.data() + at + 8) : LoadLE32(bytes.data() + at + 8);
        EXPECT_EQ(following, 24 + g.Bytes()) << c.name;
        const std::uint8_t* first = bytes.data() + at + kImageBlockHeaderBytes;
        if (aiff && g.width == 2) {
            EXPECT_EQ(first[0], image[1]);
            EXPECT_EQ(first[1], image[0]);
        } else {
            EXPECT_TRUE(std::equal(image.begin(), image.end(), first)) << c.name;
        }
        const auto outside = ReadWithSndfile(saved);
        ASSERT_TRUE(outside.has_value()) << c.name;
        EXPECT_EQ(outside->frames, 30000);

        // Opened again, the block is taken over as it was written, with its time stamp.
        COLMDoc& doc = app.Open(saved);
        DocumentWaveform& waveform = Waveform(doc);
        ASSERT_EQ(waveform.Image().storedImageTime, ModifiedTime(saved)) << c.name;
        EXPECT_EQ(waveform.Image().state, ImageState::Partial);
        EXPECT_EQ(Points(waveform.Image()), image) << c.name;
        EXPECT_FALSE(waveform.RefineStep());  // nothing left to compute
        EXPECT_EQ(waveform.Image().state, ImageState::Exact);
        EXPECT_EQ(waveform.Image().imageTime, waveform.Image().storedImageTime);

        // Revert takes the stored block again after an edit.
        SelectFrames(doc, 1000, 5000);
        ASSERT_TRUE(Cut(doc, app.GetClip()));
        waveform.Image().storedImageTime.reset();
        prompter.Script({Answer::Yes});
        ASSERT_TRUE(doc.Revert());
        EXPECT_EQ(waveform.Image().storedImageTime, ModifiedTime(saved)) << c.name;
        EXPECT_EQ(Points(waveform.Image()), image) << c.name;
        ASSERT_TRUE(app.Close(doc));
    }
}

TEST_F(StoredImage, BlockFailingACheckIsIgnored) {
    const std::string source = WriteWav("src.wav", 2, 16, Varied(30000, 2, 16));
    SaveExact(source, "a.wav");
    const std::string path = user + "/a.wav";
    const auto good = ReadAll(path);
    const std::int64_t stamp = ModifiedTime(path);
    const std::size_t at = BlockAt(good);
    ASSERT_TRUE(Taken(path));

    // Each change is made on a fresh copy; the modification time is put back to the stamp.
    auto check = [&](const char* what, const std::function<void(std::vector<std::uint8_t>&)>& change,
                     std::int64_t mtime, bool expected) {
        auto bytes = good;
        change(bytes);
        WriteAll(path, bytes);
        ASSERT_TRUE(platform::SetModifiedTime(path, mtime));
        EXPECT_EQ(Taken(path), expected) << what;
    };
    auto put32 = [&](std::size_t offset, std::uint32_t v) {
        return [=](std::vector<std::uint8_t>& b) { StoreLE32(b.data() + at + offset, v); };
    };
    auto put16 = [&](std::size_t offset, std::uint16_t v) {
        return [=](std::vector<std::uint8_t>& b) { StoreLE16(b.data() + at + offset, v); };
    };
    auto same = [](std::vector<std::uint8_t>&) {};
    check("unchanged", same, stamp, true);
    check("file one second newer than the block", same, stamp + 1, false);
    check("samples changed by another program", [&](std::vector<std::uint8_t>& b) { b[60] ^= 0x55; },
          stamp + 1, false);
    check("frame count", put32(16, 29999), stamp, false);
    check("bits", put16(12, 24), stamp, false);
    check("channels", put16(14, 1), stamp, false);
    check("magic", [&](std::vector<std::uint8_t>& b) { b[at + 4] = 'w'; }, stamp, false);
    check("older signature", [&](std::vector<std::uint8_t>& b) { b[at + 2] = 'S'; }, stamp, true);
    check("month 13", [&](std::vector<std::uint8_t>& b) { b[at + 30] = 13; }, stamp, false);
    // Frames per point: only powers of two from 256 to 131072 with the matching point count.
    for (std::uint32_t fpp : {0u, 1u, 128u, 384u, 262144u}) {
        const std::uint32_t points = fpp ? (30000 + fpp - 1) / fpp : 0;
        check("frames per point", [&](std::vector<std::uint8_t>& b) {
            StoreLE32(b.data() + at + 20, fpp);
            StoreLE32(b.data() + at + 24, points);
        }, stamp, false);
    }
    check("point count", put32(24, 117), stamp, false);
    check("block cut short", [&](std::vector<std::uint8_t>& b) {
        b.erase(b.end() - 2, b.end());
        StoreLE32(b.data() + 4, static_cast<std::uint32_t>(b.size() - 8));
        StoreLE32(b.data() + at - 4, static_cast<std::uint32_t>(b.size() - at));
    }, stamp, false);
    check("512 frames a point", [&](std::vector<std::uint8_t>& b) {
        StoreLE32(b.data() + at + 20, 512);
        StoreLE32(b.data() + at + 24, 59);
    }, stamp, true);
}

TEST_F(StoredImage, FailedBlockWriteLeavesTheFileAsItWasWithoutABlock) {
    app.fileBackup = false;
    const std::string path = WriteWav("a.wav", 2, 16, Varied(30000, 2, 16));
    const auto original = ReadAll(path);
    COLMDoc& doc = app.Open(path);
    DocumentWaveform& waveform = Waveform(doc);
    ASSERT_TRUE(waveform.StoreBlock(path, doc.Info()).has_value());  // an old block to replace
    ASSERT_GT(ReadAll(path).size(), original.size());
    platform::SetWriteBudget(300);  // the placeholder fits, the block does not
    const auto stamp = waveform.StoreBlock(path, doc.Info());
    platform::SetWriteBudget(-1);
    EXPECT_FALSE(stamp.has_value());
    // The file is cut back to its samples. (The simulated full disk refuses even the rewrite of
    // the RIFF size, which a real one allows, so that field is left out.)
    auto now = ReadAll(path);
    ASSERT_EQ(now.size(), original.size());
    std::copy_n(original.begin() + 4, 4, now.begin() + 4);
    EXPECT_EQ(now, original);
    EXPECT_EQ(doc.Info().workingFileLength, original.size());
    EXPECT_TRUE(ReadWithSndfile(path).has_value());
    app.Discard(doc);
}

TEST_F(StoredImage, CommandLineReportsTheImageAndDrawsItsColumns) {
    const std::string path = WriteWav("a.wav", 2, 16, Varied(10000, 2, 16));
    const std::string command = std::string(PELMORA_CLI_PATH) + " --workdir '" + work +
                                "' --quiet --no-backup open '" + path +
                                "' info image 1024 300 20 info 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) out += line;
    ASSERT_EQ(::pclose(pipe), 0) << out;
    const std::size_t partial = out.find("image_state: Partial\nframes_per_point: 256\n");
    const std::size_t exact = out.find("image_state: Exact\nframes_per_point: 256\n");
    ASSERT_NE(partial, std::string::npos) << out;
    ASSERT_NE(exact, std::string::npos) << out;

    COLMDoc& doc = app.Open(path);
    const auto points = Recomputed(doc, 256);
    const ImageGeometry g = GeometryOf(doc.Info(), 256);
    std::string expected;
    for (std::uint64_t from = 2; from < g.Points(); from += 4) {
        for (int c = 0; c < 2; ++c) {
            std::int32_t high = INT32_MIN, low = INT32_MAX;
            for (std::uint64_t p = from; p < std::min<std::uint64_t>(from + 4, g.Points()); ++p) {
                const std::uint8_t* pair = points.data() + p * g.PointBytes() + 4 * c;
                high = std::max(high, LoadImageValue(pair, 2));
                low = std::min(low, LoadImageValue(pair + 2, 2));
            }
            expected += (c ? " " : "") + std::to_string(high) + " " + std::to_string(low);
        }
        expected += "\n";
    }
    EXPECT_NE(out.find(expected), std::string::npos) << out;
}
