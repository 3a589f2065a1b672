#include "sound/WavExtensible.h"

#include <algorithm>
#include <array>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "sound/FileRead.h"
#include "sound/RiffEdit.h"
#include "sound/WavChunks.h"
#include "sound/WavLayout.h"

namespace pelmora::wav {

namespace {

// The sub-format GUIDs share these last 14 bytes; the first two name the format (1 PCM, 3 float).
constexpr std::array<std::uint8_t, 14> kSubFormatTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::uint16_t kPcmSubFormat = 1;
constexpr std::uint16_t kFloatSubFormat = 3;
constexpr std::size_t kExtensionBytes = 22;  // what cbSize announces after the first 18 bytes

std::optional<riff::Chunk> FmtChunk(const platform::File& file) {
    return FindInForm(file, kFmtId);
}

}  // namespace

ExtensibleFormat ClassifyExtensible(const std::uint8_t* body, std::size_t size) {
    if (size < kExtensibleFmtBytes || LoadLE16(body + 16) < kExtensionBytes)
        return {false, StringId::ExtensibleShortRefused};
    const FmtFields fmt = DecodeFmt(body);
    const std::uint16_t validBits = LoadLE16(body + 18);
    const std::uint8_t* guid = body + 24;
    const std::uint16_t subFormat = LoadLE16(guid);
    const bool known = std::equal(kSubFormatTail.begin(), kSubFormatTail.end(), guid + 2);
    if (known && subFormat == kFloatSubFormat) return {false, StringId::ExtensibleFloatRefused};
    if (!known || subFormat != kPcmSubFormat) return {false, StringId::ExtensibleCodedRefused};
    if (fmt.channels < 1 || fmt.channels > 2) return {false, StringId::ExtensibleChannelsRefused};
    if (validBits != fmt.bitsPerSample) return {false, StringId::ExtensibleValidBitsRefused};
    return {true, StringId::UnknownWavePcmFormat};
}

bool IsExtensibleRefusal(StringId id) {
    return id == StringId::ExtensibleFloatRefused || id == StringId::ExtensibleCodedRefused ||
           id == StringId::ExtensibleChannelsRefused || id == StringId::ExtensibleValidBitsRefused ||
           id == StringId::ExtensibleShortRefused;
}

std::optional<ExtensibleFormat> InspectExtensible(const platform::File& file) {
    const std::optional<riff::Chunk> chunk = FmtChunk(file);
    std::uint8_t body[kExtensibleFmtBytes] = {};
    if (!chunk || chunk->size < 2 || !ReadHeld(file, chunk->dataOffset, body, 2)) return std::nullopt;
    if (LoadLE16(body) != kExtensibleFormatTag) return std::nullopt;
    const std::size_t size = std::min<std::size_t>(chunk->size, kExtensibleFmtBytes);
    if (!ReadHeld(file, chunk->dataOffset, body, size)) throw Error(StringId::FileReadError);
    return ClassifyExtensible(body, size);
}

void RewriteExtensibleAsPcm(platform::File& file) {
    const std::optional<ExtensibleFormat> format = InspectExtensible(file);
    if (!format) return;  // plain already
    if (!format->plainPcm) throw Error(format->refusal);
    const riff::Chunk chunk = *FmtChunk(file);
    std::uint8_t body[kFmtBytes];
    if (!ReadHeld(file, chunk.dataOffset, body, sizeof body)) throw Error(StringId::FileReadError);
    FmtFields fmt = DecodeFmt(body);
    fmt = PcmFmt(fmt.channels, fmt.sampleRate, fmt.bitsPerSample);
    EncodeFmt(body, fmt);
    std::uint8_t size[4];
    StoreLE32(size, kFmtBytes);
    // The new chunk ends at an even offset with no pad byte: what followed the old chunk (and
    // its pad) moves down to it.
    const std::uint64_t length = riff::LengthOf(file);
    const std::uint64_t oldEnd = std::min(chunk.PaddedEnd(), length);
    const std::uint64_t newEnd = chunk.dataOffset + kFmtBytes;
    if (!file.WriteAt(chunk.dataOffset, body, sizeof body) || !file.WriteAt(chunk.dataOffset - 4, size, 4))
        throw Error(WriteFailure());
    MoveBytesQuiet(file, oldEnd, newEnd, length - oldEnd);
    if (!file.SetSize(length - (oldEnd - newEnd))) throw Error(WriteFailure());
    riff::SetFormSize(file);
}

}  // namespace pelmora::wav
