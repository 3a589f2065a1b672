// Long random sequences of selection, loop and clipboard commands with undo and redo, checked
// after every step against an in-memory model of the editing rules: every byte of the working
// file (header, samples, the chunks after the data), the clip, loop, selection and undo state.
//
// PELMORA_EDIT_SEED=<number> runs every case from that seed; a failure prints the seed, the
// case, the step and the steps that led to it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "EditModel.h"
#include "app/ApplicationState.h"
#include "base/Error.h"
#include "base/SilentProgress.h"
#include "edit/ClipboardOps.h"
#include "edit/EditFrame.h"
#include "edit/Selection.h"
#include "platform/File.h"
#include "platform/FreeSpace.h"
#include "support/ExternalReaders.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

namespace pelmora::test {
namespace {

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

std::string Describe(const Format& f) {
    std::ostringstream s;
    s << (f.type == FileType::Wav ? "WAV" : "AIFF") << ' ' << 8 * f.bytes << "-bit "
      << (f.channels == 1 ? "mono" : "stereo") << ' ' << f.rate << " Hz";
    return s.str();
}

std::vector<Frame> RandomFrames(Rng& rng, const Format& f, std::uint32_t count) {
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
std::vector<std::uint8_t> MakeLoopChunks(FileType type, const Snapshot& now, bool labels,
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
Trailing RandomTrailing(Rng& rng, FileType type, std::uint32_t frames, std::uint32_t loopStart,
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

std::vector<std::uint8_t> TrailingChunks(Rng& rng, FileType type, std::uint32_t frames,
                                         std::uint32_t loopStart, std::uint32_t loopEnd) {
    Snapshot now;
    return RandomTrailing(rng, type, frames, loopStart, loopEnd, now).bytes;
}

// Where two byte strings first differ, told in terms of the sound file.
std::string FirstDifference(const std::vector<std::uint8_t>& actual, const std::vector<std::uint8_t>& expected,
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
std::vector<std::uint8_t> BytesAfterData(const std::vector<std::uint8_t>& file, const EditModel& m) {
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

Step PickStep(Rng& rng, std::uint32_t frames, std::uint32_t largest) {
    static constexpr std::pair<Step, int> kWeights[] = {
        {Step::Select, 16}, {Step::Channels, 7}, {Step::Loop, 7}, {Step::Copy, 6},
        {Step::CopyOther, 4}, {Step::Cut, 7},    {Step::Paste, 9}, {Step::Insert, 8},
        {Step::Clear, 6},   {Step::Trim, 3},     {Step::Mix, 7},   {Step::Undo, 16},
        {Step::Save, 4},    {Step::FullDiskUndo, 4}};
    for (;;) {
        int total = 0;
        for (auto [step, weight] : kWeights) total += weight;
        int pick = static_cast<int>(rng.Below(static_cast<std::uint64_t>(total)));
        for (auto [step, weight] : kWeights) {
            if (pick < weight) {
                // Keep the sound small: past `largest` frames nothing grows it.
                const bool grows = step == Step::Paste || step == Step::Insert || step == Step::Mix;
                if (grows && frames > largest) break;
                return step;
            }
            pick -= weight;
        }
    }
}

const char* StepName(Step step) {
    static constexpr const char* kNames[] = {"select", "channels", "loop", "copy", "copy-other", "cut",
                                             "paste", "insert", "clear", "trim", "mix", "undo",
                                             "save", "undo on a full disk"};
    return kNames[static_cast<int>(step)];
}

// A selection of the kinds that matter: anywhere, empty, everything, up to the end, short.
std::pair<std::uint32_t, std::uint32_t> RandomRange(Rng& rng, std::uint32_t frames) {
    switch (rng.Below(6)) {
    case 0: {
        const std::uint32_t at = rng.Between(0, frames);
        return {at, at};
    }
    case 1: return {0, frames};
    case 2: return {rng.Between(0, frames), frames};
    case 3: {
        const std::uint32_t s = rng.Between(0, frames);
        return {s, std::min(frames, s + rng.Between(1, 8))};
    }
    default: {
        std::uint32_t a = rng.Between(0, frames), b = rng.Between(0, frames);
        if (a > b) std::swap(a, b);
        return {a, b};
    }
    }
}

void EditModelTest::RunCase(const Format& f, std::uint64_t seed, const CaseSize& size) {
    Rng rng(seed);
    std::vector<std::string> history;
    auto fail = [&](const std::string& what) {
        std::ostringstream s;
        s << "seed " << seed << ", " << Describe(f) << (app.fileBackup ? "" : ", File Backup off")
          << ", step " << history.size() << ": " << what << "\nsteps before it (last 15):";
        for (std::size_t i = history.size() > 15 ? history.size() - 15 : 0; i < history.size(); ++i)
            s << "\n  " << i + 1 << ": " << history[i];
        ADD_FAILURE() << s.str();
    };

    // The document under test.
    const std::uint32_t frames = rng.Between(size.minFrames, size.maxFrames);
    EditModel m;
    m.format = f;
    m.now.frames = RandomFrames(rng, f, frames);
    const std::uint32_t loopStart = rng.Between(0, frames / 2);
    const std::uint32_t loopEnd = rng.Between(loopStart + 1, frames);
    // Save rewrites the loop and image chunks: from then on the model takes them as they stand.
    Trailing trailing = rng.Chance(85) ? RandomTrailing(rng, f.type, frames, loopStart, loopEnd, m.now)
                                       : Trailing{f.type, {}, {}, {}, {}};
    const std::string name = "case" + std::to_string(seed);
    COLMDoc& doc = OpenSound(name, f, m.now.frames, trailing.Build(m.now));
    if (trailing.present()) {
        m.now.loopStart = loopStart;
        m.now.loopEnd = loopEnd;
    }
    m.now.channelEnd = f.channels;

    // The other document: every width, type and channel count, sometimes another rate.
    Format of;
    of.type = rng.Chance(50) ? FileType::Wav : FileType::Aiff;
    of.bytes = static_cast<int>(rng.Between(1, 4));
    of.channels = static_cast<int>(rng.Between(1, 2));
    of.rate = rng.Chance(70) ? f.rate : 22050;
    const std::uint32_t otherFrames = rng.Between(100, 600) * 2;
    EditModel other;
    other.format = of;
    other.now.frames = RandomFrames(rng, of, otherFrames);
    other.now.channelEnd = of.channels;
    COLMDoc& source = OpenSound(name + "-source", of, other.now.frames, TrailingChunks(rng, of.type, otherFrames, 0, 1));
    app.Activate(doc);

    app.GetClip().info.valid = false;
    ClipModel clip;
    if (const std::string diff = Mismatch(doc, m, trailing, clip); !diff.empty()) {
        fail("after opening: " + diff);
        return;
    }

    for (int i = 0; i < size.steps; ++i) {
        const Step step = PickStep(rng, m.Frames(), 3 * size.maxFrames);
        std::ostringstream said;
        said << StepName(step);
        bool engineDid = true, modelDid = true;
        try {
            switch (step) {
            case Step::Select: {
                auto [s, e] = RandomRange(rng, m.Frames());
                said << ' ' << s << ".." << e;
                engineDid = SelectFrames(doc, s, e);
                m.now.selectionStart = s;
                m.now.selectionEnd = e;
                break;
            }
            case Step::Channels: {
                const auto choice = static_cast<ChannelChoice>(rng.Below(3));
                const char* names[] = {"both", "left", "right"};
                said << ' ' << names[static_cast<int>(choice)];
                engineDid = SelectChannels(doc, choice);
                modelDid = !(f.channels == 1 && choice == ChannelChoice::Right);
                if (modelDid) {
                    m.now.channelFirst = choice == ChannelChoice::Right ? 1 : 0;
                    m.now.channelEnd = choice == ChannelChoice::Both ? f.channels : m.now.channelFirst + 1;
                }
                break;
            }
            case Step::Loop: {
                auto [s, e] = RandomRange(rng, m.Frames());
                const std::uint32_t lock = rng.Below(3), cursor = rng.Between(0, m.Frames());
                const std::uint32_t selectionLock = rng.Below(3);
                said << ' ' << s << ".." << e << " lock " << lock << ", play cursor " << cursor
                     << ", selection lock " << selectionLock;
                engineDid = SetLoop(doc, s, e, rng.Chance(50));
                doc.loopLock = m.loopLock = lock;
                doc.playCursor = m.playCursor = cursor;
                doc.selectionLock = m.selectionLock = selectionLock;
                m.now.loopStart = s;
                m.now.loopEnd = e;
                break;
            }
            case Step::Copy:
                engineDid = Copy(doc, app.GetClip());
                modelDid = m.Copy(clip);
                break;
            case Step::CopyOther: {
                auto [s, e] = RandomRange(rng, other.Frames());
                const auto choice = static_cast<ChannelChoice>(rng.Below(of.channels == 2 ? 3 : 2));
                said << ' ' << s << ".." << e << " channel choice " << static_cast<int>(choice) << " of "
                     << Describe(of);
                SelectFrames(source, s, e);
                SelectChannels(source, choice);
                other.now.selectionStart = s;
                other.now.selectionEnd = e;
                other.now.channelFirst = choice == ChannelChoice::Right ? 1 : 0;
                other.now.channelEnd = choice == ChannelChoice::Both ? of.channels : other.now.channelFirst + 1;
                engineDid = Copy(source, app.GetClip());
                modelDid = other.Copy(clip);
                break;
            }
            case Step::Cut:
                engineDid = Cut(doc, app.GetClip());
                modelDid = m.Cut(clip);
                break;
            case Step::Clear:
                engineDid = Clear(doc);
                modelDid = m.Clear();
                break;
            case Step::Trim:
                engineDid = Trim(doc);
                modelDid = m.Trim();
                break;
            case Step::Paste:
            case Step::Insert:
            case Step::Mix: {
                // A clip of another rate asks first; Cancel leaves everything as it was.
                const bool asks = clip.valid && clip.rate != f.rate;
                const bool proceed = !asks || rng.Chance(80);
                if (asks) {
                    prompter.Script({proceed ? Answer::Ok : Answer::Cancel});
                    said << (proceed ? " (rate question: OK)" : " (rate question: Cancel)");
                }
                const std::size_t questions = prompter.questions.size();
                if (step == Step::Insert) engineDid = Insert(doc, app.GetClip());
                else if (step == Step::Paste) engineDid = Paste(doc, app.GetClip());
                else engineDid = Mix(doc, app.GetClip());
                prompter.Script({});
                if (prompter.questions.size() != questions + (asks ? 1 : 0)) {
                    fail("the rate question was " + std::string(asks ? "not asked" : "asked"));
                    return;
                }
                if (!proceed) modelDid = false;
                else if (step == Step::Insert) modelDid = m.Insert(clip);
                else modelDid = m.PasteOrMix(clip, step == Step::Mix);
                break;
            }
            case Step::Undo:
                said << (m.nextIsRedo ? " (redo)" : " (undo)");
                doc.Undo().UndoOrRedo(doc);
                m.UndoOrRedo();
                break;
            case Step::Save:
                doc.Save();
                trailing = Trailing::Of(f.type, BytesAfterData(ReadAll(doc.WorkingPath()), m), m.now);
                break;
            case Step::FullDiskUndo: {
                // The disk filled after the edit. An Undo that must write first fails before it
                // changes anything, whether the free space says so or the writes themselves
                // fail; the redo copy stays pending for a later Undo.
                if (!m.NextUndoNeedsRoom()) {
                    said << (m.nextIsRedo ? " (redo, needs no room)" : " (undo, needs no room)");
                    doc.Undo().UndoOrRedo(doc);
                    m.UndoOrRedo();
                    break;
                }
                const bool writesFail = m.NextUndoCopiesFirst() && rng.Chance(50);
                std::optional<StringId> raised;
                if (writesFail) {
                    const std::uint32_t budget = rng.Below(static_cast<std::uint64_t>(f.bytes));
                    said << " (writes fail after " << budget << " bytes)";
                    platform::SetWriteBudget(budget);
                } else {
                    said << " (no free space)";
                    platform::LimitFreeSpace(0);
                }
                try {
                    doc.Undo().UndoOrRedo(doc);
                } catch (const Error& e) {
                    raised = e.Id();
                }
                platform::SetWriteBudget(-1);
                platform::LimitFreeSpace(-1);
                // Writes that fail as on a full disk say so, never "File read error".
                const bool expected = writesFail ? raised == StringId::EmptyDiskSpace ||
                                                       raised == StringId::FileWriteError
                                                 : raised == StringId::EmptyDiskSpace;
                if (!expected) {
                    history.push_back(said.str());
                    fail(std::string("raised ") + (raised ? Text(*raised) : "nothing"));
                    return;
                }
                break;
            }
            }
        } catch (const std::exception& e) {
            history.push_back(said.str());
            fail(std::string("raised: ") + e.what());
            return;
        }
        said << " -> " << m.Frames() << " frames, selection " << m.now.selectionStart << ".."
             << m.now.selectionEnd << " ch " << m.now.channelFirst << ".." << m.now.channelEnd << ", loop "
             << m.now.loopStart << ".." << m.now.loopEnd;
        history.push_back(said.str());
        if (engineDid != modelDid) {
            fail(std::string("the engine ") + (engineDid ? "acted" : "did nothing") + ", the model " +
                 (modelDid ? "acted" : "did nothing"));
            return;
        }
        if (const std::string diff = Mismatch(doc, m, trailing, clip); !diff.empty()) {
            fail(diff);
            return;
        }
    }

    // An outside reader sees the same samples.
    const std::vector<std::int32_t> seen = SndfileSamples(doc.WorkingPath());
    std::vector<std::int32_t> wanted;
    for (const Frame& frame : m.now.frames)
        for (int ch = 0; ch < f.channels; ++ch)
            wanted.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(frame[ch]) << (32 - 8 * f.bytes)));
    if (seen != wanted) fail("libsndfile reads other samples at the end");
    app.Discard(source);
    app.Discard(doc);
}

std::uint64_t SeedFromEnvironment(std::uint64_t fallback) {
    const char* text = std::getenv("PELMORA_EDIT_SEED");
    return text ? std::strtoull(text, nullptr, 0) : fallback;
}

// Every width, both file types, mono and stereo, File Backup on and off; small sounds for
// long sequences, and sounds of several 32768-byte blocks for the block loops and moves.
TEST_F(EditModelTest, RandomSequencesFollowTheModelInEveryFormat) {
    const std::uint64_t base = SeedFromEnvironment(20240611);
    std::uint64_t caseIndex = 0;
    for (FileType type : {FileType::Wav, FileType::Aiff}) {
        for (int bytes = 1; bytes <= 4; ++bytes) {
            for (int channels = 1; channels <= 2; ++channels) {
                const Format f{type, bytes, channels, 44100};
                for (int round = 0; round < 4; ++round) {
                    app.fileBackup = round != 1;
                    const bool large = round == 3;
                    RunCase(f, base * 1000 + caseIndex++,
                            large ? CaseSize{80, 20000, 45000} : CaseSize{400, 100, 2500});
                    if (HasFailure()) return;
                }
            }
        }
    }
}

// The frames of a working file as built by BuildSoundFile.
std::vector<Frame> DecodeFrames(const std::vector<std::uint8_t>& file, const Format& f, std::uint32_t frames) {
    std::vector<Frame> out(frames, Frame{0, 0});
    const std::uint8_t* p = file.data() + DataOffsetOf(f.type);
    for (Frame& frame : out)
        for (int ch = 0; ch < f.channels; ++ch, p += f.bytes) frame[ch] = GetSample(p, f.type, f.bytes);
    return out;
}

enum class Kind { Cut, Clear, PastePastEnd, InsertGrowing, InsertShrinking, Trim, MixPastEnd, InPlace, WholeFile };

const char* KindName(Kind kind) {
    static constexpr const char* kNames[] = {"cut", "clear", "paste past the end", "growing insert",
                                             "shrinking insert", "trim", "mix past the end",
                                             "in-place effect", "whole-file conversion"};
    return kNames[static_cast<int>(kind)];
}

// Undo, Redo, Undo, Redo, Undo after every kind of operation: the working file alternates byte
// for byte between the two states, trailing chunks included, and so do the loop, the selection
// and the format. Stereo sounds have one channel selected, so that records of the selected
// channels and of all channels both have to give back the whole file.
TEST_F(EditModelTest, UndoAndRedoAlternateTheWholeWorkingFileByteForByte) {
    const Format formats[] = {{FileType::Wav, 2, 2, 44100},
                              {FileType::Wav, 1, 1, 22050},  // odd data: a pad byte before the chunks
                              {FileType::Aiff, 3, 2, 44100},
                              {FileType::Aiff, 1, 1, 8000}};
    Rng rng(77);
    int made = 0;
    for (const Format& f : formats) {
        for (int k = 0; k <= static_cast<int>(Kind::WholeFile); ++k) {
            const Kind kind = static_cast<Kind>(k);
            const std::uint32_t frames = 301 + (f.type == FileType::Aiff ? 1 : 0);
            const std::vector<std::uint8_t> trailing = TrailingChunks(rng, f.type, 301, 100, 200);
            COLMDoc& doc = OpenSound("alternate" + std::to_string(made++), f, RandomFrames(rng, f, frames), trailing);
            SCOPED_TRACE(Describe(f) + ", " + KindName(kind));
            SelectFrames(doc, 20, 120);
            ASSERT_TRUE(Copy(doc, app.GetClip()));  // a clip of 100 frames, all channels
            SelectChannels(doc, f.channels == 2 ? ChannelChoice::Right : ChannelChoice::Left);
            doc.loopLock = 1;

            bool did = false;
            switch (kind) {
            case Kind::Cut: SelectFrames(doc, 150, 250); did = Cut(doc, app.GetClip()); break;
            case Kind::Clear: SelectFrames(doc, 50, 150); did = Clear(doc); break;
            case Kind::PastePastEnd: SelectFrames(doc, frames - 30, frames - 30); did = Paste(doc, app.GetClip()); break;
            case Kind::InsertGrowing: SelectFrames(doc, 150, 160); did = Insert(doc, app.GetClip()); break;
            case Kind::InsertShrinking: SelectFrames(doc, 150, 290); did = Insert(doc, app.GetClip()); break;
            case Kind::Trim: SelectFrames(doc, 120, 180); did = Trim(doc); break;
            case Kind::MixPastEnd: SelectFrames(doc, frames - 10, frames); did = Mix(doc, app.GetClip()); break;
            case Kind::InPlace:
            case Kind::WholeFile: {
                SelectFrames(doc, 40, 140);
                const bool whole = kind == Kind::WholeFile;
                EditPlan plan;
                plan.code = whole ? OperationCode::WholeFile : OperationCode::InPlace;
                plan.undo = whole ? UndoRange{0, frames, AllChannels(doc)} : UndoRange{40, 140, SelectedChannels(doc)};
                did = RunEdit(doc, plan, [&] {
                    std::vector<Frame> now = DecodeFrames(ReadAll(doc.WorkingPath()), f, frames);
                    Format to = f;
                    if (whole) {
                        // Another width, and longer chunks after the data.
                        to.bytes = f.bytes == 1 ? 2 : 1;
                        for (Frame& frame : now)
                            for (std::int32_t& v : frame) v = ToWidth(v, f.bytes, to.bytes);
                        std::vector<std::uint8_t> more = trailing;
                        PutChunk(more, "zEXT", f.type == FileType::Aiff, {1, 2, 3});
                        WriteAll(doc.WorkingPath(), BuildSoundFile(to, now, more));
                        doc.ReReadFormatKeepingLoop();
                        return UndoRange{0, frames, AllChannels(doc)};
                    }
                    // Invert the selected channel of the selection.
                    for (std::uint32_t i = 40; i < 140; ++i)
                        for (int ch = doc.Info().channelFirst; ch < doc.Info().channelEnd; ++ch)
                            now[i][ch] = -1 - now[i][ch];
                    WriteAll(doc.WorkingPath(), BuildSoundFile(f, now, trailing));
                    return UndoRange{40, 140, SelectedChannels(doc)};
                });
                break;
            }
            }
            ASSERT_TRUE(did);
            // Nothing is written for the redo copy until the first Undo: the working file holds
            // it. Whole-file operations take theirs at once.
            const UndoRecord& redo = doc.Undo().RedoRecordState();
            const bool deferred = kind != Kind::WholeFile;
            EXPECT_EQ(redo.pending, deferred);
            if (deferred) {
                EXPECT_EQ(platform::FileSize(doc.RedoPath()), 0);
            }
            const std::vector<std::uint8_t> changed = ReadAll(doc.WorkingPath());
            const auto changedLoop = std::pair{doc.Info().loopStart, doc.Info().loopEnd};
            const auto changedSelection = std::pair{doc.selectionStart, doc.selectionEnd};
            const int changedBytes = doc.Info().bytesPerSample;
            ASSERT_TRUE(doc.Undo().Enabled());
            EXPECT_FALSE(doc.Undo().NextIsRedo());
            // The state before: what the undo record stands for.
            const UndoRecord& record = doc.Undo().UndoRecordState();
            std::vector<std::uint8_t> original;
            for (int step = 0; step < 5; ++step) {
                const bool undoing = step % 2 == 0;
                SCOPED_TRACE(std::string(undoing ? "undo " : "redo ") + std::to_string(step / 2 + 1));
                doc.Undo().UndoOrRedo(doc);
                const std::vector<std::uint8_t> now = ReadAll(doc.WorkingPath());
                if (step == 0) original = now;
                EXPECT_FALSE(redo.pending);
                if (deferred) {
                    EXPECT_EQ(platform::FileSize(doc.RedoPath()),
                              std::int64_t{redo.framesSaved} * redo.savedFrameSize);
                }
                EXPECT_EQ(now, undoing ? original : changed);
                EXPECT_EQ(doc.Info().workingFileLength, now.size());
                EXPECT_EQ(doc.Undo().NextIsRedo(), undoing);
                EXPECT_TRUE(doc.Undo().Enabled());
                if (undoing) {
                    EXPECT_EQ(doc.Info().frames, record.frameCount);
                    EXPECT_EQ(std::pair(doc.Info().loopStart, doc.Info().loopEnd), std::pair(record.loopStart, record.loopEnd));
                    EXPECT_EQ(std::pair(doc.selectionStart, doc.selectionEnd), std::pair(record.selectionStart, record.selectionEnd));
                    EXPECT_EQ(doc.Info().bytesPerSample, f.bytes);
                } else {
                    EXPECT_EQ(std::pair(doc.Info().loopStart, doc.Info().loopEnd), changedLoop);
                    EXPECT_EQ(std::pair(doc.selectionStart, doc.selectionEnd), changedSelection);
                    EXPECT_EQ(doc.Info().bytesPerSample, changedBytes);
                }
            }
            // The state undone is the file as it was opened.
            const std::string opened = app.fileBackup ? doc.OriginalPath() : doc.WorkingPath();
            EXPECT_EQ(original, ReadAll(opened));
            app.Discard(doc);
            if (HasFatalFailure()) return;
        }
    }
}

// The disk filled between an edit and its first Undo: the Undo fails before it writes anything,
// whether the free space tells or the writes fail, and leaves the document and the pending redo
// copy as they were; once there is room again, Undo and Redo work as if nothing had happened.
TEST_F(EditModelTest, AFullDiskAtTheFirstUndoChangesNothing) {
    const Format f{FileType::Wav, 2, 2, 44100};
    Rng rng(5);
    int made = 0;
    for (const bool backup : {true, false}) {
        for (Kind kind : {Kind::PastePastEnd, Kind::Cut, Kind::InsertShrinking}) {
            app.fileBackup = backup;
            SCOPED_TRACE(std::string(backup ? "File Backup on, " : "File Backup off, ") + KindName(kind));
            COLMDoc& doc = OpenSound("full" + std::to_string(made++), f, RandomFrames(rng, f, 400),
                                     TrailingChunks(rng, f.type, 400, 100, 200));
            const std::vector<std::uint8_t> original = ReadAll(doc.WorkingPath());
            SelectFrames(doc, 20, 120);
            ASSERT_TRUE(Copy(doc, app.GetClip()));
            bool did = false;
            if (kind == Kind::PastePastEnd) {
                SelectFrames(doc, 350, 350);
                did = Paste(doc, app.GetClip());
            } else if (kind == Kind::Cut) {
                SelectFrames(doc, 150, 250);
                did = Cut(doc, app.GetClip());
            } else {
                SelectFrames(doc, 150, 390);
                did = Insert(doc, app.GetClip());
            }
            ASSERT_TRUE(did);
            const std::vector<std::uint8_t> changed = ReadAll(doc.WorkingPath());
            const auto selection = std::pair{doc.selectionStart, doc.selectionEnd};

            auto undoFailsWith = [&](std::initializer_list<StringId> expected) {
                try {
                    doc.Undo().UndoOrRedo(doc);
                    ADD_FAILURE() << "Undo went ahead";
                } catch (const Error& e) {
                    EXPECT_NE(std::find(expected.begin(), expected.end(), e.Id()), expected.end()) << e.Message();
                }
                platform::LimitFreeSpace(-1);
                platform::SetWriteBudget(-1);
                EXPECT_EQ(ReadAll(doc.WorkingPath()), changed);
                EXPECT_EQ(std::pair(doc.selectionStart, doc.selectionEnd), selection);
                EXPECT_FALSE(doc.Undo().NextIsRedo());
                EXPECT_TRUE(doc.Undo().Enabled());
                EXPECT_TRUE(doc.Undo().RedoRecordState().pending);
                EXPECT_FALSE(progress.IsActive());
            };
            platform::LimitFreeSpace(0);
            undoFailsWith({StringId::EmptyDiskSpace});
            if (kind != Kind::Cut) {  // a Cut's redo keeps no frames: nothing to copy
                platform::SetWriteBudget(100);
                undoFailsWith({StringId::EmptyDiskSpace, StringId::FileWriteError});
            }

            for (int step = 0; step < 4; ++step) {
                doc.Undo().UndoOrRedo(doc);
                EXPECT_EQ(ReadAll(doc.WorkingPath()), step % 2 == 0 ? original : changed) << "step " << step;
            }
            app.Discard(doc);
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace
}  // namespace pelmora::test
