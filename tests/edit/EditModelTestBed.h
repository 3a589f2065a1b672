#pragma once
// The edit model test bed: a seeded random source, sounds with trailing chunks built and
// compared byte for byte with the model, and the fixture that opens them in an application.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "EditModel.h"
#include "app/ApplicationState.h"
#include "base/SilentProgress.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

namespace pelmora::test {

// splitmix64: the same sequence on every machine and library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n − 1 (0 when n is 0).
    std::uint32_t Below(std::uint64_t n) { return n == 0 ? 0 : static_cast<std::uint32_t>(Next() % n); }
    // lo .. hi inclusive.
    std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) { return lo + Below(std::uint64_t{hi} - lo + 1); }
    bool Chance(int percent) { return Below(100) < static_cast<std::uint32_t>(percent); }

private:
    std::uint64_t state_;
};

inline std::string Describe(const Format& f) {
    std::ostringstream s;
    s << (f.type == FileType::Wav ? "WAV" : "AIFF") << ' ' << 8 * f.bytes << "-bit "
      << (f.channels == 1 ? "mono" : "stereo") << ' ' << f.rate << " Hz";
    return s.str();
}

inline std::vector<Frame> RandomFrames(Rng& rng, const Format& f, std::uint32_t count) {
    std::vector<Frame> frames(count, Frame{0, 0});
    const std::int64_t lo = MinOf(f.bytes), hi = MaxOf(f.bytes);
    for (Frame& frame : frames) {
        for (int ch = 0; ch < f.channels; ++ch) {
            // Half loud (so that Mix saturates), half quiet.
            const std::int64_t span = rng.Chance(50) ? hi - lo + 1 : (hi + 1) / 2;
            const std::int64_t base = span == hi - lo + 1 ? lo : -span / 2;
            frame[ch] = static_cast<std::int32_t>(base + static_cast<std::int64_t>(rng.Next() % static_cast<std::uint64_t>(span)));
        }
    }
    return frames;
}

// Chunks after the data that the engine carries along: the loop chunks of the type, with more
// loops, cue points and markers as sample libraries have them, whose positions follow the
// edits, and a chunk nobody knows, of a random (often odd) size. The model holds the bytes as
// they were made or last saved, and where the positions lie in them.
struct Trailing {
    FileType type = FileType::Wav;
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> loopFields;  // each loop record's start, its last frame after it
    std::vector<std::size_t> cueFields;   // each cue point's first byte
    std::vector<std::size_t> markFields;  // each marker's position

    bool present() const { return !bytes.empty(); }

    // The chunks as they stand; the positions they hold go into `now`.
    static Trailing Of(FileType type, std::vector<std::uint8_t> bytes, Snapshot& now) {
        Trailing t{type, std::move(bytes), {}, {}, {}};
        now.loops.clear();
        now.cues.clear();
        now.marks.clear();
        const std::vector<std::uint8_t>& b = t.bytes;
        const bool big = type == FileType::Aiff;
        auto u32 = [&](std::size_t at) { return big ? LoadBE32(b.data() + at) : LoadLE32(b.data() + at); };
        std::size_t at = 0;
        bool smpl = false, cue = false, mark = false;  // the first of each is the one read
        while (at + 8 <= b.size()) {
            const std::string id(reinterpret_cast<const char*>(b.data() + at), 4);
            const std::size_t size = std::min<std::size_t>(u32(at + 4), b.size() - at - 8), body = at + 8;
            if (id == "smpl" && !smpl && size >= 36) {
                smpl = true;
                const std::size_t n = std::min<std::size_t>(u32(body + 28), (size - 36) / 24);
                for (std::size_t i = 0; i < n; ++i) {
                    const std::size_t field = body + 36 + 24 * i + 8;
                    t.loopFields.push_back(field);
                    now.loops.emplace_back(u32(field), u32(field + 4));
                }
            } else if (id == "cue " && !cue && size >= 4) {
                cue = true;
                const std::size_t n = std::min<std::size_t>(u32(body), (size - 4) / 24);
                for (std::size_t j = 0; j < n; ++j) {
                    const std::size_t point = body + 4 + 24 * j;
                    t.cueFields.push_back(point);
                    now.cues.emplace_back(u32(point + 4), u32(point + 20));
                }
            } else if (id == "MARK" && !mark && size >= 2) {
                mark = true;
                std::size_t m = body + 2;
                for (std::size_t n = LoadBE16(b.data() + body); n > 0 && m + 7 <= body + size; --n) {
                    t.markFields.push_back(m + 2);
                    now.marks.push_back(u32(m + 2));
                    const std::size_t name = b[m + 6];
                    m += 7 + name + ((name + 1) % 2);
                }
            }
            at = body + size + (size & 1u);
        }
        return t;
    }

    std::vector<std::uint8_t> Build(const Snapshot& now) const {
        std::vector<std::uint8_t> out = bytes;
        auto put = [&](std::size_t at, std::uint32_t v) {
            if (type == FileType::Aiff) StoreBE32(out.data() + at, v);
            else StoreLE32(out.data() + at, v);
        };
        for (std::size_t i = 0; i < loopFields.size(); ++i) {
            put(loopFields[i], now.loops[i].first);
            put(loopFields[i] + 4, now.loops[i].second);
        }
        for (std::size_t j = 0; j < cueFields.size(); ++j) {
            put(cueFields[j] + 4, now.cues[j].first);
            put(cueFields[j] + 20, now.cues[j].second);
        }
        for (std::size_t m = 0; m < markFields.size(); ++m) put(markFields[m], now.marks[m]);
        return out;
    }
};

// The loop chunks of a new file for these positions.
inline std::vector<std::uint8_t> MakeLoopChunks(FileType type, const Snapshot& now, bool labels,
                                         const std::vector<std::uint8_t>& unknown) {
    std::vector<std::uint8_t> out;
    if (type == FileType::Wav) {
        std::vector<std::uint8_t> smpl(36 + 24 * now.loops.size(), 0);
        StoreLE32(smpl.data() + 12, 60);  // unity note
        StoreLE32(smpl.data() + 28, static_cast<std::uint32_t>(now.loops.size()));
        for (std::size_t i = 0; i < now.loops.size(); ++i) {
            std::uint8_t* r = smpl.data() + 36 + 24 * i;
            StoreLE32(r, static_cast<std::uint32_t>(i));  // cue point id
            StoreLE32(r + 8, now.loops[i].first);
            StoreLE32(r + 12, now.loops[i].second);  // the last frame played
        }
        PutChunk(out, "smpl", false, smpl);
        if (!now.cues.empty()) {
            std::vector<std::uint8_t> cue(4 + 24 * now.cues.size(), 0);
            StoreLE32(cue.data(), static_cast<std::uint32_t>(now.cues.size()));
            for (std::size_t j = 0; j < now.cues.size(); ++j) {
                std::uint8_t* c = cue.data() + 4 + 24 * j;
                StoreLE32(c, static_cast<std::uint32_t>(j + 1));
                StoreLE32(c + 4, now.cues[j].first);
                StoreFourCC(c + 8, MakeFourCC("data"));
                StoreLE32(c + 20, now.cues[j].second);
            }
            PutChunk(out, "cue ", false, cue);
        }
        if (labels && !now.cues.empty()) {
            std::vector<std::uint8_t> list = {'a', 'd', 't', 'l'};
            for (std::size_t j = 0; j < now.cues.size(); ++j)
                PutChunk(list, "labl", false, {static_cast<std::uint8_t>(j + 1), 0, 0, 0, 'r', 0});
            PutChunk(out, "LIST", false, list);
        }
    } else {
        std::vector<std::uint8_t> mark(2);
        StoreBE16(mark.data(), static_cast<std::uint16_t>(now.marks.size()));
        for (std::size_t i = 0; i < now.marks.size(); ++i) {
            const std::uint8_t name[] = {3, 'm', 'k', static_cast<std::uint8_t>('0' + i)};
            const std::size_t at = mark.size();
            mark.resize(at + 6);
            StoreBE16(mark.data() + at, static_cast<std::uint16_t>(i + 1));
            StoreBE32(mark.data() + at + 2, now.marks[i]);
            mark.insert(mark.end(), name, name + 4);
        }
        PutChunk(out, "MARK", true, mark);
        std::vector<std::uint8_t> inst = {60, 0, 0, 127, 1, 127, 0, 0, 0, 1, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0};
        PutChunk(out, "INST", true, inst);
    }
    PutChunk(out, "zTRL", type == FileType::Aiff, unknown);
    return out;
}

// The loop chunks for a sound of `frames` frames with this loop: the loop is the first record
// or the first two markers; up to 3 more loops, up to 5 cue points (some keeping the frame in
// the sample offset alone), or up to 4 more markers, anywhere.
inline Trailing RandomTrailing(Rng& rng, FileType type, std::uint32_t frames, std::uint32_t loopStart,
                        std::uint32_t loopEnd, Snapshot& now) {
    Snapshot made;
    if (type == FileType::Wav) {
        made.loops.emplace_back(loopStart, loopEnd - 1);
        for (std::uint32_t i = rng.Below(4); i > 0; --i) {
            const std::uint32_t start = rng.Between(0, frames - 1);
            made.loops.emplace_back(start, rng.Between(start, frames - 1));
        }
        for (std::uint32_t j = rng.Below(6); j > 0; --j) {
            const std::uint32_t frame = rng.Between(0, frames - 1);
            made.cues.emplace_back(rng.Chance(40) ? 0 : frame, frame);
        }
    } else {
        made.marks = {loopStart, loopEnd};
        for (std::uint32_t i = rng.Below(5); i > 0; --i) made.marks.push_back(rng.Between(0, frames));
    }
    const bool labels = rng.Chance(50);
    std::vector<std::uint8_t> unknown(rng.Between(1, 41));
    for (std::uint8_t& b : unknown) b = static_cast<std::uint8_t>(rng.Next());
    return Trailing::Of(type, MakeLoopChunks(type, made, labels, unknown), now);
}

inline std::vector<std::uint8_t> TrailingChunks(Rng& rng, FileType type, std::uint32_t frames,
                                         std::uint32_t loopStart, std::uint32_t loopEnd) {
    Snapshot now;
    return RandomTrailing(rng, type, frames, loopStart, loopEnd, now).bytes;
}

// Where two byte strings first differ, told in terms of the sound file.
inline std::string FirstDifference(const std::vector<std::uint8_t>& actual, const std::vector<std::uint8_t>& expected,
                            const Format& f) {
    const std::size_t n = std::min(actual.size(), expected.size());
    std::size_t at = 0;
    while (at < n && actual[at] == expected[at]) ++at;
    std::ostringstream s;
    s << "working file differs at byte " << at << " (length " << actual.size() << ", expected "
      << expected.size() << ")";
    const std::size_t offset = DataOffsetOf(f.type);
    if (at >= offset) s << ", frame " << (at - offset) / (f.bytes * f.channels) << " if in the data";
    if (at < n) s << ": " << int{actual[at]} << " instead of " << int{expected[at]};
    return s.str();
}

// The bytes of a working file after its sample data (and the pad byte of odd data), which
// BuildSoundFile appends as they stand.
inline std::vector<std::uint8_t> BytesAfterData(const std::vector<std::uint8_t>& file, const EditModel& m) {
    const Format& f = m.format;
    const std::size_t data = static_cast<std::size_t>(m.Frames()) * f.bytes * f.channels;
    std::size_t end = DataOffsetOf(f.type) + data;
    if (data % 2 != 0 && (f.type == FileType::Wav || file.size() > end)) ++end;
    return std::vector<std::uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(std::min(end, file.size())), file.end());
}

struct CaseSize {
    int steps = 300;
    std::uint32_t minFrames = 200, maxFrames = 2000;
};

class EditModelTest : public ::testing::Test {
protected:
    EditModelTest() : work(root.File("work")), user(root.File("user")), app(prompter, progress) {
        std::filesystem::create_directories(work);
        std::filesystem::create_directories(user);
        app.SetWorkDirAtStartup(work);
        EXPECT_TRUE(app.CreateClipFile());
        prompter.fallback = Answer::Ok;
    }

    // Writes a sound as a file in the user's folder and opens it; the model starts from it.
    COLMDoc& OpenSound(const std::string& name, const Format& f, const std::vector<Frame>& frames,
                       const std::vector<std::uint8_t>& trailing) {
        const std::string path = user + "/" + name + (f.type == FileType::Wav ? ".wav" : ".aif");
        WriteAll(path, BuildSoundFile(f, frames, trailing));
        return app.Open(path);
    }

    // The difference between the document and the model, or "" when they agree.
    std::string Mismatch(COLMDoc& doc, const EditModel& m, const Trailing& trailing,
                         const ClipModel& clip) {
        std::ostringstream s;
        const SoundInfo& info = doc.Info();
        auto field = [&s](const char* name, std::uint64_t actual, std::uint64_t expected) {
            if (actual != expected) s << name << " " << actual << " instead of " << expected << "; ";
        };
        field("frames", info.frames, m.Frames());
        field("loop start", info.loopStart, m.now.loopStart);
        field("loop end", info.loopEnd, m.now.loopEnd);
        field("loop lock", doc.loopLock, m.loopLock);
        field("selection start", doc.selectionStart, m.now.selectionStart);
        field("selection end", doc.selectionEnd, m.now.selectionEnd);
        field("first channel", info.channelFirst, static_cast<std::uint64_t>(m.now.channelFirst));
        field("channel end", info.channelEnd, static_cast<std::uint64_t>(m.now.channelEnd));
        field("selection lock", doc.selectionLock, m.selectionLock);
        field("play cursor", doc.playCursor, m.playCursor);
        field("undo enabled", doc.Undo().Enabled(), m.undoEnabled);
        if (m.undoEnabled) {
            field("next is redo", doc.Undo().NextIsRedo(), m.nextIsRedo);
            field("redo copy pending", doc.Undo().RedoRecordState().pending, m.redoPending);
        }
        field("bytes per sample", info.bytesPerSample, static_cast<std::uint64_t>(m.format.bytes));
        field("data offset", info.dataOffset, DataOffsetOf(m.format.type));

        const std::vector<std::uint8_t> actual = ReadAll(doc.WorkingPath());
        const std::vector<std::uint8_t> expected = BuildSoundFile(m.format, m.now.frames, trailing.Build(m.now));
        field("working length", info.workingFileLength, actual.size());
        if (actual != expected) s << FirstDifference(actual, expected, m.format) << "; ";

        const ClipInfo& c = app.GetClip().info;
        field("clip valid", c.valid, clip.valid);
        if (clip.valid && c.valid) {
            field("clip channels", c.channels, static_cast<std::uint64_t>(clip.channels));
            field("clip bytes per sample", c.bytesPerSample, static_cast<std::uint64_t>(clip.bytes));
            field("clip frames", c.frameCount, clip.frames.size());
            field("clip rate", c.sampleRate, clip.rate);
            field("clip type", static_cast<int>(c.fileType), static_cast<std::uint64_t>(clip.type));
            if (ReadAll(app.ClipPath()) != EncodeFrames(clip.frames, clip.type, clip.bytes, clip.channels))
                s << "clip file differs; ";
        }
        return s.str();
    }

    // One long sequence on a sound of format `f`, with a second document of another format as a
    // source of clips of other widths, types, channel counts and rates.
    void RunCase(const Format& f, std::uint64_t seed, const CaseSize& size);

    TempDir root;
    std::string work, user;
    ScriptedPrompter prompter;
    SilentProgress progress;
    ApplicationState app;
};

enum class Step { Select, Channels, Loop, Copy, CopyOther, Cut, Paste, Insert, Clear, Trim, Mix, Undo, Save, FullDiskUndo };

}  // namespace pelmora::test
