#pragma once
// Plays a document's working file, plays its selection, loops, and records into it, through
// three device buffers refilled on the interface thread. The timers and the device threads reach
// the engine only through the PlaybackBlock and the message pipe; everything else runs on the
// thread that calls these functions. One document at a time.

#include <cstdint>
#include <memory>

#include "audio/PlayStream.h"
#include "audio/SoundDevices.h"
#include "display/WaveformView.h"
#include "document/COLMDoc.h"
#include "platform/MessagePipe.h"
#include "quorlib/PlaybackBlock.h"

namespace pelmora {

// What the windows do when a run starts, moves and ends; the headless driver needs none of it.
class TransportView {
public:
    virtual ~TransportView() = default;
    // The frame's window commands lock, the panes' one-second timers stop.
    virtual void RunStarted(COLMDoc&) {}
    // The play cursor moved (display tick), or an idle Rewind put it at 0.
    virtual void CursorMoved(COLMDoc&) {}
    // The run ended: unlock, restart the timers, redraw (for Play, scroll to the cursor).
    virtual void RunEnded(COLMDoc&, bool /*regionPlay*/) {}
};

enum class StartResult {
    Started,
    Ignored,  // the command does nothing now (something plays, no frames)
    Failed,   // the start failed; its message, if any, was shown
};

class AudioEngine {
public:
    explicit AudioEngine(SoundDevices& devices);
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    void SetView(TransportView* view) { view_ = view; }
    // The headless driver has no Record button whose update settles a recording: Stop does it.
    void SetSettleOnStop(bool settle) { settleOnStop_ = settle; }

    // The pipe the timers post to; the driver waits on its read end.
    const platform::MessagePipe& Messages() const { return pipe_; }
    // WM_AUDIO_FEED or WM_AUDIO_TICK; others are ignored.
    void HandleMessage(std::uint32_t message);
    // Handles every message waiting in the pipe.
    void PumpMessages();

    StartResult Play(COLMDoc& doc);
    StartResult RegionPlay(COLMDoc& doc);
    StartResult Record(COLMDoc& doc);
    // Stops the running document; on an idle document (nothing else running) it rewinds.
    void Stop(COLMDoc& doc);
    void Rewind(COLMDoc& doc);
    // Loop Mode: switched during play, the stream follows at once.
    void SetLoopMode(COLMDoc& doc, bool on);
    // Playback goes on from the play cursor (after Catch Loop Start or End).
    void RestartPlayback(COLMDoc& doc);
    // After a recording: the image of the recorded frames is rebuilt and the document marked
    // changed, once. The Record button's update calls it once the button is released.
    void SettleRecording(COLMDoc& doc);
    // The document is going away: a run of it stops without touching its windows.
    void DocumentClosing(COLMDoc& doc);

    COLMDoc* Active() const;
    Transport TransportOf(const COLMDoc& doc) const;
    bool RecordPending(const COLMDoc& doc) const { return recordPending_ == &doc; }
    SoundDevices& Devices() { return devices_; }
    const PlaybackBlock& Block() const { return block_; }

    // The device volume of a playback level: level × 255 in each half, 0 on the silent side of
    // a one-channel region play of a stereo sound.
    static std::uint32_t VolumeFor(std::uint8_t level, const SoundInfo& info, bool regionPlay);

private:
    struct Run;
    StartResult StartRun(COLMDoc& doc, int kind);
    bool StartPlayback();
    bool StartRecording();
    bool OpenDevice(bool output);
    bool StartTimers();
    void StopTimers();
    bool FillBuffer(int index);
    void FeedPlayback();
    void DrainRecording();
    void OnDisplayTick();
    std::uint32_t CursorNow() const;
    void ApplyLevel(std::uint32_t volume);
    void CloseDevice();
    void ReleaseRun(bool report);
    void EndRun(bool touchViews);
    void FailRun(const std::string& message);

    SoundDevices& devices_;
    TransportView* view_ = nullptr;
    bool settleOnStop_ = false;
    platform::MessagePipe pipe_;
    PlaybackBlock block_;
    std::unique_ptr<Run> run_;
    COLMDoc* recordPending_ = nullptr;
    std::uint32_t recordStartFrame_ = 0;
    // The software mixer: the level the output runs at, and the one saved at the start of Play.
    std::uint32_t mixerLevel_ = 0xFFFFFFFFu;
    std::uint32_t savedMixerLevel_ = 0xFFFFFFFFu;
    bool mixerSaved_ = false;
};

}  // namespace pelmora
