#pragma once
// An in-memory model of the clipboard commands and one-level undo, written from the editing
// rules alone, and the sound files it stands for: a test builds the expected working file from
// the model byte for byte and compares it with the one the engine changed.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sound/AiffRate.h"
#include "sound/Bytes.h"
#include "sound/FileType.h"

namespace pelmora::test {

using Frame = std::array<std::int32_t, 2>;

struct Format {
    FileType type = FileType::Wav;
    int bytes = 2;
    int channels = 2;
    std::uint32_t rate = 44100;
};

inline std::int32_t MinOf(int bytes) { return -(std::int32_t{1} << (8 * bytes - 2)) * 2; }
inline std::int32_t MaxOf(int bytes) { return -(MinOf(bytes) + 1); }

// A clip sample moved to another width: shifted left when widening, arithmetically right when
// narrowing.
inline std::int32_t ToWidth(std::int32_t v, int fromBytes, int toBytes) {
    if (toBytes >= fromBytes) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) << (8 * (toBytes - fromBytes)));
    }
    return v >> (8 * (fromBytes - toBytes));
}

// ---- encodings -----------------------------------------------------------------------------

inline void PutSample(std::vector<std::uint8_t>& out, FileType type, int bytes, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    if (bytes == 1) {
        out.push_back(static_cast<std::uint8_t>(type == FileType::Wav ? (v + 128) : (u & 0xFF)));
        return;
    }
    for (int i = 0; i < bytes; ++i) {
        const int byteIndex = type == FileType::Wav ? i : bytes - 1 - i;
        out.push_back(static_cast<std::uint8_t>(u >> (8 * byteIndex)));
    }
}

inline std::int32_t GetSample(const std::uint8_t* p, FileType type, int bytes) {
    if (bytes == 1) return type == FileType::Wav ? p[0] - 128 : static_cast<std::int8_t>(p[0]);
    std::uint32_t u = 0;
    for (int i = 0; i < bytes; ++i) {
        const int byteIndex = type == FileType::Wav ? i : bytes - 1 - i;
        u |= static_cast<std::uint32_t>(p[i]) << (8 * byteIndex);
    }
    const int spare = 32 - 8 * bytes;
    return static_cast<std::int32_t>(u << spare) >> spare;
}

inline std::vector<std::uint8_t> EncodeFrames(const std::vector<Frame>& frames, FileType type,
                                              int bytes, int channels) {
    std::vector<std::uint8_t> out;
    out.reserve(frames.size() * bytes * channels);
    for (const Frame& f : frames)
        for (int ch = 0; ch < channels; ++ch) PutSample(out, type, bytes, f[ch]);
    return out;
}

// ---- whole files ---------------------------------------------------------------------------

inline void PutChunk(std::vector<std::uint8_t>& out, const char (&id)[5], bool bigEndian,
                     const std::vector<std::uint8_t>& body) {
    const std::size_t at = out.size();
    out.resize(at + 8);
    StoreFourCC(out.data() + at, MakeFourCC(id));
    if (bigEndian) StoreBE32(out.data() + at + 4, static_cast<std::uint32_t>(body.size()));
    else StoreLE32(out.data() + at + 4, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) out.push_back(0);
}

// Offset of the first sample: WAV after a plain 'fmt '; AIFF at 512, where HD Play wants it,
// behind an annotation that fills the gap.
inline std::size_t DataOffsetOf(FileType type) { return type == FileType::Wav ? 44 : 512; }

// The complete sound file: header, data (a pad byte after odd data when chunks follow it, in
// both types), then `trailing` as they stand.
inline std::vector<std::uint8_t> BuildSoundFile(const Format& format, const std::vector<Frame>& frames,
                                                const std::vector<std::uint8_t>& trailing) {
    const std::vector<std::uint8_t> data = EncodeFrames(frames, format.type, format.bytes, format.channels);
    const auto blockAlign = static_cast<std::uint16_t>(format.bytes * format.channels);
    std::vector<std::uint8_t> out;
    if (format.type == FileType::Wav) {
        out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
        std::vector<std::uint8_t> fmt(16);
        StoreLE16(fmt.data(), 1);
        StoreLE16(fmt.data() + 2, static_cast<std::uint16_t>(format.channels));
        StoreLE32(fmt.data() + 4, format.rate);
        StoreLE32(fmt.data() + 8, format.rate * blockAlign);
        StoreLE16(fmt.data() + 12, blockAlign);
        StoreLE16(fmt.data() + 14, static_cast<std::uint16_t>(8 * format.bytes));
        PutChunk(out, "fmt ", false, fmt);
        PutChunk(out, "data", false, data);
        out.insert(out.end(), trailing.begin(), trailing.end());
        StoreLE32(out.data() + 4, static_cast<std::uint32_t>(out.size() - 8));
        return out;
    }
    out = {'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F', 'F'};
    std::vector<std::uint8_t> comm(18);
    StoreBE16(comm.data(), static_cast<std::uint16_t>(format.channels));
    StoreBE32(comm.data() + 2, static_cast<std::uint32_t>(frames.size()));
    StoreBE16(comm.data() + 6, static_cast<std::uint16_t>(8 * format.bytes));
    aiff::EncodeRate(format.rate, comm.data() + 8);
    PutChunk(out, "COMM", true, comm);
    PutChunk(out, "ANNO", true, std::vector<std::uint8_t>(512 - out.size() - 8 - 16, 'a'));
    const std::size_t ssnd = out.size();
    out.resize(ssnd + 16, 0);
    StoreFourCC(out.data() + ssnd, MakeFourCC("SSND"));
    StoreBE32(out.data() + ssnd + 4, static_cast<std::uint32_t>(8 + data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2 != 0 && !trailing.empty()) out.push_back(0);
    out.insert(out.end(), trailing.begin(), trailing.end());
    StoreBE32(out.data() + 4, static_cast<std::uint32_t>(out.size() - 8));
    return out;
}

// ---- the model -----------------------------------------------------------------------------

// What one undo or redo record brings back.
struct Snapshot {
    std::vector<Frame> frames;
    std::uint32_t loopStart = 0, loopEnd = 0;
    // What the file carries besides: 'smpl' loop records (start, last frame), 'cue ' points
    // (position, sample offset), AIFF markers. They follow every edit on their own.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> loops, cues;
    std::vector<std::uint32_t> marks;
    std::uint32_t selectionStart = 0, selectionEnd = 0;
    int channelFirst = 0, channelEnd = 1;
};

struct ClipModel {
    bool valid = false;
    FileType type = FileType::Wav;
    int bytes = 0;
    int channels = 0;
    std::uint32_t rate = 0;
    std::vector<Frame> frames;  // clip channel j in element j
};

class EditModel {
public:
    Format format;
    Snapshot now;
    std::uint32_t loopLock = 0;
    std::uint32_t selectionLock = 0;
    std::uint32_t playCursor = 0;
    bool undoEnabled = false;
    bool nextIsRedo = false;
    // The redo copy is taken at the first Undo; until then the working file is its only copy.
    bool redoPending = false;
    bool redoHasFrames = false;  // Cut and Clear keep no frames for their redo
    Snapshot before, after;

    std::uint32_t Frames() const { return static_cast<std::uint32_t>(now.frames.size()); }
    std::uint32_t Selected() const { return now.selectionEnd - now.selectionStart; }

    // Copy: the selected frames and channels become the clip.
    bool Copy(ClipModel& clip) const {
        if (Selected() == 0) return false;
        clip.valid = true;
        clip.type = format.type;
        clip.bytes = format.bytes;
        clip.channels = now.channelEnd - now.channelFirst;
        clip.rate = format.rate;
        clip.frames.clear();
        for (std::uint32_t f = now.selectionStart; f < now.selectionEnd; ++f) {
            Frame c{0, 0};
            for (int ch = now.channelFirst; ch < now.channelEnd; ++ch) c[ch - now.channelFirst] = now.frames[f][ch];
            clip.frames.push_back(c);
        }
        return true;
    }

    bool Cut(ClipModel& clip) {
        if (Selected() == 0) return false;
        const Snapshot was = now;
        Copy(clip);
        Remove();
        Commit(was, false);
        return true;
    }

    bool Clear() {
        if (Selected() == 0) return false;
        const Snapshot was = now;
        Remove();
        Commit(was, false);
        return true;
    }

    // Paste (add = false) and Mix (add = true): the clip over the selected channels from the
    // selection start, the sound grown with silence where it runs past the end.
    bool PasteOrMix(const ClipModel& clip, bool add) {
        if (!clip.valid) return false;
        const Snapshot was = now;
        const std::uint32_t p = now.selectionStart;
        const auto k = static_cast<std::uint32_t>(clip.frames.size());
        if (p + k > Frames()) now.frames.resize(p + k, Frame{0, 0});
        for (std::uint32_t i = 0; i < k; ++i) {
            int next = 0;
            for (int ch = now.channelFirst; ch < now.channelEnd && next < clip.channels; ++ch, ++next) {
                const std::int32_t v = ToWidth(clip.frames[i][next], clip.bytes, format.bytes);
                std::int32_t& target = now.frames[p + i][ch];
                if (add) {
                    const std::int64_t sum = std::int64_t{target} + v;
                    target = static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, MinOf(format.bytes), MaxOf(format.bytes)));
                } else {
                    target = v;
                }
            }
        }
        now.selectionEnd = p + k;
        Commit(was);
        return true;
    }

    // Insert: the selection gives way to the clip, in every channel.
    bool Insert(const ClipModel& clip) {
        if (!clip.valid) return false;
        const Snapshot was = now;
        const std::uint32_t s = now.selectionStart, e = now.selectionEnd;
        const auto k = static_cast<std::uint32_t>(clip.frames.size());
        std::vector<Frame> added;
        for (const Frame& c : clip.frames) {
            Frame f{0, 0};
            for (int ch = 0; ch < format.channels; ++ch)
                f[ch] = ch < clip.channels ? ToWidth(c[ch], clip.bytes, format.bytes) : 0;
            added.push_back(f);
        }
        now.frames.erase(now.frames.begin() + s, now.frames.begin() + e);
        now.frames.insert(now.frames.begin() + s, added.begin(), added.end());
        const std::int64_t d = std::int64_t{e} - s - k;
        Replaced(s, e, d);
        MoveMarkers([=](std::uint32_t p) { return p < s ? p : p >= e ? p - (e - s) + k : s; });
        now.selectionEnd = s + k;
        Commit(was);
        return true;
    }

    bool Trim() {
        const std::uint32_t s = now.selectionStart, e = now.selectionEnd;
        if (s == e || (s == 0 && e == Frames())) return false;
        const Snapshot was = now;
        now.frames = std::vector<Frame>(now.frames.begin() + s, now.frames.begin() + e);
        std::uint32_t& L = now.loopStart;
        std::uint32_t& E = now.loopEnd;
        if (e < L) {
            L = E = e - s;
            loopLock = 0;
        } else if (L <= e && e < E) {
            E = e - s;
            L = L <= s ? 0 : L - s;
            loopLock = 0;
        } else if (e >= E && s < E) {
            if (L <= s) {
                L = 0;
                loopLock = 0;
            } else {
                L -= s;
            }
            E -= s;
        } else {
            L = E = 0;
            loopLock = 0;
        }
        MoveMarkers([=](std::uint32_t p) { return p < s ? 0 : std::min(p - s, e - s); });
        now.selectionStart = 0;
        now.selectionEnd = e - s;
        Commit(was);
        return true;
    }

    // Whether the next Undo or Redo needs room on the disk before it changes anything: the
    // deferred redo copy, or the frames an undone Cut or Clear puts back.
    bool NextUndoNeedsRoom() const { return undoEnabled && !nextIsRedo && redoPending; }
    // Whether it writes the deferred redo copy before it changes the working file.
    bool NextUndoCopiesFirst() const { return NextUndoNeedsRoom() && redoHasFrames; }

    // Undo or Redo, alternately, once an operation has recorded both states.
    void UndoOrRedo() {
        if (!undoEnabled) return;
        if (!nextIsRedo) redoPending = false;
        const Snapshot& apply = nextIsRedo ? after : before;
        const std::uint32_t lengthBefore = now.loopEnd - now.loopStart;
        // A save in between may have removed or added loop records and markers: the record
        // brings back the positions of as many as the file still holds.
        Snapshot restored = apply;
        restored.loops = RestoredPositions(now.loops, apply.loops);
        restored.cues = RestoredPositions(now.cues, apply.cues);
        restored.marks = RestoredPositions(now.marks, apply.marks);
        now = std::move(restored);
        if (now.loopEnd - now.loopStart != lengthBefore) loopLock = 0;
        playCursor = std::min(playCursor, Frames());
        nextIsRedo = !nextIsRedo;
    }

private:
    template <typename T>
    static std::vector<T> RestoredPositions(std::vector<T> held, const std::vector<T>& recorded) {
        std::copy_n(recorded.begin(), std::min(held.size(), recorded.size()), held.begin());
        return held;
    }

    // Clear and Cut: frames s .. e go, in every channel.
    void Remove() {
        const std::uint32_t s = now.selectionStart, e = now.selectionEnd;
        now.frames.erase(now.frames.begin() + s, now.frames.begin() + e);
        Replaced(s, e, std::int64_t{e} - s);
        MoveMarkers([=](std::uint32_t p) { return p < s ? p : p >= e ? p - (e - s) : s; });
        now.selectionEnd = s;
    }

    // Where the frames went, applied to every loop record, cue point and marker; then kept
    // within the sound: WAV fields name frames (at most the last one), AIFF markers lie
    // between frames (at most the end).
    template <typename Map>
    void MoveMarkers(Map map) {
        const std::uint32_t last = Frames() == 0 ? 0 : Frames() - 1;
        for (auto& [start, end] : now.loops) {
            // A loop holds frames start .. end: its end goes where the frame after it goes. An
            // empty one (end = start − 1, wrapping at 0) or an odd one stays as it is while
            // nothing moves it.
            const std::uint32_t from = map(start), next = map(end + 1);
            if (from == start && next == end + 1 && start <= last && (end <= last || end + 1 <= start)) continue;
            start = std::min(from, last);
            end = next <= from ? start : std::max(std::min(next - 1, last), start);
        }
        for (auto& [position, offset] : now.cues) {
            // A field that is 0 while the other holds the frame holds nothing, and stays 0.
            const bool positionUnused = position == 0 && offset != 0;
            const bool offsetUnused = offset == 0 && position != 0;
            if (!positionUnused) position = std::min(map(position), last);
            if (!offsetUnused) offset = std::min(map(offset), last);
        }
        for (std::uint32_t& m : now.marks) m = std::min(map(m), Frames());
    }

    // The loop after frames s .. e were replaced by (e − s) − d frames.
    void Replaced(std::uint32_t s, std::uint32_t e, std::int64_t d) {
        std::uint32_t& L = now.loopStart;
        std::uint32_t& E = now.loopEnd;
        if (e <= L) {
            L = static_cast<std::uint32_t>(L - d);
            E = static_cast<std::uint32_t>(E - d);
        } else if (e <= E) {
            if (s < L) L = s;
            E = static_cast<std::uint32_t>(E - d);
            loopLock = 0;
        } else if (s < E) {
            E = s;
            if (s < L) L = s;
            loopLock = 0;
        }
    }

    void Commit(const Snapshot& was, bool redoFrames = true) {
        selectionLock = 0;
        playCursor = std::min(playCursor, Frames());
        undoEnabled = true;
        nextIsRedo = false;
        redoPending = true;
        redoHasFrames = redoFrames;
        before = was;
        after = now;
    }
};

}  // namespace pelmora::test
