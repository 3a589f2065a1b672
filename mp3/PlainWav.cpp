#include "mp3/PlainWav.h"

#include <algorithm>

#include "base/Error.h"
#include "sound/Bytes.h"
#include "sound/Riff.h"

namespace pelmora {

bool WritePlainWavHeader(platform::File& file, const PlainWavFormat& format,
                         std::uint32_t dataBytes) {
    std::uint8_t h[kPlainWavHeaderBytes];
    StoreFourCC(h, MakeFourCC("RIFF"));
    StoreLE32(h + 4, dataBytes + kPlainWavHeaderBytes - 8);
    StoreFourCC(h + 8, MakeFourCC("WAVE"));
    StoreFourCC(h + 12, MakeFourCC("fmt "));
    StoreLE32(h + 16, 16);
    StoreLE16(h + 20, format.formatTag);
    StoreLE16(h + 22, format.channels);
    StoreLE32(h + 24, format.sampleRate);
    StoreLE32(h + 28, format.sampleRate * format.BlockAlign());
    StoreLE16(h + 32, format.BlockAlign());
    StoreLE16(h + 34, format.bitsPerSample);
    StoreFourCC(h + 36, MakeFourCC("data"));
    StoreLE32(h + 40, dataBytes);
    return file.WriteAt(0, h, sizeof h);
}

WavForEncoder ReadWavForEncoder(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::Read)) throw Error(StringId::CantOpenUndoFile);
    riff::RiffReader reader(file);
    if (!reader.IsOpen()) throw Error(StringId::CantOpenUndoFile);
    riff::Chunk form, fmt, data;
    std::uint8_t body[16];
    reader.Seek(0);
    if (!reader.DescendForm(MakeFourCC("WAVE"), form)) throw Error(StringId::FailedToReadUndoFile);
    reader.Seek(form.FirstChild());
    if (!reader.Descend(form, MakeFourCC("fmt "), fmt) || !reader.ReadBody(fmt, 0, body, 16))
        throw Error(StringId::FailedToReadUndoFile);
    reader.Seek(form.FirstChild());
    if (!reader.Descend(form, MakeFourCC("data"), data)) throw Error(StringId::FailedToReadUndoFile);
    WavForEncoder wav;
    wav.format.formatTag = LoadLE16(body);
    wav.format.channels = LoadLE16(body + 2);
    wav.format.sampleRate = LoadLE32(body + 4);
    wav.format.bitsPerSample = LoadLE16(body + 14);
    wav.dataOffset = data.dataOffset;
    const std::uint16_t block = std::max<std::uint16_t>(wav.format.BlockAlign(), 1);
    wav.dataBytes = data.held / block * block;
    return wav;
}

}  // namespace pelmora
