// The transport commands: devices, play, region-play, stop, loop-mode, locate, record, and the
// two ways of letting time pass, wait (handling the engine's messages) and sleep (not).

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>

#include "audio/TransportRules.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "display/ParameterFields.h"
#include "platform/Interrupt.h"

namespace pelmora::cli {

namespace {

using Clock = std::chrono::steady_clock;

AudioEngine& Engine(CliSession& session) {
    session.App().EnumerateDevices();
    return session.App().audio;
}

void Refuse(const char* reason) {
    if (reason) throw CommandFailure(std::string("disabled: ") + reason);
}

void Started(StartResult result, const char* what) {
    if (result == StartResult::Failed) throw CommandFailure(std::string(what) + " could not start");
}

void PrintList(const char* heading, const std::vector<SoundDevice>& list, const SoundDevice* selected) {
    std::printf("%s\n", heading);
    for (const SoundDevice& d : list) {
        const std::string id = d.id == platform::kWaveMapper ? std::string("mapper") : std::to_string(d.id);
        std::printf("%c %s %s (%04x:%04x)\n", &d == selected ? '*' : ' ', id.c_str(), d.caps.productName.c_str(),
                    d.caps.mid, d.caps.pid);
    }
}

void Devices(CliSession& session, const Args&) {
    SoundDevices& devices = Engine(session).Devices();
    PrintList("input:", devices.Inputs(), devices.SelectedInput());
    PrintList("output:", devices.Outputs(), devices.SelectedOutput());
}

void Play(CliSession& session, const Args&) {
    COLMDoc& doc = session.Current();
    AudioEngine& engine = Engine(session);
    Refuse(WhyPlayDisabled(engine, doc, false));
    Started(engine.Play(doc), "playback");
}

void RegionPlay(CliSession& session, const Args&) {
    COLMDoc& doc = session.Current();
    AudioEngine& engine = Engine(session);
    Refuse(WhyRegionPlayDisabled(engine, doc, false));
    Started(engine.RegionPlay(doc), "playback");
}

void Record(CliSession& session, const Args&) {
    COLMDoc& doc = session.Current();
    AudioEngine& engine = Engine(session);
    Refuse(WhyRecordDisabled(engine, doc));
    Started(engine.Record(doc), "recording");
}

void Stop(CliSession& session, const Args&) { Engine(session).Stop(session.Current()); }

void LoopMode(CliSession& session, const Args& args) {
    const bool on = ParseChoice(args[0], "loop mode", {"off", "on"}) == 1;
    Engine(session).SetLoopMode(session.Current(), on);
}

void Locate(CliSession& session, const Args& args) {
    COLMDoc& doc = session.Current();
    const long long frame = ParseInteger(args[0], "FRAME", 0, 0xFFFFFFFFll);
    const Transport transport = Engine(session).TransportOf(doc);
    if (transport != Transport::Idle) throw CommandFailure("disabled: the sound is playing or recording");
    constexpr int kPlayLocationFrames = 4;  // the play location group's frame field
    CommitField(doc, kPlayLocationFrames, std::to_string(frame), {session.App().snapMode, transport});
}

void Wait(CliSession& session, const Args& args) {
    double seconds = 0;
    std::size_t used = 0;
    try {
        seconds = std::stod(args[0], &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != args[0].size() || !(seconds >= 0) || seconds > 86400)
        throw UsageError("SECONDS must be a number from 0 to 86400: " + args[0]);
    RunEngineFor(session, std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
}

void Sleep(CliSession&, const Args& args) {
    const long long ms = ParseInteger(args[0], "MS", 0, 86400000);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

bool RunEngineFor(CliSession& session, std::chrono::steady_clock::duration limit) {
    AudioEngine& engine = session.App().audio;
    const auto deadline = Clock::now() + limit;
    while (engine.Active()) {
        if (platform::InterruptPending()) {
            // Ctrl-C stops the sound as Stop does.
            platform::ClearInterrupt();
            engine.Stop(*engine.Active());
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return true;
        if (engine.Messages().Wait(static_cast<int>(std::min<long long>(left, 50)))) engine.PumpMessages();
    }
    return false;
}

void AppendTransportCommands(std::vector<CommandSpec>& table) {
    table.push_back({"devices", 0, Devices, "", "prints the input and output devices, the selected ones marked *",
                     "One `* ID NAME (MID:PID)` line each. With PELMORA_AUDIO=null[:IN.wav[:OUT.wav]] the null "
                     "device, which records IN.wav and plays into OUT.wav in real time, is the only one."});
    table.push_back({"play", 0, Play, "", "starts playing the document and returns at once",
                     "From the play location (from 0 when it is at the end). Fails on 24- and 32-bit sounds."});
    table.push_back({"region-play", 0, RegionPlay, "", "starts playing the selection on its selected channels",
                     "The play location comes back when it ends. Fails with an empty selection."});
    table.push_back({"stop", 0, Stop, "", "Stop; on a document that does not play, the play location goes to 0"});
    table.push_back({"loop-mode", 1, LoopMode, "on|off", "Loop Mode; during play the stream follows at once"});
    table.push_back({"locate", 1, Locate, "FRAME", "sets the play location, as typing it into the parameter pane does",
                     "Beyond the end it becomes the frame count. Fails while a sound plays or records."});
    table.push_back({"record", 0, Record, "", "starts recording over the sound from the play location",
                     "It ends at the end of the sound or at stop; the document's undo is discarded."});
    table.push_back({"wait", 1, Wait, "SECONDS", "handles the sound's messages until then, or until it stops by itself"});
    table.push_back({"sleep", 1, Sleep, "MS", "does nothing for MS milliseconds, as a long blocking operation would"});
}

bool AllowedWhileSoundRuns(const std::string& command) {
    static const char* const allowed[] = {"devices", "play",   "region-play", "stop",   "loop-mode",
                                          "locate",  "record", "wait",        "sleep",  "info",
                                          "select",  "select-all", "channels",  "loop", "select-loop",
                                          "loop-to-selection"};
    for (const char* name : allowed)
        if (command == name) return true;
    return false;
}

}  // namespace pelmora::cli
