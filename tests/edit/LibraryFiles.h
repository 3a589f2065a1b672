#pragma once
// Sound files shaped like those of sample libraries: WAV with several 'smpl' loops and a 'cue '
// chunk of release markers (with or without "LIST"/'adtl' labels), before or after the data;
// AIFF with a list of markers and an INST on the first two. Built byte by byte from the
// positions, so that a test can build the file it expects after an edit.

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "EditModel.h"
#include "sound/AiffRate.h"
#include "sound/Bytes.h"
#include "sound/FileType.h"

namespace pelmora::test {

struct LibraryShape {
    std::string name;
    FileType type = FileType::Wav;
    bool chunksBeforeData = true;
    int loops = 0;          // 'smpl' loop records
    int cues = 0;           // 'cue ' points
    bool organCues = false; // the frame in the sample offset, 0 in the position
    bool labels = false;    // "LIST"/'adtl' with a 'labl' per cue point
    int markers = 0;        // AIFF
    int channels = 1;
};

// Every frame position the file carries.
struct LibraryPositions {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> loops;  // start, last frame
    std::vector<std::pair<std::uint32_t, std::uint32_t>> cues;   // position, sample offset
    std::vector<std::uint32_t> markers;
    bool operator==(const LibraryPositions&) const = default;
};

// For failure messages.
inline void PrintTo(const LibraryPositions& p, std::ostream* os) {
    *os << "loops";
    for (auto [start, end] : p.loops) *os << ' ' << start << ".." << end;
    *os << "; cues";
    for (auto [position, offset] : p.cues) *os << ' ' << position << '/' << offset;
    *os << "; markers";
    for (std::uint32_t m : p.markers) *os << ' ' << m;
}

// 7.0137 cents above the unity note, as organ sets store it.
inline constexpr std::uint32_t kOrganPitchFraction = 301236121;

inline LibraryPositions InitialPositions(const LibraryShape& shape) {
    LibraryPositions p;
    for (int i = 0; i < shape.loops; ++i) {
        const auto start = static_cast<std::uint32_t>(1000 + 900 * i);
        p.loops.emplace_back(start, start + 399 + 100 * i);
    }
    for (int j = 0; j < shape.cues; ++j) {
        const auto frame = static_cast<std::uint32_t>(500 + 1100 * j);
        p.cues.emplace_back(shape.organCues ? 0 : frame, frame);
    }
    for (int m = 0; m < shape.markers; ++m) p.markers.push_back(static_cast<std::uint32_t>(700 + 1000 * m));
    return p;
}

namespace library_detail {

inline std::vector<std::uint8_t> WavMarkerChunks(const LibraryShape& shape, const LibraryPositions& p) {
    std::vector<std::uint8_t> out;
    if (!p.loops.empty()) {
        std::vector<std::uint8_t> smpl(36 + 24 * p.loops.size(), 0);
        StoreLE32(smpl.data() + 4, 0x4F52);  // product, kept
        StoreLE32(smpl.data() + 8, 22675);
        StoreLE32(smpl.data() + 12, 36);
        StoreLE32(smpl.data() + 16, kOrganPitchFraction);
        StoreLE32(smpl.data() + 28, static_cast<std::uint32_t>(p.loops.size()));
        for (std::size_t i = 0; i < p.loops.size(); ++i) {
            std::uint8_t* r = smpl.data() + 36 + 24 * i;
            StoreLE32(r, static_cast<std::uint32_t>(0x10000 + i));  // cue point id
            StoreLE32(r + 4, static_cast<std::uint32_t>(i % 2));    // forward, alternating
            StoreLE32(r + 8, p.loops[i].first);
            StoreLE32(r + 12, p.loops[i].second);
            StoreLE32(r + 16, static_cast<std::uint32_t>(i * 0x1000));
            StoreLE32(r + 20, 0);
        }
        PutChunk(out, "smpl", false, smpl);
    }
    if (!p.cues.empty()) {
        std::vector<std::uint8_t> cue(4 + 24 * p.cues.size(), 0);
        StoreLE32(cue.data(), static_cast<std::uint32_t>(p.cues.size()));
        for (std::size_t j = 0; j < p.cues.size(); ++j) {
            std::uint8_t* c = cue.data() + 4 + 24 * j;
            StoreLE32(c, static_cast<std::uint32_t>(j + 1));
            StoreLE32(c + 4, p.cues[j].first);
            StoreFourCC(c + 8, MakeFourCC("data"));
            StoreLE32(c + 20, p.cues[j].second);
        }
        PutChunk(out, "cue ", false, cue);
    }
    if (shape.labels && !p.cues.empty()) {
        std::vector<std::uint8_t> list = {'a', 'd', 't', 'l'};
        for (std::size_t j = 0; j < p.cues.size(); ++j) {
            const std::string text = "release " + std::to_string(j + 1);  // odd and even sizes
            std::vector<std::uint8_t> labl(4);
            StoreLE32(labl.data(), static_cast<std::uint32_t>(j + 1));
            labl.insert(labl.end(), text.begin(), text.end());
            labl.push_back(0);
            PutChunk(list, "labl", false, labl);
        }
        PutChunk(out, "LIST", false, list);
    }
    return out;
}

inline std::vector<std::uint8_t> AiffMarkerChunks(const LibraryPositions& p) {
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> mark(2);
    StoreBE16(mark.data(), static_cast<std::uint16_t>(p.markers.size()));
    for (std::size_t m = 0; m < p.markers.size(); ++m) {
        const std::string name = m == 0 ? "beg loop" : m == 1 ? "end loop" : "rel " + std::string(m, 'x');
        const std::size_t at = mark.size();
        mark.resize(at + 6);
        StoreBE16(mark.data() + at, static_cast<std::uint16_t>(m + 1));
        StoreBE32(mark.data() + at + 2, p.markers[m]);
        mark.push_back(static_cast<std::uint8_t>(name.size()));
        mark.insert(mark.end(), name.begin(), name.end());
        if ((name.size() + 1) % 2 != 0) mark.push_back(0);
    }
    PutChunk(out, "MARK", true, mark);
    // Sustain loop on markers 1 and 2, release loop on 3 and 4 when there are.
    std::vector<std::uint8_t> inst = {36, 0, 0, 127, 1, 127, 0, 0, 0, 1, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0};
    if (p.markers.size() >= 4) inst[15] = 1, inst[17] = 3, inst[19] = 4;
    PutChunk(out, "INST", true, inst);
    return out;
}

}  // namespace library_detail

// The file for `shape` with these positions and sample bytes (`frames` frames of 16 bits).
inline std::vector<std::uint8_t> BuildLibraryFile(const LibraryShape& shape, const LibraryPositions& p,
                                                  const std::vector<std::uint8_t>& data) {
    using namespace library_detail;
    const auto channels = static_cast<std::uint16_t>(shape.channels);
    const auto blockAlign = static_cast<std::uint16_t>(2 * channels);
    std::vector<std::uint8_t> out;
    if (shape.type == FileType::Wav) {
        out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
        std::vector<std::uint8_t> fmt(16);
        StoreLE16(fmt.data(), 1);
        StoreLE16(fmt.data() + 2, channels);
        StoreLE32(fmt.data() + 4, 44100);
        StoreLE32(fmt.data() + 8, 44100u * blockAlign);
        StoreLE16(fmt.data() + 12, blockAlign);
        StoreLE16(fmt.data() + 14, 16);
        PutChunk(out, "fmt ", false, fmt);
        const std::vector<std::uint8_t> markers = WavMarkerChunks(shape, p);
        if (shape.chunksBeforeData) out.insert(out.end(), markers.begin(), markers.end());
        PutChunk(out, "data", false, data);
        if (!shape.chunksBeforeData) out.insert(out.end(), markers.begin(), markers.end());
        StoreLE32(out.data() + 4, static_cast<std::uint32_t>(out.size() - 8));
        return out;
    }
    out = {'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F', 'F'};
    std::vector<std::uint8_t> comm(18);
    StoreBE16(comm.data(), channels);
    StoreBE32(comm.data() + 2, static_cast<std::uint32_t>(data.size() / blockAlign));
    StoreBE16(comm.data() + 6, 16);
    aiff::EncodeRate(44100, comm.data() + 8);
    PutChunk(out, "COMM", true, comm);
    const std::vector<std::uint8_t> markers = AiffMarkerChunks(p);
    if (shape.chunksBeforeData) out.insert(out.end(), markers.begin(), markers.end());
    // The data at 512, where HD Play wants it.
    PutChunk(out, "ANNO", true, std::vector<std::uint8_t>(512 - out.size() - 8 - 16, 'a'));
    const std::size_t ssnd = out.size();
    out.resize(ssnd + 16, 0);
    StoreFourCC(out.data() + ssnd, MakeFourCC("SSND"));
    StoreBE32(out.data() + ssnd + 4, static_cast<std::uint32_t>(8 + data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (!shape.chunksBeforeData) out.insert(out.end(), markers.begin(), markers.end());
    StoreBE32(out.data() + 4, static_cast<std::uint32_t>(out.size() - 8));
    return out;
}

}  // namespace pelmora::test
