// The ALSA wave backend: the devices of ALSA's hints ("default" first), one thread per open
// device that moves the queued buffers through a non-blocking pcm and recovers from xruns.
// alsa-lib's own error printing is silenced: failures are reported through the results.

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/WaveStream.h"

namespace pelmora::platform {

namespace {

void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

void InstallQuietHandler() {
    static const bool installed = [] {
        snd_lib_error_set_handler(SilentAlsaErrors);
        return true;
    }();
    (void)installed;
}

std::string HintValue(void* hint, const char* id) {
    char* value = snd_device_name_get_hint(hint, id);
    if (!value) return {};
    std::string text = value;
    std::free(value);
    return text;
}

// The card part of a hint name ("hw:CARD=PCH,DEV=0" → "PCH"); the name itself otherwise.
std::string CardOf(const std::string& name) {
    const std::size_t at = name.find("CARD=");
    if (at == std::string::npos) return name;
    const std::size_t end = name.find(',', at);
    return name.substr(at + 5, end == std::string::npos ? std::string::npos : end - at - 5);
}

class AlsaStream : public WaveStream {
public:
    AlsaStream(WaveDir dir, const WaveFormat& format, const WaveNotify& notify)
        : dir_(dir), format_(format), notify_(notify) {}
    ~AlsaStream() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
        if (pcm_) snd_pcm_close(pcm_);
    }

    WaveResult Open(const std::string& device) {
        InstallQuietHandler();
        const snd_pcm_stream_t stream = dir_ == WaveDir::Out ? SND_PCM_STREAM_PLAYBACK : SND_PCM_STREAM_CAPTURE;
        if (snd_pcm_open(&pcm_, device.c_str(), stream, SND_PCM_NONBLOCK) < 0) {
            pcm_ = nullptr;
            return WaveResult::BadDevice;
        }
        const snd_pcm_format_t sampleFormat = format_.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
        // Half a second of device buffer: the engine's own three buffers do the rest.
        if (snd_pcm_set_params(pcm_, sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED, format_.channels,
                               format_.sampleRate, 1, 500000) < 0)
            return WaveResult::BadFormat;
        thread_ = std::thread([this] { Run(); });
        return WaveResult::Ok;
    }

    WaveResult Submit(WaveHeader& header) override {
        header.flags.fetch_and(~kHeaderDone);
        header.flags.fetch_or(kHeaderInQueue);
        header.bytesRecorded = 0;
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(&header);
        }
        wake_.notify_all();
        return WaveResult::Ok;
    }

    WaveResult Start() override {
        {
            std::lock_guard lock(mutex_);
            started_ = true;
        }
        wake_.notify_all();
        return WaveResult::Ok;
    }

    // The device thread drops the pcm and hands the buffers back; this waits until it has.
    void Reset() override {
        std::deque<WaveHeader*> returned;
        {
            std::unique_lock lock(mutex_);
            resetRequested_ = true;
            wake_.notify_all();
            done_.wait(lock, [this] { return !resetRequested_; });
            returned.swap(queue_);
            offset_ = 0;
            if (dir_ == WaveDir::In) started_ = false;
        }
        for (WaveHeader* h : returned) notify_.Done(*h);
    }

    void SetVolume(std::uint32_t volume) override {
        std::lock_guard lock(mutex_);
        volume_ = volume;
    }
    std::uint64_t Position() override {
        std::lock_guard lock(mutex_);
        return moved_;
    }
    bool HoldsBuffers() override {
        std::lock_guard lock(mutex_);
        return !queue_.empty();
    }

private:
    // With the lock released: moves frames of `h` from `offset`; returns the frames moved, or -1.
    long Transfer(WaveHeader& h, std::uint32_t offset, std::uint32_t volume) {
        const std::uint32_t bytes = h.bufferLength - offset;
        const snd_pcm_uframes_t frames = bytes / format_.blockAlign;
        snd_pcm_sframes_t n;
        if (dir_ == WaveDir::Out) {
            const std::size_t chunk = std::min<std::size_t>(bytes, staging_.size());
            ApplyVolume(h.data + offset, staging_.data(), chunk, format_, volume);
            n = snd_pcm_writei(pcm_, staging_.data(), chunk / format_.blockAlign);
        } else {
            n = snd_pcm_readi(pcm_, h.data + offset, frames);
        }
        if (n == -EAGAIN) return 0;
        if (n < 0) {
            // An underrun or overrun: prepare again and go on.
            if (snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) return -1;
            if (dir_ == WaveDir::In) snd_pcm_start(pcm_);
            return 0;
        }
        return static_cast<long>(n);
    }

    void Run() {
        staging_.resize(65536);
        std::unique_lock lock(mutex_);
        bool running = false;
        while (!stop_) {
            if (resetRequested_) {
                snd_pcm_drop(pcm_);
                snd_pcm_prepare(pcm_);
                running = false;
                resetRequested_ = false;
                done_.notify_all();
                continue;
            }
            const bool ready = !queue_.empty() && (dir_ == WaveDir::Out || started_);
            if (!ready) {
                wake_.wait(lock);
                continue;
            }
            if (dir_ == WaveDir::In && !running) {
                snd_pcm_start(pcm_);
                running = true;
            }
            WaveHeader& h = *queue_.front();
            const std::uint32_t offset = offset_;
            const std::uint32_t volume = volume_;
            lock.unlock();
            snd_pcm_wait(pcm_, 50);
            const long moved = Transfer(h, offset, volume);
            lock.lock();
            if (resetRequested_ || queue_.empty() || queue_.front() != &h) continue;
            if (moved < 0) {
                // The device is gone: the buffer comes back unplayed so the engine is not stuck.
                offset_ = h.bufferLength;
            } else {
                offset_ += static_cast<std::uint32_t>(moved) * format_.blockAlign;
                moved_ += static_cast<std::uint64_t>(moved) * format_.blockAlign;
            }
            if (dir_ == WaveDir::In) h.bytesRecorded = offset_;
            if (offset_ + format_.blockAlign > h.bufferLength) {
                queue_.pop_front();
                offset_ = 0;
                lock.unlock();
                notify_.Done(h);
                lock.lock();
            }
        }
    }

    const WaveDir dir_;
    const WaveFormat format_;
    const WaveNotify notify_;
    snd_pcm_t* pcm_ = nullptr;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::deque<WaveHeader*> queue_;
    std::vector<std::uint8_t> staging_;
    std::uint32_t offset_ = 0;  // bytes of the head buffer already moved
    std::uint64_t moved_ = 0;
    std::uint32_t volume_ = 0xFFFFFFFFu;
    bool started_ = false;
    bool stop_ = false;
    bool resetRequested_ = false;
    std::thread thread_;
};

}  // namespace

std::vector<WaveCaps> AlsaDevices(WaveDir dir) {
    InstallQuietHandler();
    std::vector<WaveCaps> list;
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0) return list;
    const char* wanted = dir == WaveDir::Out ? "Output" : "Input";
    for (void** h = hints; *h; ++h) {
        const std::string name = HintValue(*h, "NAME");
        const std::string io = HintValue(*h, "IOID");
        if (name.empty() || (!io.empty() && io != wanted)) continue;
        std::string desc = HintValue(*h, "DESC");
        desc = desc.substr(0, desc.find('\n'));
        WaveCaps caps;
        caps.deviceName = name;
        caps.productName = (desc.empty() ? name : desc).substr(0, 31);
        caps.mid = NameHash16(CardOf(name));
        caps.pid = NameHash16(name);
        caps.driverVersion = 1;
        if (name == "default") list.insert(list.begin(), caps);
        else list.push_back(caps);
    }
    snd_device_name_free_hint(hints);
    return list;
}

std::unique_ptr<WaveStream> OpenAlsaStream(WaveDir dir, const std::string& device, const WaveFormat& format,
                                           const WaveNotify& notify, WaveResult& result) {
    auto stream = std::make_unique<AlsaStream>(dir, format, notify);
    result = stream->Open(device);
    if (result != WaveResult::Ok) return nullptr;
    return stream;
}

}  // namespace pelmora::platform
