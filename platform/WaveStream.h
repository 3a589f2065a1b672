#pragma once
// What each wave backend implements behind the handle table of Wave.cpp, and the queue of
// buffers with the done notices that both backends share.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Wave.h"

namespace pelmora::platform {

class WaveStream {
public:
    virtual ~WaveStream() = default;
    virtual WaveResult Submit(WaveHeader& header) = 0;
    virtual WaveResult Start() = 0;
    virtual void Reset() = 0;
    virtual void SetVolume(std::uint32_t volume) = 0;
    virtual std::uint64_t Position() = 0;
    virtual bool HoldsBuffers() = 0;
};

// Where a stream reports finished buffers.
struct WaveNotify {
    WaveCallback callback = nullptr;
    std::uint32_t handle = 0;
    std::uintptr_t instance = 0;
    std::uint32_t doneMessage = kWomDone;
    void Done(WaveHeader& header) const;
};

// Scales 8-bit unsigned or 16-bit signed frames by the volume's two 16-bit halves into `out`.
void ApplyVolume(const std::uint8_t* in, std::uint8_t* out, std::size_t bytes, const WaveFormat& format,
                 std::uint32_t volume);
// The format's silence: 0x80 for 8 bits, 0 otherwise.
void FillWaveSilence(std::uint8_t* data, std::size_t bytes, const WaveFormat& format);

std::unique_ptr<WaveStream> OpenNullStream(WaveDir dir, const WaveFormat& format, const WaveNotify& notify,
                                           const NullAudioSetting& setting, WaveResult& result);
std::unique_ptr<WaveStream> OpenAlsaStream(WaveDir dir, const std::string& device, const WaveFormat& format,
                                           const WaveNotify& notify, WaveResult& result);
// The ALSA devices that can play (Out) or record (In): "default" first.
std::vector<WaveCaps> AlsaDevices(WaveDir dir);

}  // namespace pelmora::platform
