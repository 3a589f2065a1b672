// A read that fails with an I/O error, wherever it falls, makes the open or the save fail: it
// is never taken for a chunk that is not there, which would drop a loop on open or write a
// second copy of a chunk on save.

#include <cerrno>

#include "DocumentTestBed.h"
#include "../edit/LibraryFiles.h"
#include "base/Error.h"
#include "document/SoundFileIo.h"
#include "platform/File.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

constexpr std::uint32_t kFrames = 6000;

// What the open must find, or fail.
struct Found {
    std::uint32_t frames = 0;
    bool loopOn = false;
    std::uint32_t loopStart = 0, loopEnd = 0;
    std::size_t loops = 0, cues = 0;
    std::vector<std::uint8_t> markBody;
    bool operator==(const Found&) const = default;
};

Found FoundIn(const SoundInfo& info) {
    return {info.frames, info.loopOn, info.loopStart, info.loopEnd, info.wavSmplLoops.size(),
            info.wavCuePoints.size(), info.aiffMarkBody};
}

// How often a chunk id occurs anywhere in the bytes (cue points name "data" too).
std::size_t Count(const std::vector<std::uint8_t>& bytes, const char* id) {
    std::size_t n = 0;
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (std::equal(id, id + 4, bytes.begin() + static_cast<long>(i))) ++n;
    return n;
}

class ReadErrors : public DocumentTestBed {
protected:
    void TearDown() override { platform::FailNthRead(0, 0); }

    std::string Make(const LibraryShape& shape) {
        const std::string path = user + "/" + shape.name;
        WriteAll(path, BuildLibraryFile(shape, InitialPositions(shape),
                                        std::vector<std::uint8_t>(kFrames * 2 * shape.channels, 0x21)));
        return path;
    }

    const std::vector<LibraryShape> shapes = {
        {"before.wav", FileType::Wav, true, 2, 2, false, true, 0, 2},
        {"after.wav", FileType::Wav, false, 3, 1, true, false, 0, 1},
        {"marks.aif", FileType::Aiff, true, 0, 0, false, false, 3, 1},
    };
};

}  // namespace

TEST_F(ReadErrors, AnOpenFailsOrFindsEverything) {
    for (const LibraryShape& shape : shapes) {
        const std::string path = Make(shape);
        COLMDoc& clean = app.Open(path);
        const Found expected = FoundIn(clean.Info());
        app.Discard(clean);
        for (std::int64_t n = 1;; ++n) {
            platform::FailNthRead(n, EIO);
            COLMDoc* doc = nullptr;
            std::string failure;
            try {
                doc = &app.Open(path);
            } catch (const Error& e) {
                failure = e.Message();
            } catch (const Cancelled&) {
                failure = "cancelled";  // the working copy failed and the user said No
            }
            const bool fired = !platform::ReadFaultPending();
            platform::FailNthRead(0, 0);
            if (!doc) {
                EXPECT_TRUE(fired) << shape.name << ": failed without a fault: " << failure;
                EXPECT_TRUE(failure == "File read error" || failure == "cancelled") << shape.name << " read " << n
                                                                                     << ": " << failure;
                EXPECT_TRUE(app.Documents().empty());
                continue;
            }
            EXPECT_EQ(FoundIn(doc->Info()), expected) << shape.name << " read " << n;
            app.Discard(*doc);
            if (!fired) break;
        }
    }
}

TEST_F(ReadErrors, ASaveFailsOrWritesEachChunkOnce) {
    for (const LibraryShape& shape : shapes) {
        for (std::int64_t n = 1;; ++n) {
            const std::string path = Make(shape);
            const auto before = ReadAll(path);
            COLMDoc& doc = app.Open(path);
            doc.Info().loopStart = 2000;
            doc.Info().loopEnd = 3000;
            doc.Info().loopOn = true;
            platform::FailNthRead(n, EIO);
            bool saved = true;
            try {
                doc.Save();
            } catch (const Error& e) {
                saved = false;
                EXPECT_EQ(e.Id(), StringId::FileReadError) << shape.name << " read " << n;
            }
            const bool fired = !platform::ReadFaultPending();
            platform::FailNthRead(0, 0);
            if (!saved) {
                EXPECT_EQ(ReadAll(path), before) << shape.name << " read " << n;
                doc.Save();  // the same save without the fault
            }
            app.Discard(doc);

            const auto after = ReadAll(path);
            for (const auto& id : {"smpl", "cue ", "data", "LIST", "MARK", "INST", "SSND", "COMM"})
                EXPECT_EQ(Count(after, id), Count(before, id)) << id << " in " << shape.name << " read " << n;
            SoundInfo info;
            ReadSoundFile(path, shape.type, info);
            EXPECT_EQ(std::tuple(info.loopOn, info.loopStart, info.loopEnd), std::tuple(true, 2000u, 3000u))
                << shape.name << " read " << n;
            if (!fired) break;
        }
    }
}
