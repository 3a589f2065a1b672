#include "sound/AiffInst.h"

#include <algorithm>

#include "sound/Bytes.h"

namespace pelmora::aiff {

namespace {

// Marker ids are positive signed 16-bit values.
constexpr std::uint16_t kMaxMarkerId = 0x7FFF;

std::uint8_t Limited(std::uint8_t value, std::uint8_t fallback) {
    return value > 127 ? fallback : value;
}

InstLoop LoopAt(const InstBody& body, std::size_t at) {
    return {LoadBE16(body.data() + at), LoadBE16(body.data() + at + 2),
            LoadBE16(body.data() + at + 4)};
}

void StoreLoop(InstBody& body, std::size_t at, const InstLoop& loop) {
    StoreBE16(body.data() + at, loop.playMode);
    StoreBE16(body.data() + at + 2, loop.beginId);
    StoreBE16(body.data() + at + 4, loop.endId);
}

}  // namespace

WavInstrument InstrumentFromInst(const InstBody& body) {
    WavInstrument inst;
    inst.unityNote = Limited(body[0], 60);
    const auto detune = static_cast<std::int8_t>(body[1]);
    inst.fineTune = detune < -50 || detune > 50 ? std::int8_t{0} : detune;
    inst.lowNote = Limited(body[2], 0);
    inst.highNote = Limited(body[3], 127);
    inst.lowVelocity = Limited(body[4], 1);
    inst.highVelocity = Limited(body[5], 127);
    inst.gain = static_cast<std::int8_t>(body[7]);
    return inst;
}

InstLoop SustainLoopOf(const InstBody& body) { return LoopAt(body, 8); }
InstLoop ReleaseLoopOf(const InstBody& body) { return LoopAt(body, 14); }

InstBody BuildInstBody(const WavInstrument& instrument, const InstLoop& sustain,
                       const InstLoop& release) {
    InstBody body{};
    body[0] = instrument.unityNote;
    body[1] = static_cast<std::uint8_t>(instrument.fineTune);
    body[2] = instrument.lowNote;
    body[3] = instrument.highNote;
    body[4] = instrument.lowVelocity == 0 ? std::uint8_t{1} : instrument.lowVelocity;
    body[5] = instrument.highVelocity == 0 ? std::uint8_t{1} : instrument.highVelocity;
    StoreBE16(body.data() + 6, static_cast<std::uint16_t>(std::int16_t{instrument.gain}));
    StoreLoop(body, 8, sustain);
    StoreLoop(body, 14, release);
    return body;
}

const AiffMarker* MarkerById(const std::vector<AiffMarker>& markers, std::uint16_t id) {
    auto it = std::find_if(markers.begin(), markers.end(),
                           [id](const AiffMarker& m) { return m.id == id; });
    return it == markers.end() ? nullptr : &*it;
}

MarkedLoop ResolveSustainLoop(const std::vector<AiffMarker>& markers, const InstLoop& sustain) {
    const AiffMarker* begin = MarkerById(markers, sustain.beginId);
    const AiffMarker* end = MarkerById(markers, sustain.endId);
    if (!begin || !end || begin->position >= end->position) return {};
    return {true, begin->position, end->position};
}

std::uint16_t LoopMarkerSet::FindOrAdd(std::uint32_t position, const std::string& name) {
    for (const AiffMarker& m : markers_) {
        if (m.position == position && m.id != 0) return m.id;
    }
    if (markers_.size() >= 0xFFFF) return 0;  // the count field is full
    std::uint16_t id = 0;
    for (const AiffMarker& m : markers_) id = std::max(id, m.id);
    if (id >= kMaxMarkerId) {
        // Ids ran out at the top: take the lowest free one.
        id = 0;
        for (std::uint16_t candidate = 1; candidate <= kMaxMarkerId; ++candidate) {
            if (!MarkerById(markers_, candidate)) {
                id = candidate;
                break;
            }
        }
        if (id == 0) return 0;
    } else {
        ++id;
    }
    markers_.push_back({id, position, name});
    added_ = true;
    return id;
}

bool LoopMarkerSet::Move(std::uint16_t id, std::uint32_t position) {
    for (AiffMarker& m : markers_) {
        if (m.id == id) {
            m.position = position;
            return true;
        }
    }
    return false;
}

}  // namespace pelmora::aiff
