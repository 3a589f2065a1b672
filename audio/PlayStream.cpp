#include "audio/PlayStream.h"

#include <algorithm>
#include <cstring>

namespace pelmora {

std::uint32_t StreamSegment::SourceAt(std::uint64_t k) const {
    std::uint64_t s = source + k;
    if (wrapLength && s >= static_cast<std::uint64_t>(wrapStart) + wrapLength)
        s = wrapStart + (s - wrapStart) % wrapLength;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(s, 0xFFFFFFFFu));
}

void BufferRecord::Add(const StreamSegment& s) {
    if (s.frames == 0 || count == 3) return;
    segments[count++] = s;
}

std::uint32_t BufferRecord::SourceAt(std::uint64_t offset) const {
    if (count == 0) return 0;
    for (int i = 0; i < count - 1; ++i) {
        if (offset < segments[i].frames) return segments[i].SourceAt(offset);
        offset -= segments[i].frames;
    }
    return segments[count - 1].SourceAt(offset);
}

void ConvertAiffBytes(std::uint8_t* data, std::size_t bytes, int bitsPerSample) {
    if (bitsPerSample == 8) {
        for (std::size_t i = 0; i < bytes; ++i) data[i] ^= 0x80;
    } else if (bitsPerSample == 16) {
        for (std::size_t i = 0; i + 1 < bytes; i += 2) std::swap(data[i], data[i + 1]);
    }
}

void PlayStream::StartPlay(const StreamLayout& layout, std::uint32_t frame, const LoopNow& loop) {
    layout_ = layout;
    region_ = false;
    pos_ = static_cast<std::int64_t>(Bytes(frame));
    passes_ = 0;
    Capture(loop);
    end_ = Bytes(layout_.frames);
    if (loop.mode && loopStart_ < loopEnd_ && frame < loopEnd_) end_ = Bytes(loopEnd_);
    endFrame_ = layout_.frames;
    if (static_cast<std::uint64_t>(pos_) >= Bytes(layout_.frames)) pos_ = -1;
}

void PlayStream::StartRegion(const StreamLayout& layout, std::uint32_t first, std::uint32_t end) {
    layout_ = layout;
    region_ = true;
    pos_ = static_cast<std::int64_t>(Bytes(first));
    end_ = Bytes(end);
    endFrame_ = end;
    loopStart_ = loopEnd_ = passes_ = 0;
    if (first >= end) pos_ = -1;
}

void PlayStream::Capture(const LoopNow& loop) {
    loopStart_ = std::min(loop.start, layout_.frames);
    loopEnd_ = std::min(loop.end, layout_.frames);
}

bool PlayStream::Looping(const LoopNow& loop) const {
    return !region_ && loop.mode && loopStart_ < loopEnd_ && end_ == Bytes(loopEnd_) && pos_ >= 0 &&
           static_cast<std::uint64_t>(pos_) <= Bytes(loopEnd_);
}

void PlayStream::SetEndForLoop(bool mode) {
    const bool before = pos_ >= 0 && static_cast<std::uint64_t>(pos_) <= Bytes(loopEnd_);
    end_ = mode && loopStart_ < loopEnd_ && before ? Bytes(loopEnd_) : Bytes(layout_.frames);
}

bool PlayStream::Fill(const platform::File& file, std::uint8_t* buffer, std::uint32_t capacity,
                      BufferRecord& record, const LoopNow& loop) {
    const std::uint16_t ba = layout_.blockAlign;
    record.frames = capacity / ba;
    record.count = 0;
    // A loop moved during play is taken at the next fill.
    if (!region_ && loop.mode && pos_ >= 0 && (loop.start != loopStart_ || loop.end != loopEnd_)) {
        Capture(loop);
        SetEndForLoop(true);
    }
    std::uint32_t filled = 0;
    if (pos_ >= 0) {
        const bool looping = Looping(loop);
        const std::uint64_t pos = static_cast<std::uint64_t>(pos_);
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(end_ - pos, capacity));
        if (n && !file.ReadAt(pos, buffer, n)) return false;
        record.Add({n / ba, FrameOf(pos), 0, 0});
        const std::uint64_t loopStartBytes = Bytes(loopStart_);
        if (looping && n && pos <= loopStartBytes && loopStartBytes < pos + n) ++passes_;
        filled = n;
        std::uint64_t next = pos + n;
        if (looping && next == end_) {
            // The loop repeats from its start to the end of the buffer; the first whole copy in
            // the buffer serves the later ones.
            const std::uint32_t loopBytes = (loopEnd_ - loopStart_) * ba;
            const std::uint32_t repeatFrom = filled;
            std::int64_t wholeCopy = -1;
            std::uint32_t last = 0;
            while (filled < capacity) {
                last = std::min(loopBytes, capacity - filled);
                if (wholeCopy >= 0) std::memmove(buffer + filled, buffer + wholeCopy, last);
                else if (!file.ReadAt(loopStartBytes, buffer + filled, last)) return false;
                if (last == loopBytes && wholeCopy < 0) wholeCopy = filled;
                filled += last;
                ++passes_;
            }
            if (filled > repeatFrom)
                record.Add({(filled - repeatFrom) / ba, loopStart_, loopStart_, loopEnd_ - loopStart_});
            // Left at the loop end, the next fill wraps, or runs on if loop mode was switched off.
            if (repeatFrom < capacity) next = loopStartBytes + last;
            pos_ = static_cast<std::int64_t>(next);
        } else if (looping) {
            pos_ = static_cast<std::int64_t>(next);
        } else {
            pos_ = static_cast<std::int64_t>(next);
            if (next >= end_) {
                pos_ = -1;
                endFrame_ = FrameOf(end_);
            }
        }
        if (layout_.aiff) ConvertAiffBytes(buffer, filled, layout_.bitsPerSample);
    }
    if (filled < capacity) {
        std::memset(buffer + filled, layout_.bitsPerSample == 8 ? 0x80 : 0, capacity - filled);
        record.Add({(capacity - filled) / ba, endFrame_, 0, 0});
    }
    return true;
}

void PlayStream::LoopModeOff() {
    if (region_) return;
    end_ = Bytes(layout_.frames);
}

bool PlayStream::LoopModeOn(const LoopNow& loop, std::uint32_t cursor, std::uint32_t playStartFrame) {
    if (region_) return false;
    const bool changed = loop.start != loopStart_ || loop.end != loopEnd_;
    if (cursor < loop.end && changed && passes_ >= 1) return true;
    if (playStartFrame <= loop.start &&
        (cursor >= loop.start || (pos_ >= 0 && static_cast<std::uint64_t>(pos_) >= Bytes(loop.start)) || pos_ < 0)) {
        Capture(loop);
        passes_ = 1;
    } else {
        Capture(loop);
    }
    SetEndForLoop(true);
    return false;
}

}  // namespace pelmora
