// The engine's device side: opening the output or input device, the two timers, filling and
// queueing buffers, and closing everything again on every way out.

#include <chrono>
#include <thread>

#include "audio/EngineRun.h"
#include "base/Error.h"
#include "platform/Timer.h"
#include "quorlib/Quorlib.h"

namespace pelmora {

namespace {

// A device that keeps its buffers is asked again, this often, before the engine gives up.
constexpr int kReleaseAttempts = 200;
constexpr auto kReleasePause = std::chrono::milliseconds(5);
constexpr std::uint32_t kTimerPeriodMs = 100;
constexpr std::uint32_t kMinResolutionMs = 25;

}  // namespace

bool AudioEngine::OpenDevice(bool output) {
    Run& r = *run_;
    const SoundDevice* device = output ? devices_.SelectedOutput() : devices_.SelectedInput();
    if (!device) return false;
    block_.window = pipe_.WriteFd();
    block_.closing = 0;
    block_.lastQueued = -1;
    block_.bufferDone = 0;
    const platform::WaveResult result = platform::WaveOpen(
        output ? platform::WaveDir::Out : platform::WaveDir::In, device->id, r.format,
        output ? wOutCallBack : wInCallBack, reinterpret_cast<std::uintptr_t>(&block_), r.device);
    if (result == platform::WaveResult::BadFormat)
        r.doc->Host().Prompts().Message(FormatText(StringId::PlaybackFormatRefused, device->caps.productName.c_str()));
    if (result != platform::WaveResult::Ok) return false;
    r.deviceOpen = true;
    r.output = output;
    (output ? block_.waveOut : block_.waveIn) = r.device;
    for (int i = 0; i < 3; ++i) {
        r.headers[i].data = r.buffers[i].data();
        r.headers[i].bufferLength = r.capacity;
        r.headers[i].flags = 0;
        block_.header[i] = static_cast<std::uint32_t>(i + 1);
    }
    return true;
}

bool AudioEngine::StartTimers() {
    Run& r = *run_;
    platform::TimerCaps caps;
    if (!platform::TimeGetDevCaps(caps)) return false;
    r.period = std::min(std::max(caps.periodMin, kMinResolutionMs), caps.periodMax);
    if (!platform::TimeBeginPeriod(r.period)) {
        r.period = 0;
        return false;
    }
    const auto user = reinterpret_cast<std::uintptr_t>(&block_);
    r.timers[0] = platform::TimeSetEvent(kTimerPeriodMs, r.period, SendPCMCallBack, user, true);
    r.timers[1] = platform::TimeSetEvent(kTimerPeriodMs, r.period, SendDrawFunc, user, true);
    return r.timers[0] != 0 && r.timers[1] != 0;
}

void AudioEngine::StopTimers() {
    Run& r = *run_;
    for (std::uint32_t& id : r.timers) {
        if (id) platform::TimeKillEvent(id);
        id = 0;
    }
    if (r.period) platform::TimeEndPeriod(r.period);
    r.period = 0;
}

bool AudioEngine::StartPlayback() {
    Run& r = *run_;
    platform::TimerCaps caps;
    if (devices_.NoDevice() || !platform::TimeGetDevCaps(caps)) return false;
    if (!OpenDevice(true)) return false;
    ApplyLevel(VolumeFor(r.doc->view.playbackLevel, r.doc->Info(), r.kind == kRunRegion));
    r.lastLevel = r.doc->view.playbackLevel;
    for (int i = 0; i < 3; ++i)
        if (!FillBuffer(i)) return false;
    block_.ticksEnabled = 1;
    block_.state = kEngineRunning;
    block_.started0 = 1;
    block_.started1 = 1;
    if (!StartTimers()) return false;
    for (int i = 0; i < 3; ++i) {
        if (platform::WavePrepareHeader(r.device, r.headers[i]) != platform::WaveResult::Ok) return false;
        if (platform::WaveOutWrite(r.device, r.headers[i]) != platform::WaveResult::Ok) return false;
        block_.lastQueued = i;
    }
    return true;
}

bool AudioEngine::StartRecording() {
    Run& r = *run_;
    platform::TimerCaps caps;
    if (devices_.NoDevice() || !platform::TimeGetDevCaps(caps)) return false;
    if (!OpenDevice(false)) return false;
    block_.state = kEngineRunning;
    block_.ticksEnabled = 1;
    for (int i = 0; i < 3; ++i) {
        if (platform::WavePrepareHeader(r.device, r.headers[i]) != platform::WaveResult::Ok) return false;
        if (platform::WaveInAddBuffer(r.device, r.headers[i]) != platform::WaveResult::Ok) return false;
    }
    block_.lastQueued = 2;
    if (platform::WaveInStart(r.device) != platform::WaveResult::Ok) return false;
    return StartTimers();
}

bool AudioEngine::FillBuffer(int index) {
    Run& r = *run_;
    block_.ticksEnabled = 0;
    BufferRecord& record = r.records[index];
    record.outStart = r.queuedFrames;
    const bool ok = r.stream.Fill(r.file, r.buffers[index].data(), r.capacity, record, r.Loop());
    r.queuedFrames += record.frames;
    block_.ticksEnabled = 1;
    return ok;
}

void AudioEngine::FeedPlayback() {
    Run& r = *run_;
    // Every finished buffer is refilled, however many finished while the thread was busy.
    while (block_.bufferDone.load() > 0) {
        if (r.stream.Ended()) {
            block_.bufferDone = 0;  // the rest drains
            return;
        }
        const int index = (block_.lastQueued.load() + 1) % 3;
        if (!FillBuffer(index)) {
            FailRun(Text(StringId::FileReadError));
            return;
        }
        platform::WaveHeader& h = r.headers[index];
        h.flags.fetch_or(platform::kHeaderPrepared);
        if (platform::WaveOutWrite(r.device, h) != platform::WaveResult::Ok) {
            FailRun(Text(StringId::FileReadError));
            return;
        }
        block_.lastQueued = index;
        block_.bufferDone.fetch_sub(1);
    }
}

void AudioEngine::DrainRecording() {
    Run& r = *run_;
    const std::uint16_t ba = r.layout.blockAlign;
    while (block_.bufferDone.load() > 0 && run_) {
        const int index = (block_.lastQueued.load() + 1) % 3;
        platform::WaveHeader& h = r.headers[index];
        if (r.recordPos >= 0) {
            const auto pos = static_cast<std::uint64_t>(r.recordPos);
            const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(h.bytesRecorded.load(), r.recordEnd - pos));
            if (r.layout.aiff) ConvertAiffBytes(h.data, count, r.layout.bitsPerSample);
            block_.ticksEnabled = 0;
            if (count && !r.file.WriteAt(pos, h.data, count)) {
                FailRun(Text(WriteFailure()));
                return;
            }
            block_.ticksEnabled = 1;
            r.recordPos = static_cast<std::int64_t>(pos + count);
            r.doc->playCursor += count / ba;
            if (static_cast<std::uint64_t>(r.recordPos) >= r.recordEnd) r.recordPos = -1;
        }
        h.bytesRecorded = 0;
        if (platform::WaveInAddBuffer(r.device, h) != platform::WaveResult::Ok) {
            FailRun(Text(StringId::FileWriteError));
            return;
        }
        block_.lastQueued = index;
        block_.bufferDone.fetch_sub(1);
        if (r.recordPos < 0) {
            Stop(*r.doc);
            return;
        }
    }
}

void AudioEngine::ApplyLevel(std::uint32_t volume) {
    mixerLevel_ = volume;
    if (run_ && run_->deviceOpen && run_->output) platform::WaveOutSetVolume(run_->device, volume);
}

void AudioEngine::CloseDevice() {
    Run& r = *run_;
    block_.closing = 1;
    block_.state = 0;
    block_.ticksEnabled = 0;
    StopTimers();
    if (r.deviceOpen) {
        platform::WaveReset(r.device);
        bool released = true;
        for (platform::WaveHeader& h : r.headers) {
            int attempt = 0;
            while (platform::WaveUnprepareHeader(r.device, h) == platform::WaveResult::StillPlaying &&
                   ++attempt < kReleaseAttempts)
                std::this_thread::sleep_for(kReleasePause);
            released = released && attempt < kReleaseAttempts;
        }
        if (r.output) {
            platform::WaveOutSetVolume(r.device, 0xFFFFFFFFu);
            if (mixerSaved_) mixerLevel_ = savedMixerLevel_;
            mixerSaved_ = false;
        }
        int attempt = 0;
        while (platform::WaveClose(r.device) == platform::WaveResult::StillPlaying && ++attempt < kReleaseAttempts) {
            platform::WaveReset(r.device);
            std::this_thread::sleep_for(kReleasePause);
        }
        if (!released || attempt >= kReleaseAttempts)
            r.doc->Host().Prompts().Message(Text(StringId::DeviceBuffersNotReturned));
        r.deviceOpen = false;
    }
    block_.reserved0 = 0;
    block_.reserved1 = 0;
    block_.waveIn = 0;
    block_.waveOut = 0;
    block_.bufferDone = 0;
    block_.lastQueued = -1;
}

}  // namespace pelmora
