// The reader of the stored waveform image on arbitrary blocks: the first bytes of the input give
// the sound (file type, channels, bits, frame count) so that blocks pass the checks often, the
// rest is the body of the file's image chunk. Refusals are fine; crashes, overreads and images
// that do not match the sound are not.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "display/ImageBlock.h"
#include "display/ImageColumns.h"
#include "platform/File.h"
#include "sound/Bytes.h"

namespace {

constexpr std::size_t kSoundBytes = 7;

std::vector<std::uint8_t> FileAround(bool aiff, const std::uint8_t* body, std::size_t size) {
    std::vector<std::uint8_t> file(20);
    const char* form = aiff ? "FORM" : "RIFF";
    const char* kind = aiff ? "AIFF" : "WAVE";
    const char* id = aiff ? "APPL" : "Appl";
    for (int i = 0; i < 4; ++i) {
        file[i] = static_cast<std::uint8_t>(form[i]);
        file[8 + i] = static_cast<std::uint8_t>(kind[i]);
        file[12 + i] = static_cast<std::uint8_t>(id[i]);
    }
    const auto chunk = static_cast<std::uint32_t>(size);
    aiff ? pelmora::StoreBE32(file.data() + 16, chunk) : pelmora::StoreLE32(file.data() + 16, chunk);
    file.insert(file.end(), body, body + size);
    if (size % 2) file.push_back(0);
    const auto formSize = static_cast<std::uint32_t>(file.size() - 8);
    aiff ? pelmora::StoreBE32(file.data() + 4, formSize) : pelmora::StoreLE32(file.data() + 4, formSize);
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kSoundBytes) return 0;
    pelmora::SoundInfo info;
    const bool aiff = (data[0] & 1) != 0;
    info.fileType = aiff ? pelmora::FileType::Aiff : pelmora::FileType::Wav;
    info.channels = static_cast<std::uint16_t>(1 + (data[1] & 1));
    info.bitsPerSample = static_cast<std::uint16_t>(1 + data[2] % 32);
    info.frames = pelmora::LoadLE32(data + 3);
    pelmora::UpdateDerivedFormat(info);

    const auto bytes = FileAround(aiff, data + kSoundBytes, size - kSoundBytes);
    const std::string path = pelmora::fuzz::InputAsFile(bytes.data(), bytes.size());
    pelmora::platform::File file(path, pelmora::platform::OpenMode::Read);
    pelmora::WaveformImage image;
    if (!pelmora::ReadStoredImage(file, info, 0, image)) return 0;

    const pelmora::ImageGeometry g = pelmora::GeometryOf(info, image.framesPerPoint);
    const std::uint32_t fpp = image.framesPerPoint;
    if (fpp < 256 || fpp > 131072 || (fpp & (fpp - 1)) != 0 || image.Size() != g.Bytes())
        __builtin_trap();
    const auto columns = pelmora::ReadImageColumns(image, info, 131072.0, data[3], 64);
    if (columns.extents.size() != std::size_t{columns.columns} * info.channels) __builtin_trap();
    const auto block = pelmora::WriteImageBlock(image, info, info.fileType, 0);
    if (block.size() != pelmora::kImageBlockHeaderBytes + g.Bytes()) __builtin_trap();
    return 0;
}
