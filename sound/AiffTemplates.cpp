#include "sound/AiffTemplates.h"

#include <algorithm>
#include <cstring>

#include "sound/AiffChunks.h"
#include "sound/AiffRate.h"
#include "sound/Bytes.h"

namespace pelmora::aiff {

namespace {

constexpr char kPadText[] = "*** Pad comment for VLT-Pn ***  ";
// Comment count, time stamp, marker id and text length come before the text.
constexpr std::size_t kCommentFieldBytes = 10;

void PutChunkHeader(HeaderImage& image, std::size_t at, FourCC id, std::uint32_t size) {
    StoreFourCC(image.data() + at, id);
    StoreBE32(image.data() + at + 4, size);
}

void PutMarker(HeaderImage& image, std::size_t at, std::uint16_t id, const std::string& name) {
    StoreBE16(image.data() + at, id);
    image[at + 6] = static_cast<std::uint8_t>(name.size());
    std::memcpy(image.data() + at + 7, name.data(), name.size());
}

// Comment count 1, time stamp AA AA AA AA, marker 0, text length, text, zeros. The text length
// is what the chunk holds (440 or 370 bytes): other readers skip the comment by that field, and
// a larger value makes them miss the SSND chunk.
void PutPadComment(HeaderImage& image, std::size_t at) {
    const auto size = static_cast<std::uint32_t>(kSsndAt - at - kChunkHeaderBytes);
    const auto textLength = static_cast<std::uint16_t>(size - kCommentFieldBytes);
    PutChunkHeader(image, at, kComt, size);
    std::uint8_t* body = image.data() + at + kChunkHeaderBytes;
    StoreBE16(body, 1);
    std::memset(body + 2, 0xAA, 4);
    StoreBE16(body + 6, 0);
    StoreBE16(body + 8, textLength);
    std::memcpy(body + 10, kPadText, sizeof kPadText - 1);
}

}  // namespace

HeaderImage TemplateImage(HeaderTemplate kind) {
    HeaderImage image{};
    StoreFourCC(image.data(), kForm);
    StoreFourCC(image.data() + 8, kAiff);
    PutChunkHeader(image, 12, kComm, 18);
    std::size_t at = kMarkAt;
    if (kind != HeaderTemplate::WithoutMarkers) {
        PutChunkHeader(image, kMarkAt, kMark, 34);
        StoreBE16(image.data() + kMarkAt + 8, 2);
        const std::string& beginName =
            kind == HeaderTemplate::WithMarkers ? kTemplateBeginName : kWavLoopBeginName;
        PutMarker(image, kMarkAt + 10, 1, beginName);
        PutMarker(image, kMarkAt + 26, 2, kLoopEndName);
        PutChunkHeader(image, kInstBodyAt - kChunkHeaderBytes, kInst, kAiffInstBodyBytes);
        const InstBody inst = BuildInstBody(WavInstrument{}, InstLoop{0, 1, 2});
        std::copy(inst.begin(), inst.end(), image.begin() + kInstBodyAt);
        at = kInstBodyAt + kAiffInstBodyBytes;
    }
    PutPadComment(image, at);
    PutChunkHeader(image, kSsndAt, kSsnd, 8);
    return image;
}

TemplateFields FieldsOf(const SoundInfo& info) {
    TemplateFields f;
    f.channels = info.channels;
    f.frames = info.frames;
    f.bits = info.bitsPerSample;
    f.rate = info.sampleRate;
    f.dataBytes = static_cast<std::uint32_t>(DataBytes(info));
    f.loopStart = info.loopStart;
    f.loopEnd = info.loopEnd;
    f.instrument = info.instrument;
    f.loopOn = info.loopOn;
    return f;
}

std::array<std::uint8_t, 26> BuildCommChunk(const TemplateFields& fields) {
    std::array<std::uint8_t, 26> chunk{};
    StoreFourCC(chunk.data(), kComm);
    StoreBE32(chunk.data() + 4, 18);
    StoreBE16(chunk.data() + 8, fields.channels);
    StoreBE32(chunk.data() + 10, fields.frames);
    StoreBE16(chunk.data() + 14, fields.bits);
    EncodeRate(fields.rate, chunk.data() + 16);
    return chunk;
}

HeaderImage FillTemplate(HeaderTemplate kind, const TemplateFields& fields) {
    HeaderImage image = TemplateImage(kind);
    StoreBE32(image.data() + 4, static_cast<std::uint32_t>(kTemplateBytes - 8 + fields.dataBytes));
    const auto comm = BuildCommChunk(fields);
    std::copy(comm.begin(), comm.end(), image.begin() + 12);
    StoreBE32(image.data() + kSsndAt + 4, fields.dataBytes + 8);
    if (kind != HeaderTemplate::WithoutMarkers) {
        StoreBE32(image.data() + kMarkAt + 12, fields.loopStart);
        StoreBE32(image.data() + kMarkAt + 28, fields.loopEnd);
        const bool empty = fields.loopStart == fields.loopEnd;
        const InstLoop sustain = empty ? InstLoop{} : InstLoop{fields.loopOn ? std::uint16_t{1} : std::uint16_t{0}, 1, 2};
        const InstBody inst = BuildInstBody(fields.instrument, sustain);
        std::copy(inst.begin(), inst.end(), image.begin() + kInstBodyAt);
    }
    return image;
}

}  // namespace pelmora::aiff
