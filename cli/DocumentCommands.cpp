// The document commands: open, save, save-as, revert, close, info, and crash recovery.

#include <cstdio>

#include "base/Error.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "display/DocumentWaveform.h"
#include "mp3/Latin1.h"
#include "sound/SoundSummary.h"

namespace pelmora::cli {

namespace {

void Open(CliSession& session, const Args& args) { session.App().Open(args[0]); }

void Save(CliSession& session, const Args&) { session.Current().Save(); }

void SaveAs(CliSession& session, const Args& args) {
    if (!session.Current().SaveAsPath(args[0])) throw Cancelled();
}

void Revert(CliSession& session, const Args&) {
    COLMDoc& doc = session.Current();
    if (!doc.CanRevert()) throw CommandFailure("nothing to revert");
    if (!doc.Revert()) throw Cancelled();
}

void Close(CliSession& session, const Args&) {
    if (!session.App().Close(session.Current())) throw CommandFailure("the document stays open");
}

std::string OneLine(std::string text) {
    for (std::size_t at; (at = text.find('\n')) != std::string::npos;) text.replace(at, 1, " / ");
    return text;
}

void Info(CliSession& session, const Args&) {
    const COLMDoc& doc = session.Current();
    const SoundInfo& s = doc.Info();
    const bool wav = s.fileType == FileType::Wav;
    const bool loopShown = s.loopOn && s.loopStart < s.loopEnd;
    const std::string summary =
        FormatSoundSummary(s.sampleRate, s.bitsPerSample, s.channels, s.frames, s.blockAlign,
                           loopShown, wav ? SummaryKind::Wav : SummaryKind::Aiff);
    const WavInstrument& in = s.instrument;
    std::printf("file_type: %s\n", wav ? "WAV" : "AIFF");
    std::printf("rate: %u\nbits: %u\nchannels: %u\nframes: %u\ndata_offset: %u\n", s.sampleRate,
                s.bitsPerSample, s.channels, s.frames, s.dataOffset);
    std::printf("loop_on: %d\nloop_start: %u\nloop_end: %u\n", s.loopOn ? 1 : 0, s.loopStart,
                s.loopEnd);
    std::printf("unity_note: %u\nfine_tune: %d\nlow_note: %u\nhigh_note: %u\n", in.unityNote,
                in.fineTune, in.lowNote, in.highNote);
    std::printf("low_velocity: %u\nhigh_velocity: %u\ngain: %d\n", in.lowVelocity,
                in.highVelocity, in.gain);
    std::printf("selection_start: %u\nselection_end: %u\n", doc.selectionStart, doc.selectionEnd);
    std::printf("channel_first: %u\nchannel_end: %u\n", s.channelFirst, s.channelEnd);
    std::printf("modified: %d\n", doc.DataChanged() || doc.LoopChanged() ? 1 : 0);
    std::printf("summary: %s\n", OneLine(summary).c_str());
    const TagFields& tag = doc.tag;
    for (auto [key, text] : {std::pair{"tag_title", &tag.title}, {"tag_artist", &tag.artist},
                             {"tag_album", &tag.album}, {"tag_year", &tag.year},
                             {"tag_comment", &tag.comment}})
        std::printf("%s: %s\n", key, Latin1ToUtf8(*text).c_str());
    std::printf("tag_track: %u\ntag_genre: %u\n", tag.track, tag.genre);
    if (DocumentWaveform* waveform = WaveformOf(session.Current())) {
        const WaveformImage& image = waveform->Image();
        std::printf("image_state: %s\nframes_per_point: %u\n", ImageStateName(image.state), image.framesPerPoint);
    }
}

void Recoverable(CliSession& session, const Args&) {
    const auto& leftovers = session.App().Leftovers();
    for (std::size_t i = 0; i < leftovers.size(); ++i)
        std::printf("%zu\t%s\t%s\n", i + 1, leftovers[i].original.c_str(),
                    LocalTimeText(leftovers[i].changedSince).c_str());
}

void Recover(CliSession& session, const Args& args) {
    const std::size_t count = session.App().Leftovers().size();
    if (count == 0) throw CommandFailure("nothing to recover");
    const long long index = ParseInteger(args[0], "INDEX", 1, static_cast<long long>(count));
    session.App().Recover(static_cast<std::size_t>(index - 1));
}

void DiscardRecoverable(CliSession& session, const Args&) { session.App().DiscardLeftovers(); }

}  // namespace

void AppendDocumentCommands(std::vector<CommandSpec>& table) {
    table.push_back({"open", 1, Open, "PATH",
                     "open a WAV or AIFF file; it becomes the current document (an extensible WAV header "
                     "holding plain PCM is opened only with --yes)"});
    table.push_back({"save", 0, Save, "",
                     "Save"});
    table.push_back({"save-as", 1, SaveAs, "PATH",
                     "Save As; the extension chooses WAV or AIFF"});
    table.push_back({"revert", 0, Revert, "",
                     "Revert to the last saved state; unsaved changes are discarded only with --yes"});
    table.push_back({"close", 0, Close, "",
                     "close the current document; the previous one becomes current"});
    table.push_back({"info", 0, Info, "",
                     "print the current document, one key: value a line"});
    table.push_back({"recoverable", 0, Recoverable, "",
                     "list the unsaved documents that runs which ended without closing left in the working "
                     "directory: index, original path and time of the change, tab-separated"});
    table.push_back({"recover", 1, Recover, "INDEX",
                     "open leftover INDEX (from 1) as the current document, titled after its original and "
                     "marked changed"});
    table.push_back({"discard-recoverable", 0, DiscardRecoverable, "",
                     "delete every leftover that recoverable lists"});
}

}  // namespace pelmora::cli
