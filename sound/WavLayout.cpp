#include "sound/WavLayout.h"

#include <algorithm>
#include <limits>

#include "base/Error.h"
#include "sound/FileRead.h"
#include "sound/RiffEdit.h"
#include "sound/WavExtensible.h"

namespace pelmora::wav {

FormatAndData LocateFormatAndData(const platform::File& file, StringId missing, bool extensiblePcm) {
    riff::RiffReader reader(file);
    if (!reader.IsOpen()) throw Error(StringId::FileReadError);
    FormatAndData out;
    out.fileLength = reader.FileSize();
    riff::Chunk form;
    if (!reader.DescendForm(kWaveForm, form) || !reader.Descend(form, kFmtId, out.fmtChunk)) {
        throw Error(missing);
    }
    std::uint8_t fmt[kFmtBytes];
    if (!reader.ReadBody(out.fmtChunk, 0, fmt, sizeof fmt)) throw Error(StringId::FileReadError);
    out.fmt = DecodeFmt(fmt);
    if (extensiblePcm && out.fmt.formatTag == kExtensibleFormatTag) {
        const std::optional<ExtensibleFormat> extensible = InspectExtensible(file);
        if (extensible && !extensible->plainPcm) throw Error(extensible->refusal);
        if (extensible) out.fmt.formatTag = kPcmFormatTag;
    }
    if (out.fmt.formatTag != kPcmFormatTag || (out.fmt.channels != 1 && out.fmt.channels != 2) ||
        out.fmt.bitsPerSample == 0 || out.fmt.bitsPerSample > 32 ||
        out.fmt.channels * BytesPerSampleFor(out.fmt.bitsPerSample) >
            std::numeric_limits<std::uint16_t>::max()) {
        throw Error(StringId::UnknownWavePcmFormat);
    }
    reader.Ascend(out.fmtChunk);
    if (!reader.Descend(form, kDataId, out.data) ||
        out.data.dataOffset > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(missing);
    }
    return out;
}

std::optional<riff::Chunk> FindInForm(const platform::File& file, FourCC id) {
    riff::RiffReader reader(file);
    riff::Chunk form;
    riff::Chunk chunk;
    if (!reader.IsOpen() || !reader.DescendForm(kWaveForm, form) ||
        !reader.Descend(form, id, chunk)) {
        return std::nullopt;
    }
    return chunk;
}

void EnsureDataPad(platform::File& file) {
    const std::optional<riff::Chunk> data = FindInForm(file, kDataId);
    if (!data || (data->size & 1u) == 0) return;
    const std::uint64_t end = data->DeclaredEnd();
    const std::uint64_t length = riff::LengthOf(file);
    std::uint8_t next = 0;
    if (end < length && ReadHeld(file, end, &next, 1) && next != 0 &&
        riff::LooksLikeHeader(file, end, length)) {
        riff::InsertGap(file, end, 1);
    }
}

void TakeDataPosition(const platform::File& file, SoundInfo& info) {
    const std::optional<riff::Chunk> data = FindInForm(file, kDataId);
    if (!data || data->dataOffset > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(StringId::DataError);
    }
    info.dataOffset = static_cast<std::uint32_t>(data->dataOffset);
    UpdateDerivedFormat(info);
    info.workingFileLength = static_cast<std::uint32_t>(std::min<std::uint64_t>(
        riff::LengthOf(file), std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace pelmora::wav
