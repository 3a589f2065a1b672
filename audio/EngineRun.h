#pragma once
// The state of one run of the engine: the document, its working file, the stream and the three
// buffers with their device headers. Private to the engine's files.

#include <vector>

#include "audio/AudioEngine.h"
#include "platform/Wave.h"

namespace pelmora {

enum RunKind { kRunPlay = 1, kRunRegion = 2, kRunRecord = 3 };

struct AudioEngine::Run {
    COLMDoc* doc = nullptr;
    int kind = kRunPlay;
    platform::File file;
    StreamLayout layout;
    PlayStream stream;
    platform::WaveFormat format;
    std::vector<std::uint8_t> buffers[3];
    platform::WaveHeader headers[3];
    BufferRecord records[3];
    std::uint32_t capacity = 0;
    std::uint64_t queuedFrames = 0;  // frames handed to the device since the start
    std::uint32_t savedCursor = 0;
    std::uint32_t regionEnd = 0;
    std::uint32_t playStartFrame = 0;
    std::uint32_t playStartTick = 0;
    int lastLevel = -1;
    // Recording: where the next recorded bytes go, −1 once the end is reached.
    std::int64_t recordPos = -1;
    std::uint64_t recordEnd = 0;
    // Device and timers, each released on every way out.
    std::uint32_t device = 0;
    bool deviceOpen = false;
    bool output = true;
    std::uint32_t timers[2] = {0, 0};
    std::uint32_t period = 0;

    LoopNow Loop() const {
        const SoundInfo& s = doc->Info();
        return {doc->loopMode, s.loopStart, s.loopEnd};
    }
};

}  // namespace pelmora
