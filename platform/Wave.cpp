#include "platform/Wave.h"

#include <cstdlib>
#include <map>

#include "platform/WaveStream.h"

namespace pelmora::platform {

namespace {

struct OpenDevice {
    WaveDir dir;
    std::unique_ptr<WaveStream> stream;
};

// Handles are used by the interface thread only; the streams' own threads never look them up.
std::map<std::uint32_t, OpenDevice>& Devices() {
    static std::map<std::uint32_t, OpenDevice> devices;
    return devices;
}
std::uint32_t nextHandle = 1;

OpenDevice* Find(std::uint32_t handle) {
    auto it = Devices().find(handle);
    return it == Devices().end() ? nullptr : &it->second;
}

WaveCaps NullCaps(WaveDir dir) {
    WaveCaps caps;
    caps.productName = dir == WaveDir::Out ? "Null Output" : "Null Input";
    caps.deviceName = "null";
    caps.mid = NameHash16("null");
    caps.pid = NameHash16(caps.productName);
    caps.driverVersion = 1;
    return caps;
}

// The devices of a direction: the null device alone when PELMORA_AUDIO is set.
bool DeviceCaps(WaveDir dir, std::uint32_t id, WaveCaps& caps) {
    if (ReadNullAudioSetting().enabled) {
        if (id != 0) return false;
        caps = NullCaps(dir);
        return true;
    }
    const std::vector<WaveCaps> list = AlsaDevices(dir);
    // "default" stands first and is the mapper; the rest are numbered from 0.
    const bool hasDefault = !list.empty() && list.front().deviceName == "default";
    if (id == kWaveMapper) {
        if (!hasDefault) return false;
        caps = list.front();
        return true;
    }
    const std::size_t index = id + (hasDefault ? 1u : 0u);
    if (index >= list.size()) return false;
    caps = list[index];
    return true;
}

}  // namespace

NullAudioSetting ReadNullAudioSetting() {
    NullAudioSetting s;
    const char* value = std::getenv("PELMORA_AUDIO");
    if (!value || !*value) return s;
    std::string text = value;
    if (text.rfind("null", 0) != 0 || (text.size() > 4 && text[4] != ':')) return s;
    s.enabled = true;
    if (text.size() <= 5) return s;
    text = text.substr(5);
    const std::size_t colon = text.find(':');
    s.inPath = text.substr(0, colon);
    if (colon != std::string::npos) s.outPath = text.substr(colon + 1);
    return s;
}

std::uint16_t NameHash16(const std::string& name) {
    std::uint32_t h = 2166136261u;  // FNV-1a, folded to 16 bits
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    return static_cast<std::uint16_t>((h >> 16) ^ (h & 0xFFFF));
}

std::uint32_t WaveGetNumDevs(WaveDir dir) {
    if (ReadNullAudioSetting().enabled) return 1;
    const std::vector<WaveCaps> list = AlsaDevices(dir);
    const bool hasDefault = !list.empty() && list.front().deviceName == "default";
    return static_cast<std::uint32_t>(list.size() - (hasDefault ? 1 : 0));
}

bool WaveGetDevCaps(WaveDir dir, std::uint32_t id, WaveCaps& caps) { return DeviceCaps(dir, id, caps); }

WaveResult WaveOpen(WaveDir dir, std::uint32_t id, const WaveFormat& format, WaveCallback callback,
                    std::uintptr_t instance, std::uint32_t& handle) {
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return WaveResult::BadFormat;
    if (format.channels < 1 || format.channels > 2 || format.sampleRate == 0 ||
        format.blockAlign != format.channels * format.bitsPerSample / 8)
        return WaveResult::BadFormat;
    WaveCaps caps;
    if (!DeviceCaps(dir, id, caps)) return WaveResult::BadDevice;
    const std::uint32_t h = nextHandle++;
    WaveNotify notify{callback, h, instance, dir == WaveDir::Out ? kWomDone : kWimData};
    WaveResult result = WaveResult::Ok;
    const NullAudioSetting setting = ReadNullAudioSetting();
    std::unique_ptr<WaveStream> stream =
        setting.enabled ? OpenNullStream(dir, format, notify, setting, result)
                        : OpenAlsaStream(dir, caps.deviceName, format, notify, result);
    if (!stream) return result == WaveResult::Ok ? WaveResult::Error : result;
    Devices().emplace(h, OpenDevice{dir, std::move(stream)});
    handle = h;
    return WaveResult::Ok;
}

WaveResult WavePrepareHeader(std::uint32_t handle, WaveHeader& header) {
    if (!Find(handle)) return WaveResult::InvalidHandle;
    if (!header.data && header.bufferLength) return WaveResult::Error;
    header.flags.fetch_or(kHeaderPrepared);
    return WaveResult::Ok;
}

WaveResult WaveUnprepareHeader(std::uint32_t handle, WaveHeader& header) {
    if (!Find(handle)) return WaveResult::InvalidHandle;
    if (header.flags.load() & kHeaderInQueue) return WaveResult::StillPlaying;
    header.flags.fetch_and(~kHeaderPrepared);
    return WaveResult::Ok;
}

namespace {
WaveResult Submit(std::uint32_t handle, WaveHeader& header, WaveDir dir) {
    OpenDevice* d = Find(handle);
    if (!d || d->dir != dir) return WaveResult::InvalidHandle;
    if (!(header.flags.load() & kHeaderPrepared)) return WaveResult::Unprepared;
    if (header.flags.load() & kHeaderInQueue) return WaveResult::StillPlaying;
    return d->stream->Submit(header);
}
}  // namespace

WaveResult WaveOutWrite(std::uint32_t handle, WaveHeader& header) { return Submit(handle, header, WaveDir::Out); }
WaveResult WaveInAddBuffer(std::uint32_t handle, WaveHeader& header) { return Submit(handle, header, WaveDir::In); }

WaveResult WaveInStart(std::uint32_t handle) {
    OpenDevice* d = Find(handle);
    if (!d || d->dir != WaveDir::In) return WaveResult::InvalidHandle;
    return d->stream->Start();
}

WaveResult WaveReset(std::uint32_t handle) {
    OpenDevice* d = Find(handle);
    if (!d) return WaveResult::InvalidHandle;
    d->stream->Reset();
    return WaveResult::Ok;
}

WaveResult WaveClose(std::uint32_t handle) {
    OpenDevice* d = Find(handle);
    if (!d) return WaveResult::InvalidHandle;
    if (d->stream->HoldsBuffers()) return WaveResult::StillPlaying;
    Devices().erase(handle);
    return WaveResult::Ok;
}

WaveResult WaveOutSetVolume(std::uint32_t handle, std::uint32_t volume) {
    OpenDevice* d = Find(handle);
    if (!d || d->dir != WaveDir::Out) return WaveResult::InvalidHandle;
    d->stream->SetVolume(volume);
    return WaveResult::Ok;
}

WaveResult WaveGetPosition(std::uint32_t handle, std::uint64_t& bytes) {
    OpenDevice* d = Find(handle);
    if (!d) return WaveResult::InvalidHandle;
    bytes = d->stream->Position();
    return WaveResult::Ok;
}

void WaveNotify::Done(WaveHeader& header) const {
    header.flags.fetch_and(~kHeaderInQueue);
    header.flags.fetch_or(kHeaderDone);
    if (callback) callback(handle, doneMessage, instance, reinterpret_cast<std::uintptr_t>(&header), 0);
}

void ApplyVolume(const std::uint8_t* in, std::uint8_t* out, std::size_t bytes, const WaveFormat& format,
                 std::uint32_t volume) {
    constexpr std::int32_t kFull = 255 * 255;
    const std::int32_t gain[2] = {std::min<std::int32_t>(volume & 0xFFFF, kFull),
                                  std::min<std::int32_t>(volume >> 16, kFull)};
    const int channels = format.channels;
    if (format.bitsPerSample == 8) {
        for (std::size_t i = 0; i < bytes; ++i) {
            const std::int32_t s = static_cast<std::int32_t>(in[i]) - 128;
            out[i] = static_cast<std::uint8_t>(s * gain[channels == 2 ? i % 2 : 0] / kFull + 128);
        }
        return;
    }
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        const auto s = static_cast<std::int16_t>(in[i] | (in[i + 1] << 8));
        const std::int32_t g = gain[channels == 2 ? (i / 2) % 2 : 0];
        const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(s * g / kFull));
        out[i] = static_cast<std::uint8_t>(v & 0xFF);
        out[i + 1] = static_cast<std::uint8_t>(v >> 8);
    }
}

void FillWaveSilence(std::uint8_t* data, std::size_t bytes, const WaveFormat& format) {
    std::fill(data, data + bytes, format.bitsPerSample == 8 ? 0x80 : 0x00);
}

}  // namespace pelmora::platform
