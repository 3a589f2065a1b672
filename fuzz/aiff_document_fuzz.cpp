// The AIFF document reader on arbitrary bytes, then the in-place updates of a save on a copy:
// refusals are fine, crashes, overreads and runaway sizes are not.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "base/Error.h"
#include "platform/File.h"
#include "sound/AiffReader.h"
#include "sound/AiffMarkers.h"
#include "sound/AiffUpdate.h"
#include "sound/SoundMarkers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = pelmora::fuzz::InputAsFile(data, size);
    pelmora::platform::File file(path, pelmora::platform::OpenMode::ReadWrite);
    pelmora::SoundInfo info;
    try {
        pelmora::aiff::ReadIntoDocument(file, info);
    } catch (const pelmora::Error&) {
        return 0;
    }
    try {
        // Small files only, so that a huge stated length cannot make the updates slow.
        if (size < 65536 && pelmora::DataBytes(info) + info.dataOffset <= size) {
            info.loopStart = info.frames / 3;
            info.loopEnd = info.frames / 2;
            info.loopOn = true;
            pelmora::aiff::UpdateLoopAndInstrument(file, info);
            pelmora::aiff::StoreImageChunk(file, info, {'Q', 'M', 'V', '0', 'W', 'F', 'r', 'm', 1});
            // Half the rate: every marker follows, within the sound.
            info.frames /= 2;
            pelmora::ScaleMarkers(info, 0.5);
            for (const pelmora::AiffMarker& m : pelmora::ParseMarkBody(info.aiffMarkBody)) {
                if (m.position > info.frames) __builtin_trap();
            }
            pelmora::aiff::RefreshHeader(file, info);
            pelmora::SoundInfo again;
            pelmora::aiff::ReadIntoDocument(file, again);
        }
    } catch (const pelmora::Error&) {
    }
    return 0;
}
