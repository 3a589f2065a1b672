// The null wave device: plays into nothing or into OUT.wav, records silence or IN.wav, paced in
// real time by the monotonic clock so that the engine above runs as it would on a sound card.

#include <chrono>
#include <thread>

#include "platform/NullWavFiles.h"
#include "platform/WaveStream.h"

namespace pelmora::platform {

namespace {

using Clock = std::chrono::steady_clock;

Clock::duration FramesToDuration(std::uint64_t frames, std::uint32_t rate) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(frames * 1000000000ull / rate));
}

// A buffer's frames go to OUT.wav the moment it starts to play, whole; it is done when its time
// is up. The next queued buffer starts exactly then, so the pace does not drift.
class NullOutput : public WaveStream {
public:
    NullOutput(const WaveFormat& format, const WaveNotify& notify) : format_(format), notify_(notify) {}
    ~NullOutput() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
        writer_.Close();
    }

    bool OpenFile(const std::string& path) { return path.empty() || writer_.Open(path, format_); }
    void Launch() { thread_ = std::thread([this] { Run(); }); }

    WaveResult Submit(WaveHeader& header) override {
        header.flags.fetch_and(~kHeaderDone);
        header.flags.fetch_or(kHeaderInQueue);
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(&header);
        }
        wake_.notify_all();
        return WaveResult::Ok;
    }
    WaveResult Start() override { return WaveResult::Ok; }

    void Reset() override {
        std::deque<WaveHeader*> returned;
        {
            std::lock_guard lock(mutex_);
            if (playing_) played_ += queue_.front()->bufferLength;
            playing_ = false;
            endsAt_ = Clock::now();  // what comes next starts at once
            returned.swap(queue_);
        }
        for (WaveHeader* h : returned) notify_.Done(*h);
    }

    void SetVolume(std::uint32_t volume) override {
        std::lock_guard lock(mutex_);
        volume_ = volume;
    }

    std::uint64_t Position() override {
        std::lock_guard lock(mutex_);
        std::uint64_t bytes = played_;
        if (playing_) {
            const auto into = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - startedAt_);
            const std::uint64_t frames = static_cast<std::uint64_t>(into.count()) * format_.sampleRate / 1000000000ull;
            bytes += std::min<std::uint64_t>(frames * format_.blockAlign, queue_.front()->bufferLength);
        }
        return bytes;
    }

    bool HoldsBuffers() override {
        std::lock_guard lock(mutex_);
        return !queue_.empty();
    }

private:
    // With the lock held: the head of the queue starts to play at `at`.
    void StartHead(Clock::time_point at) {
        WaveHeader& h = *queue_.front();
        playing_ = true;
        startedAt_ = at;
        endsAt_ = at + FramesToDuration(h.bufferLength / format_.blockAlign, format_.sampleRate);
        staging_.resize(std::max<std::size_t>(staging_.size(), h.bufferLength));
        ApplyVolume(h.data, staging_.data(), h.bufferLength, format_, volume_);
        writer_.Append(staging_.data(), h.bufferLength);
    }

    void Run() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            if (!playing_) {
                if (queue_.empty()) {
                    wake_.wait(lock);
                    continue;
                }
                // After an underrun the next buffer starts when it comes, not back in time.
                StartHead(std::max(Clock::now(), endsAt_));
                continue;
            }
            if (wake_.wait_until(lock, endsAt_) == std::cv_status::no_timeout && Clock::now() < endsAt_) continue;
            if (!playing_ || stop_) continue;
            WaveHeader* done = queue_.front();
            queue_.pop_front();
            played_ += done->bufferLength;
            playing_ = false;
            if (!queue_.empty()) StartHead(endsAt_);
            lock.unlock();
            notify_.Done(*done);
            lock.lock();
        }
    }

    const WaveFormat format_;
    const WaveNotify notify_;
    NullWavWriter writer_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<WaveHeader*> queue_;  // the front plays while playing_ is set
    std::vector<std::uint8_t> staging_;
    bool playing_ = false;
    bool stop_ = false;
    Clock::time_point startedAt_{}, endsAt_{};
    std::uint64_t played_ = 0;
    std::uint32_t volume_ = 0xFFFFFFFFu;
    std::thread thread_;
};

// Frames arrive at the sample rate from the moment the device starts; each goes into the buffer
// at the head of the queue, or is lost when none is queued. Frame f of the run is frame f of
// IN.wav, silence past its end.
class NullInput : public WaveStream {
public:
    NullInput(const WaveFormat& format, const WaveNotify& notify) : format_(format), notify_(notify) {}
    ~NullInput() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    bool OpenFile(const std::string& path) { return reader_.Open(path, format_); }
    void Launch() { thread_ = std::thread([this] { Run(); }); }

    WaveResult Submit(WaveHeader& header) override {
        header.flags.fetch_and(~kHeaderDone);
        header.flags.fetch_or(kHeaderInQueue);
        header.bytesRecorded = 0;
        {
            std::lock_guard lock(mutex_);
            // Frames that came while no buffer was queued are lost.
            if (started_ && queue_.empty()) captured_ = std::max(captured_, DueFrames());
            queue_.push_back(&header);
        }
        wake_.notify_all();
        return WaveResult::Ok;
    }

    WaveResult Start() override {
        {
            std::lock_guard lock(mutex_);
            if (started_) return WaveResult::Ok;
            started_ = true;
            startedAt_ = Clock::now();
            captured_ = 0;
        }
        wake_.notify_all();
        return WaveResult::Ok;
    }

    void Reset() override {
        std::deque<WaveHeader*> returned;
        {
            std::lock_guard lock(mutex_);
            if (started_ && !queue_.empty()) Capture(DueFrames());
            started_ = false;
            returned.swap(queue_);
        }
        for (WaveHeader* h : returned) notify_.Done(*h);
    }

    void SetVolume(std::uint32_t) override {}
    std::uint64_t Position() override {
        std::lock_guard lock(mutex_);
        return captured_ * format_.blockAlign;
    }
    bool HoldsBuffers() override {
        std::lock_guard lock(mutex_);
        return !queue_.empty();
    }

private:
    std::uint64_t DueFrames() const {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - startedAt_).count();
        return static_cast<std::uint64_t>(ns) * format_.sampleRate / 1000000000ull;
    }

    // With the lock held: fills the head buffer with the frames up to `due`; true when it is full.
    bool Capture(std::uint64_t due) {
        WaveHeader& h = *queue_.front();
        const std::uint32_t capacity = h.bufferLength / format_.blockAlign;
        const std::uint32_t have = h.bytesRecorded / format_.blockAlign;
        const std::uint64_t count = std::min<std::uint64_t>(due > captured_ ? due - captured_ : 0, capacity - have);
        std::uint8_t* at = h.data + static_cast<std::size_t>(have) * format_.blockAlign;
        FillWaveSilence(at, count * format_.blockAlign, format_);
        reader_.Read(captured_, count, at);
        captured_ += count;
        h.bytesRecorded = static_cast<std::uint32_t>((have + count) * format_.blockAlign);
        return have + count == capacity;
    }

    void Run() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            if (!started_ || queue_.empty()) {
                wake_.wait(lock);
                continue;
            }
            const WaveHeader& h = *queue_.front();
            const std::uint64_t fullAt = captured_ + (h.bufferLength - h.bytesRecorded) / format_.blockAlign;
            const Clock::time_point when = startedAt_ + FramesToDuration(fullAt, format_.sampleRate);
            if (Clock::now() < when) {
                wake_.wait_until(lock, when);
                continue;
            }
            if (!Capture(fullAt)) continue;
            WaveHeader* done = queue_.front();
            queue_.pop_front();
            lock.unlock();
            notify_.Done(*done);
            lock.lock();
        }
    }

    const WaveFormat format_;
    const WaveNotify notify_;
    NullWavReader reader_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<WaveHeader*> queue_;
    bool started_ = false;
    bool stop_ = false;
    Clock::time_point startedAt_{};
    std::uint64_t captured_ = 0;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<WaveStream> OpenNullStream(WaveDir dir, const WaveFormat& format, const WaveNotify& notify,
                                           const NullAudioSetting& setting, WaveResult& result) {
    if (dir == WaveDir::Out) {
        auto out = std::make_unique<NullOutput>(format, notify);
        if (!out->OpenFile(setting.outPath)) {
            result = WaveResult::Error;
            return nullptr;
        }
        out->Launch();
        return out;
    }
    auto in = std::make_unique<NullInput>(format, notify);
    if (!in->OpenFile(setting.inPath)) {
        result = WaveResult::BadFormat;
        return nullptr;
    }
    in->Launch();
    return in;
}

}  // namespace pelmora::platform
