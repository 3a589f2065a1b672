#pragma once
// Wave devices shaped like the system interface the engine was written for: open a device in a
// PCM format, prepare headers, queue buffers, reset, close. A device thread hands each finished
// buffer back through the callback (0x3BD for output, 0x3C0 for input). Two backends: ALSA, and
// a null device paced by the monotonic clock, chosen with PELMORA_AUDIO=null[:IN.wav[:OUT.wav]].

#include <atomic>
#include <cstdint>
#include <string>

namespace pelmora::platform {

enum class WaveDir { In, Out };

inline constexpr std::uint32_t kWaveMapper = 0xFFFFFFFFu;
inline constexpr std::uint32_t kWomOpen = 0x3BB;
inline constexpr std::uint32_t kWomClose = 0x3BC;
inline constexpr std::uint32_t kWomDone = 0x3BD;
inline constexpr std::uint32_t kWimOpen = 0x3BE;
inline constexpr std::uint32_t kWimClose = 0x3BF;
inline constexpr std::uint32_t kWimData = 0x3C0;

enum class WaveResult { Ok, BadDevice, BadFormat, NoMemory, StillPlaying, Unprepared, InvalidHandle, Error };

struct WaveFormat {
    std::uint16_t channels = 1;
    std::uint32_t sampleRate = 44100;
    std::uint16_t blockAlign = 2;
    std::uint16_t bitsPerSample = 16;  // 8 (unsigned) or 16 (signed little-endian)
};

struct WaveCaps {
    std::uint16_t mid = 0;  // hash of the card's name
    std::uint16_t pid = 0;  // hash of the device's name
    std::uint32_t driverVersion = 0;
    std::string productName;  // at most 31 characters
    std::string deviceName;   // what the backend opens ("default", "hw:CARD=...", "null")
};

inline constexpr std::uint32_t kHeaderDone = 0x01;
inline constexpr std::uint32_t kHeaderPrepared = 0x02;
inline constexpr std::uint32_t kHeaderInQueue = 0x10;

// One buffer handed to a device. The device owns it from write/add until its done notice.
struct WaveHeader {
    std::uint8_t* data = nullptr;
    std::uint32_t bufferLength = 0;
    std::atomic<std::uint32_t> bytesRecorded{0};
    std::atomic<std::uint32_t> flags{0};
};

// Called on the device thread (and on the caller's thread during a reset).
using WaveCallback = void (*)(std::uint32_t handle, std::uint32_t message, std::uintptr_t instance,
                              std::uintptr_t param1, std::uintptr_t param2);

// Devices 0 … n − 1; kWaveMapper is the system's default device where it has one.
std::uint32_t WaveGetNumDevs(WaveDir dir);
bool WaveGetDevCaps(WaveDir dir, std::uint32_t id, WaveCaps& caps);

WaveResult WaveOpen(WaveDir dir, std::uint32_t id, const WaveFormat& format, WaveCallback callback,
                    std::uintptr_t instance, std::uint32_t& handle);
WaveResult WavePrepareHeader(std::uint32_t handle, WaveHeader& header);
// StillPlaying while the device holds the buffer.
WaveResult WaveUnprepareHeader(std::uint32_t handle, WaveHeader& header);
WaveResult WaveOutWrite(std::uint32_t handle, WaveHeader& header);
WaveResult WaveInAddBuffer(std::uint32_t handle, WaveHeader& header);
WaveResult WaveInStart(std::uint32_t handle);
// Hands every queued buffer back (done notices), output stops, input stops capturing.
WaveResult WaveReset(std::uint32_t handle);
// StillPlaying while buffers are queued.
WaveResult WaveClose(std::uint32_t handle);
// Low 16 bits the left channel, high 16 bits the right; 255 × 255 and above play unchanged.
WaveResult WaveOutSetVolume(std::uint32_t handle, std::uint32_t volume);
// Bytes played or recorded since the device opened.
WaveResult WaveGetPosition(std::uint32_t handle, std::uint64_t& bytes);

// The null device chosen by PELMORA_AUDIO, when it is set.
struct NullAudioSetting {
    bool enabled = false;
    std::string inPath, outPath;
};
NullAudioSetting ReadNullAudioSetting();

// A 16-bit hash of a name, for the device ids kept in the profile.
std::uint16_t NameHash16(const std::string& name);

}  // namespace pelmora::platform
