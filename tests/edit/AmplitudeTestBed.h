#pragma once
// Sounds of every width and file type filled with random samples, and the check that an
// operation did to the working file exactly what a per-sample reference says, touched no other
// byte, and that undo and redo bring back both states.

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "../document/DocumentTestBed.h"
#include "edit/Selection.h"
#include "sound/SampleCodec.h"

namespace pelmora::test {

// Every sample of a sound, frame by frame, channel 0 first.
struct SampleGrid {
    std::uint16_t channels = 1;
    std::vector<std::int64_t> values;
    std::int64_t& At(std::uint32_t frame, int ch) { return values[static_cast<std::size_t>(frame) * channels + ch]; }
    std::int64_t At(std::uint32_t frame, int ch) const {
        return values[static_cast<std::size_t>(frame) * channels + ch];
    }
    bool operator==(const SampleGrid&) const = default;
};

// What the reference sees: the selection and the sample width.
struct EditScope {
    std::uint32_t start = 0, end = 0;
    int channelFirst = 0, channelEnd = 1;
    int bytes = 2;
    int bits = 16;
    std::int64_t Min() const { return -(std::int64_t{1} << (8 * bytes - 1)); }
    std::int64_t Max() const { return (std::int64_t{1} << (8 * bytes - 1)) - 1; }
    std::int64_t Clamp(std::int64_t v) const { return v < Min() ? Min() : v > Max() ? Max() : v; }
};

struct SoundKind {
    FileType type;
    int bytes;
    int channels;
    std::string Name() const {
        return std::string(type == FileType::Wav ? "wav" : "aiff") + " " + std::to_string(8 * bytes) +
               "-bit " + std::to_string(channels) + "ch";
    }
};

inline std::vector<SoundKind> EveryKind() {
    std::vector<SoundKind> kinds;
    for (FileType type : {FileType::Wav, FileType::Aiff})
        for (int bytes = 1; bytes <= 4; ++bytes)
            for (int channels = 1; channels <= 2; ++channels) kinds.push_back({type, bytes, channels});
    return kinds;
}

class AmplitudeTestBed : public DocumentTestBed {
protected:
    // A sound of `frames` frames whose samples are random, with full-scale and near-zero values
    // mixed in so that clamps and truncation are reached.
    COLMDoc& RandomSound(const SoundKind& kind, std::uint32_t frames, unsigned seed) {
        const std::string name = "r" + std::to_string(counter_++) + (kind.type == FileType::Wav ? ".wav" : ".aif");
        const std::string soxFormat = "-r 8000 -b " + std::to_string(8 * kind.bytes) + " -c " + std::to_string(kind.channels);
        COLMDoc& doc = app.Open(MakeSound(name, soxFormat, frames / 8000.0));
        std::mt19937 random(seed);
        SampleGrid grid = Read(doc);
        const EditScope scope = ScopeOf(doc);
        std::uniform_int_distribution<std::int64_t> any(scope.Min(), scope.Max());
        std::uniform_int_distribution<int> pick(0, 15);
        for (std::int64_t& v : grid.values) {
            switch (pick(random)) {
            case 0: v = scope.Min(); break;
            case 1: v = scope.Max(); break;
            case 2: v = pick(random) - 8; break;
            default: v = any(random);
            }
        }
        Write(doc, grid);
        return doc;
    }

    static EditScope ScopeOf(const COLMDoc& doc) {
        const SoundInfo& s = doc.Info();
        return {doc.selectionStart, doc.selectionEnd, s.channelFirst, s.channelEnd, s.bytesPerSample, s.bitsPerSample};
    }

    static SampleGrid Read(const COLMDoc& doc) {
        const SoundInfo& s = doc.Info();
        const auto bytes = ReadAll(doc.WorkingPath());
        SampleGrid grid;
        grid.channels = s.channels;
        for (std::uint64_t i = 0; i < static_cast<std::uint64_t>(s.frames) * s.channels; ++i)
            grid.values.push_back(ReadSample(s.fileType, s.bytesPerSample, bytes.data() + s.dataOffset + i * s.bytesPerSample));
        return grid;
    }

    static void Write(const COLMDoc& doc, const SampleGrid& grid) {
        const SoundInfo& s = doc.Info();
        auto bytes = ReadAll(doc.WorkingPath());
        for (std::size_t i = 0; i < grid.values.size(); ++i)
            WriteSample(s.fileType, s.bytesPerSample, bytes.data() + s.dataOffset + i * s.bytesPerSample,
                        static_cast<std::int32_t>(grid.values[i]));
        WriteAll(doc.WorkingPath(), bytes);
    }

    // Selects, runs `operation`, and checks the samples against `reference` applied to the
    // samples before, every byte outside the selected samples, and undo, redo and undo again.
    void ExpectOperation(COLMDoc& doc, std::uint32_t start, std::uint32_t end, ChannelChoice channels,
                         const std::function<bool(COLMDoc&)>& operation,
                         const std::function<void(SampleGrid&, const EditScope&)>& reference,
                         const std::string& what) {
        ASSERT_TRUE(SelectChannels(doc, channels));
        ASSERT_TRUE(SelectFrames(doc, start, end));
        const auto fileBefore = ReadAll(doc.WorkingPath());
        const SampleGrid before = Read(doc);
        SampleGrid expected = before;
        reference(expected, ScopeOf(doc));
        ASSERT_TRUE(operation(doc)) << what;
        const auto fileAfter = ReadAll(doc.WorkingPath());
        ASSERT_EQ(fileAfter.size(), fileBefore.size()) << what;
        const SampleGrid after = Read(doc);
        // The grid holds every sample, so equal grids mean equal data bytes.
        for (std::size_t i = 0; i < after.values.size(); ++i) {
            if (after.values[i] != expected.values[i]) {
                ADD_FAILURE() << what << ": frame " << i / after.channels << " channel " << i % after.channels
                              << " was " << before.values[i] << ", became " << after.values[i] << ", expected "
                              << expected.values[i];
                break;
            }
        }
        const SoundInfo& s = doc.Info();
        const std::size_t dataStart = s.dataOffset, dataEnd = dataStart + DataBytes(s);
        EXPECT_TRUE(std::equal(fileAfter.begin(), fileAfter.begin() + dataStart, fileBefore.begin())) << what;
        EXPECT_TRUE(std::equal(fileAfter.begin() + dataEnd, fileAfter.end(), fileBefore.begin() + dataEnd)) << what;
        EXPECT_TRUE(doc.DataChanged());
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), fileBefore) << what << ": undo";
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), fileAfter) << what << ": redo";
        // Back to the samples before, so that every case starts from the same random data.
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), fileBefore) << what << ": second undo";
    }

    // Selections of odd length at the start, across block boundaries in the middle, and at the end.
    static std::vector<std::pair<std::uint32_t, std::uint32_t>> Selections(std::uint32_t frames) {
        return {{0, 4097}, {1234, frames - 2001}, {frames - 9999, frames}, {frames - 1, frames}};
    }

    // Every channel choice the sound has.
    static std::vector<ChannelChoice> ChannelChoices(const COLMDoc& doc) {
        if (doc.Info().channels == 1) return {ChannelChoice::Both};
        return {ChannelChoice::Both, ChannelChoice::Left, ChannelChoice::Right};
    }

    // Runs the check over every width, both file types, every channel choice and the selections;
    // `prepare` may first change the random samples.
    void ExpectOnEveryKind(const std::function<bool(COLMDoc&)>& operation,
                           const std::function<void(SampleGrid&, const EditScope&)>& reference,
                           const std::string& what, unsigned seed,
                           const std::function<void(SampleGrid&, const EditScope&)>& prepare = {}) {
        for (const SoundKind& kind : EveryKind()) {
            COLMDoc& doc = RandomSound(kind, 24000, seed++);
            if (prepare) {
                SampleGrid grid = Read(doc);
                prepare(grid, ScopeOf(doc));
                Write(doc, grid);
            }
            for (ChannelChoice choice : ChannelChoices(doc))
                for (auto [start, end] : Selections(doc.Info().frames))
                    ExpectOperation(doc, start, end, choice, operation, reference,
                                    what + " " + kind.Name() + " channels " + std::to_string(static_cast<int>(choice)) +
                                        " " + std::to_string(start) + ".." + std::to_string(end));
            app.Discard(doc);
        }
    }

    // Calls f(frame, channel) for every selected sample.
    template <typename F>
    static void ForSelected(const EditScope& scope, F&& f) {
        for (std::uint32_t frame = scope.start; frame < scope.end; ++frame)
            for (int ch = scope.channelFirst; ch < scope.channelEnd; ++ch) f(frame, ch);
    }

private:
    int counter_ = 0;
};

}  // namespace pelmora::test
