#include "audio/AudioEngine.h"

#include <new>
#include <vector>

#include "audio/EngineRun.h"
#include "base/Error.h"
#include "platform/Ticks.h"

namespace pelmora {

AudioEngine::AudioEngine(SoundDevices& devices) : devices_(devices) { block_.window = pipe_.WriteFd(); }

AudioEngine::~AudioEngine() {
    if (run_) EndRun(false);
}

COLMDoc* AudioEngine::Active() const { return run_ ? run_->doc : nullptr; }

Transport AudioEngine::TransportOf(const COLMDoc& doc) const {
    if (!run_ || run_->doc != &doc) return Transport::Idle;
    switch (run_->kind) {
    case kRunRegion: return Transport::RegionPlaying;
    case kRunRecord: return Transport::Recording;
    default: return Transport::Playing;
    }
}

std::uint32_t AudioEngine::VolumeFor(std::uint8_t level, const SoundInfo& info, bool regionPlay) {
    std::uint32_t left = level * 255u, right = left;
    if (regionPlay && info.channels == 2 && info.channelEnd - info.channelFirst == 1) {
        if (info.channelFirst == 0) right = 0;
        else left = 0;
    }
    return left | (right << 16);
}

void AudioEngine::HandleMessage(std::uint32_t message) {
    if (!run_) return;
    if (message == WM_AUDIO_FEED) {
        if (run_->kind == kRunRecord) DrainRecording();
        else FeedPlayback();
    } else if (message == WM_AUDIO_TICK) {
        OnDisplayTick();
    }
}

void AudioEngine::PumpMessages() {
    static thread_local std::vector<std::uint32_t> messages;
    messages.clear();
    pipe_.ReadAll(messages);
    for (std::uint32_t m : messages) HandleMessage(m);
}

StartResult AudioEngine::Play(COLMDoc& doc) {
    if (run_ || doc.Info().frames == 0) return StartResult::Ignored;
    if (doc.playCursor >= doc.Info().frames) {
        doc.playCursor = 0;
        Rewind(doc);
    }
    return StartRun(doc, kRunPlay);
}

StartResult AudioEngine::RegionPlay(COLMDoc& doc) {
    if (run_ || doc.selectionStart >= doc.selectionEnd) return StartResult::Ignored;
    return StartRun(doc, kRunRegion);
}

StartResult AudioEngine::Record(COLMDoc& doc) {
    if (run_ || doc.Info().frames == 0) return StartResult::Ignored;
    if (doc.playCursor >= doc.Info().frames) {
        doc.playCursor = 0;
        Rewind(doc);
    }
    return StartRun(doc, kRunRecord);
}

StartResult AudioEngine::StartRun(COLMDoc& doc, int kind) {
    const SoundInfo& s = doc.Info();
    auto run = std::make_unique<Run>();
    Run& r = *run;
    r.doc = &doc;
    r.kind = kind;
    r.layout = {s.dataOffset, s.blockAlign, s.bitsPerSample, s.frames, s.fileType == FileType::Aiff};
    r.format = {s.channels, s.sampleRate, s.blockAlign, s.bitsPerSample};
    if (kind == kRunRecord) {
        r.capacity = s.sampleRate * s.blockAlign;
        r.recordPos = static_cast<std::int64_t>(s.dataOffset + static_cast<std::uint64_t>(doc.playCursor) * s.blockAlign);
        r.recordEnd = s.dataOffset + static_cast<std::uint64_t>(s.frames) * s.blockAlign;
    } else {
        r.capacity = s.sampleRate < 44100 ? 32768u : s.sampleRate / 2 * s.blockAlign;
    }
    if (kind == kRunRegion) {
        r.savedCursor = doc.playCursor;
        doc.playCursor = doc.selectionStart;
        r.regionEnd = doc.selectionEnd;
        r.stream.StartRegion(r.layout, doc.selectionStart, doc.selectionEnd);
    } else if (kind == kRunPlay) {
        r.stream.StartPlay(r.layout, doc.playCursor, r.Loop());
    }
    const platform::OpenMode mode = kind == kRunRecord ? platform::OpenMode::ReadWrite : platform::OpenMode::Read;
    if (!r.file.Open(doc.WorkingPath(), mode)) {
        if (kind == kRunRegion) doc.playCursor = r.savedCursor;
        doc.Host().Prompts().Message(Text(StringId::PlaybackFileOpenError));
        return StartResult::Failed;
    }
    try {
        for (auto& b : r.buffers) b.resize(r.capacity);
    } catch (const std::bad_alloc&) {
        if (kind == kRunRegion) doc.playCursor = r.savedCursor;
        doc.Host().Prompts().Message(Text(StringId::PlaybackMemoryError));
        return StartResult::Failed;
    }
    // Region play leaves the mixer level alone, so only Play's saved level is restored.
    if (kind == kRunPlay) {
        savedMixerLevel_ = mixerLevel_;
        mixerSaved_ = true;
    }
    run_ = std::move(run);
    const bool started = kind == kRunRecord ? StartRecording() : StartPlayback();
    if (!started) {
        if (kind == kRunRegion) doc.playCursor = run_->savedCursor;
        EndRun(false);
        return StartResult::Failed;
    }
    run_->playStartTick = static_cast<std::uint32_t>(platform::TickCount());
    run_->playStartFrame = doc.playCursor;
    if (kind == kRunRecord) {
        if (recordPending_ == &doc) SettleRecording(doc);
        recordStartFrame_ = doc.playCursor;
    }
    if (view_) view_->RunStarted(doc);
    return StartResult::Started;
}

std::uint32_t AudioEngine::CursorNow() const {
    const Run& r = *run_;
    const std::uint32_t elapsedMs = static_cast<std::uint32_t>(platform::TickCount()) - r.playStartTick;  // counts across a wrap
    std::uint64_t position = 0;
    platform::WaveGetPosition(r.device, position);  // only asked, as the device's time is not the cursor's
    const auto frames = static_cast<std::uint64_t>(r.format.sampleRate * 0.001 * elapsedMs);
    // The buffer that holds the elapsed frame tells which source frame sounds now.
    const BufferRecord* hit = nullptr;
    const BufferRecord* earliest = &r.records[0];
    const BufferRecord* latest = &r.records[0];
    for (const BufferRecord& rec : r.records) {
        if (rec.outStart < earliest->outStart) earliest = &rec;
        if (rec.outStart > latest->outStart) latest = &rec;
        if (rec.outStart <= frames && frames < rec.outStart + rec.frames) hit = &rec;
    }
    if (!hit) hit = frames < earliest->outStart ? earliest : latest;
    const std::uint64_t offset = frames > hit->outStart ? frames - hit->outStart : 0;
    return hit->SourceAt(offset);
}

void AudioEngine::OnDisplayTick() {
    Run& r = *run_;
    if (block_.bufferDone.load() > 0) {
        if (r.kind == kRunRecord) DrainRecording();
        else FeedPlayback();
        return;
    }
    COLMDoc& doc = *r.doc;
    if (r.kind == kRunRecord) {
        if (doc.playCursor < doc.Info().frames && view_) view_->CursorMoved(doc);
        return;
    }
    const std::uint32_t cursor = CursorNow();
    const std::uint32_t end = r.kind == kRunRegion ? r.regionEnd : doc.Info().frames;
    if (cursor >= end) {
        doc.playCursor = end;
        Stop(doc);
        return;
    }
    doc.playCursor = cursor;
    if (view_) view_->CursorMoved(doc);
    if (doc.view.playbackLevel != r.lastLevel) {
        r.lastLevel = doc.view.playbackLevel;
        ApplyLevel(VolumeFor(doc.view.playbackLevel, doc.Info(), r.kind == kRunRegion));
    }
}

void AudioEngine::ReleaseRun(bool report) {
    Run& r = *run_;
    for (auto& b : r.buffers) std::vector<std::uint8_t>().swap(b);
    if (r.file.IsOpen()) {
        const bool synced = r.kind != kRunRecord || r.file.Sync();
        r.file.Close();
        if (!synced && report) r.doc->Host().Prompts().Message(Text(StringId::PlaybackFileCloseError));
    }
}

void AudioEngine::EndRun(bool touchViews) {
    CloseDevice();
    ReleaseRun(touchViews);
    std::unique_ptr<Run> ended = std::move(run_);
    if (touchViews && view_) view_->RunEnded(*ended->doc, ended->kind == kRunRegion);
}

void AudioEngine::FailRun(const std::string& message) {
    COLMDoc& doc = *run_->doc;
    Stop(doc);
    doc.Host().Prompts().Message(message);
}

void AudioEngine::Stop(COLMDoc& doc) {
    if (!run_ || run_->doc != &doc) {
        if (run_) Stop(*run_->doc);
        else if (recordPending_ != &doc) Rewind(doc);
        return;
    }
    const int kind = run_->kind;
    const std::uint32_t savedCursor = run_->savedCursor;
    CloseDevice();
    ReleaseRun(true);
    if (kind == kRunRecord) {
        recordPending_ = &doc;
        doc.SetDataChanged();
        doc.Undo().Reset();  // a recording cannot be undone
    }
    if (kind == kRunRegion) doc.playCursor = savedCursor;
    run_.reset();
    if (view_) view_->RunEnded(doc, kind == kRunRegion);
    if (kind == kRunRecord && settleOnStop_) SettleRecording(doc);
}

void AudioEngine::SettleRecording(COLMDoc& doc) {
    if (recordPending_ != &doc) return;
    recordPending_ = nullptr;
    if (doc.playCursor > recordStartFrame_) {
        doc.NotifyFramesChanged(recordStartFrame_, doc.playCursor - recordStartFrame_);
        doc.SetDataChanged();
    }
}

void AudioEngine::Rewind(COLMDoc& doc) {
    COLMDoc& target = run_ ? *run_->doc : doc;
    const int kind = run_ ? run_->kind : 0;
    if (kind == kRunRegion) return;
    target.playCursor = 0;
    if (kind == kRunPlay) {
        Stop(target);
        target.playCursor = 0;
        Play(target);
    } else if (kind == kRunRecord) {
        Stop(target);
        target.playCursor = 0;
        Record(target);
    } else if (view_) {
        view_->CursorMoved(target);
    }
}

void AudioEngine::SetLoopMode(COLMDoc& doc, bool on) {
    doc.loopMode = on;
    if (!run_ || run_->doc != &doc || run_->kind != kRunPlay) return;
    Run& r = *run_;
    if (!on) {
        r.stream.LoopModeOff();
        return;
    }
    if (r.stream.LoopModeOn(r.Loop(), doc.playCursor, r.playStartFrame)) {
        doc.playCursor = doc.Info().loopStart;
        RestartPlayback(doc);
    }
}

void AudioEngine::RestartPlayback(COLMDoc& doc) {
    if (!run_ || run_->doc != &doc || run_->kind != kRunPlay) return;
    const std::uint32_t cursor = doc.playCursor;
    Stop(doc);
    doc.playCursor = cursor;
    Play(doc);
}

void AudioEngine::DocumentClosing(COLMDoc& doc) {
    if (run_ && run_->doc == &doc) EndRun(false);
    if (recordPending_ == &doc) recordPending_ = nullptr;
}

}  // namespace pelmora
