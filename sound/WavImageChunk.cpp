#include "sound/WavImageChunk.h"

#include <cstring>

#include "base/Error.h"
#include "sound/RiffEdit.h"
#include "sound/WavChunks.h"
#include "sound/WavLayout.h"

namespace pelmora::wav {

namespace {

constexpr std::size_t kSignatureBytes = 8;

bool IsImageSignature(const std::uint8_t* p) {
    return (std::memcmp(p, "QMV0", 4) == 0 || std::memcmp(p, "QMS0", 4) == 0) &&
           std::memcmp(p + 4, "WFrm", 4) == 0;
}

}  // namespace

std::optional<ImageChunkPlace> FindImageChunk(const platform::File& file) {
    riff::RiffReader reader(file);
    riff::Chunk form;
    if (!reader.IsOpen() || !reader.DescendForm(kWaveForm, form)) return std::nullopt;
    riff::Chunk chunk;
    while (reader.Descend(form, kApplId, chunk)) {
        std::uint8_t signature[kSignatureBytes];
        if (reader.ReadBody(chunk, 0, signature, sizeof signature) &&
            IsImageSignature(signature)) {
            return ImageChunkPlace{chunk, chunk.dataOffset, chunk.held};
        }
        reader.Ascend(chunk);
    }
    return std::nullopt;
}

void StoreImageChunk(platform::File& file, SoundInfo& info, const std::vector<std::uint8_t>& body) {
    EnsureDataPad(file);
    while (const std::optional<ImageChunkPlace> old = FindImageChunk(file)) {
        riff::RemoveChunk(file, old->chunk);
    }
    riff::RiffWriter writer(file);
    writer.Seek(riff::EvenEnd(file));
    riff::Chunk chunk;
    if (!writer.CreateChunk(kApplId, chunk) || !writer.Write(body.data(), body.size()) ||
        !writer.Ascend(chunk)) {
        throw Error(WriteFailure());
    }
    riff::SetFormSize(file);
    TakeDataPosition(file, info);
}

}  // namespace pelmora::wav
