// The whole-file conversions' view of a sound file on arbitrary bytes: where its data and the
// chunks after it lie, then a converted copy (each frame as it was) built from those pieces and
// read back. Refusals are fine; crashes, overreads and a layout outside the file are not.
#include <cstddef>
#include <cstdint>
#include <unistd.h>

#include "FuzzSupport.h"
#include "base/Error.h"
#include "base/SilentProgress.h"
#include "document/WholeFileConversion.h"
#include "platform/File.h"
#include "sound/AiffReader.h"
#include "sound/WavReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 65536) return 0;
    const bool wav = (data[0] & 1) != 0;
    const std::string path = pelmora::fuzz::InputAsFile(data + 1, size - 1);
    pelmora::platform::File file(path, pelmora::platform::OpenMode::Read);
    const std::string copy = path + ".converted";
    pelmora::SoundInfo info;
    info.fileType = wav ? pelmora::FileType::Wav : pelmora::FileType::Aiff;
    try {
        if (wav) pelmora::wav::ReadIntoDocument(file, info);
        else pelmora::aiff::ReadIntoDocument(file, info);
        pelmora::UpdateDerivedFormat(info);
        const pelmora::DataLayout layout = pelmora::LayoutOfData(file, info);
        if (layout.trailingStart < info.dataOffset + pelmora::DataBytes(info) || layout.trailingStart > layout.length)
            __builtin_trap();
        pelmora::platform::File target(copy, pelmora::platform::OpenMode::CreateTruncate);
        pelmora::SilentProgress progress;
        pelmora::ConversionSteps steps(progress, pelmora::StringId::ChangingSampleSize, 1);
        pelmora::SoundInfo after = info;
        pelmora::CopyHeaderBytes(file, layout.headerBytes, target);
        pelmora::StreamFrames(file, info, target, after, steps,
                              [&](const std::uint8_t* in, std::uint8_t* out, std::size_t frames) {
                                  std::copy(in, in + frames * info.blockAlign, out);
                              });
        pelmora::FinishConvertedFile(file, layout, target, after, 32768, steps);
        pelmora::SoundInfo again;
        again.fileType = info.fileType;
        if (wav) pelmora::wav::ReadIntoDocument(target, again);
        else pelmora::aiff::ReadIntoDocument(target, again);
        if (again.frames != info.frames) __builtin_trap();
    } catch (const pelmora::Error&) {
    } catch (const pelmora::Cancelled&) {
    }
    unlink(copy.c_str());
    return 0;
}
