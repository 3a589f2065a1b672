#include "sound/AiffMarkers.h"

#include <algorithm>

#include "sound/Bytes.h"

namespace pelmora {

namespace {

// Calls `visit(at, length)` for each whole marker: `at` is where its id starts, `length` its
// name's length. A marker cut short ends the walk.
template <typename Visit>
void WalkMarkers(const std::vector<std::uint8_t>& body, Visit visit) {
    if (body.size() < 2) return;
    const std::size_t count = LoadBE16(body.data());
    std::size_t at = 2;
    for (std::size_t i = 0; i < count; ++i) {
        if (body.size() - at < 7) break;  // id, position and the name's length byte
        const std::size_t length = body[at + 6];
        if (body.size() - at - 7 < length) break;
        visit(at, length);
        at += 7 + length;
        if ((1 + length) % 2 != 0) ++at;  // the name's pad byte
        at = std::min(at, body.size());
    }
}

}  // namespace

std::vector<AiffMarker> ParseMarkBody(const std::vector<std::uint8_t>& body) {
    std::vector<AiffMarker> markers;
    WalkMarkers(body, [&](std::size_t at, std::size_t length) {
        AiffMarker m;
        m.id = LoadBE16(body.data() + at);
        m.position = LoadBE32(body.data() + at + 2);
        m.name.assign(reinterpret_cast<const char*>(body.data() + at + 7), length);
        markers.push_back(std::move(m));
    });
    return markers;
}

std::vector<std::size_t> MarkerPositionOffsets(const std::vector<std::uint8_t>& body) {
    std::vector<std::size_t> offsets;
    WalkMarkers(body, [&](std::size_t at, std::size_t) { offsets.push_back(at + 2); });
    return offsets;
}

std::vector<std::uint8_t> BuildMarkBody(const std::vector<AiffMarker>& markers) {
    std::vector<std::uint8_t> body(2);
    StoreBE16(body.data(), static_cast<std::uint16_t>(markers.size()));
    for (const AiffMarker& m : markers) {
        const std::size_t length = std::min<std::size_t>(m.name.size(), 255);
        const std::size_t at = body.size();
        body.resize(at + 7 + length + ((1 + length) % 2));
        StoreBE16(body.data() + at, m.id);
        StoreBE32(body.data() + at + 2, m.position);
        body[at + 6] = static_cast<std::uint8_t>(length);
        std::copy_n(m.name.data(), length, body.data() + at + 7);
    }
    return body;
}

}  // namespace pelmora
