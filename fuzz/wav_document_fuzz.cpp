// The WAV document reader on arbitrary bytes, then the in-place updates of an edit and a save
// on the same scratch file: refusals are fine, crashes, overreads and runaway sizes are not.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "base/Error.h"
#include "platform/File.h"
#include "sound/SoundMarkers.h"
#include "sound/WavImageChunk.h"
#include "sound/WavReader.h"
#include "sound/WavUpdate.h"

namespace {

void CheckInvariants(const pelmora::SoundInfo& info, std::size_t fileSize) {
    if (info.blockAlign == 0 || info.loopStart > info.loopEnd || info.loopEnd > info.frames ||
        info.dataEnd > fileSize) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = pelmora::fuzz::InputAsFile(data, size);
    pelmora::platform::File file(path, pelmora::platform::OpenMode::ReadWrite);
    pelmora::SoundInfo info;
    try {
        pelmora::wav::ReadIntoDocument(file, info);
    } catch (const pelmora::Error&) {
        return 0;
    }
    CheckInvariants(info, size);
    if (size >= 65536) return 0;  // keeps the updates quick
    try {
        (void)pelmora::wav::FindImageChunk(file);
        info.loopOn = (size & 1) != 0;
        info.loopStart = info.frames / 3;
        info.loopEnd = (size & 2) != 0 ? info.loopStart : info.frames / 2;
        info.instrument.fineTune = static_cast<std::int8_t>(size);
        pelmora::wav::UpdateLoopAndInstrument(file, info);
        pelmora::wav::StoreImageChunk(file, info, {'Q', 'M', 'V', '0', 'W', 'F', 'r', 'm', 1});
        if (info.frames > 0) --info.frames;
        // An edit that takes frames off the start: every loop record and cue point follows
        // and stays on a frame of the sound.
        pelmora::MoveMarkers(info, [](std::uint32_t p) { return p > 0 ? p - 1 : 0; });
        const std::uint32_t last = info.frames == 0 ? 0 : info.frames - 1;
        for (const pelmora::WavLoopRecord& loop : info.wavSmplLoops) {
            // An empty loop is stored with its end one before its start (0xFFFFFFFF at 0).
            const bool empty = loop.end + 1u <= loop.start;
            if (loop.start > last || (!empty && loop.end > last)) __builtin_trap();
        }
        for (const pelmora::WavCuePoint& cue : info.wavCuePoints) {
            if (cue.position > last || cue.sampleOffset > last) __builtin_trap();
        }
        pelmora::wav::RefreshHeader(file, info);
        pelmora::SoundInfo again;
        pelmora::wav::ReadIntoDocument(file, again);
        CheckInvariants(again, static_cast<std::size_t>(file.Size()));
    } catch (const pelmora::Error&) {
    }
    return 0;
}
