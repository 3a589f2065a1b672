// Amplitude operations, Mix and Loop Crossfade, with their dialogs' checks.

#include "base/Error.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "edit/AmplitudeOps.h"
#include "edit/ClipboardOps.h"
#include "edit/DcOffset.h"
#include "edit/DialogNumbers.h"
#include "edit/EffectDialogs.h"
#include "edit/LoopCrossfade.h"
#include "edit/Reverse.h"

namespace pelmora::cli {

namespace {

// The commands below are disabled in the menu without a selection.
COLMDoc& WithSelection(CliSession& session) {
    COLMDoc& doc = session.Current();
    if (doc.selectionEnd <= doc.selectionStart) throw CommandFailure("the selection is empty");
    return doc;
}

EffectDialogs& Dialogs(CliSession& session) { return session.App().effectDialogs; }

void GainCommand(CliSession& session, const Args& args) {
    COLMDoc& doc = WithSelection(session);
    const std::optional<int> rate = Dialogs(session).gain.Ok(GainField::Rate, args[0]);
    if (!rate) throw UsageError("PERCENT must be a whole number: " + args[0]);
    Gain(doc, *rate);
}

void GainDbCommand(CliSession& session, const Args& args) {
    COLMDoc& doc = WithSelection(session);
    const std::optional<int> rate = Dialogs(session).gain.Ok(GainField::Level, args[0]);
    if (!rate) throw UsageError("DB must be a number: " + args[0]);
    Gain(doc, *rate);
}

void NormalizeCommand(CliSession& session, const Args& args) {
    COLMDoc& doc = WithSelection(session);
    NormalizeDialogModel& dialog = Dialogs(session).normalize;
    DialogVerdict verdict = dialog.Ok(args[0]);
    // A limited value is written back; pressing OK again goes on with it.
    if (verdict == DialogVerdict::CorrectedStayOpen) verdict = dialog.Ok(std::to_string(dialog.Rate()));
    if (verdict != DialogVerdict::Accepted) throw UsageError("PERCENT must be a whole number: " + args[0]);
    Normalize(doc, dialog.Rate());
}

void FadeInCommand(CliSession& session, const Args&) { FadeIn(WithSelection(session)); }
void FadeOutCommand(CliSession& session, const Args&) { FadeOut(WithSelection(session)); }
void InvertCommand(CliSession& session, const Args&) { Invert(WithSelection(session)); }
void ReverseCommand(CliSession& session, const Args&) { Reverse(WithSelection(session)); }
void SilenceCommand(CliSession& session, const Args&) { Silence(WithSelection(session)); }

void DcOffsetCommand(CliSession& session, const Args& args) {
    COLMDoc& doc = WithSelection(session);
    DcOffsetDialogModel& dialog = Dialogs(session).dcOffset;
    dialog.SetMode(args[0] == "auto" ? DcOffsetMode::Auto : DcOffsetMode::Specify);
    if (dialog.Ok(args[0]) != DialogVerdict::Accepted)
        throw UsageError("the offset must be auto or a whole number of at most 8 characters: " + args[0]);
    DcOffset(doc, dialog.Mode(), dialog.Value());
}

void MixCommand(CliSession& session, const Args&) {
    const Clip& clip = session.App().GetClip();
    if (!clip.info.valid) throw CommandFailure("the clip is empty");
    if (!Mix(session.Current(), clip)) throw Cancelled();
}

void CrossfadeCommand(CliSession& session, const Args& args) {
    COLMDoc& doc = session.Current();
    if (doc.Info().loopEnd == doc.Info().loopStart) throw CommandFailure("the loop is empty");
    CrossfadeDialogModel& dialog = Dialogs(session).crossfade;
    const auto type = static_cast<CrossfadeType>(ParseChoice(args[0], "the type", {"sustain", "release"}));
    const auto curve = static_cast<CrossfadeCurve>(ParseChoice(args[3], "the curve", {"linear", "+exp", "-exp"}));
    dialog.Open(doc.Info());
    dialog.SetType(type);
    dialog.SetCurve(curve);
    // Entries above a maximum become the maximum, as the edits do.
    if (!dialog.CommitSustainText(args[1])) throw UsageError("SUSTAIN% must be a whole number: " + args[1]);
    if (!ParseWholeNumber(args[2])) throw UsageError("RELEASE% must be a whole number: " + args[2]);
    // The release edit is disabled for "Sustain", so its text is not taken then.
    if (dialog.ReleaseControlsEnabled()) dialog.CommitReleaseText(args[2]);
    if (!LoopCrossfade(doc, dialog.Type(), dialog.SustainPercent(), dialog.ReleasePercent(), dialog.Curve()))
        throw CommandFailure("the crossfade is 0 frames long");
}

}  // namespace

void AppendAmplitudeCommands(std::vector<CommandSpec>& table) {
    table.push_back({"gain", 1, GainCommand, "PERCENT",
                     "Gain by a whole percent (below 1 gives 0, above 200 gives 200)"});
    table.push_back({"gain-db", 1, GainDbCommand, "DB",
                     "Gain by a level in dB (the dialog's dB-to-rate rule)"});
    table.push_back({"normalize", 1, NormalizeCommand, "PERCENT",
                     "Normalize the peak to PERCENT of full scale (70 to 110)"});
    table.push_back({"fade-in", 0, FadeInCommand, "",
                     "Fade In over the selection"});
    table.push_back({"fade-out", 0, FadeOutCommand, "",
                     "Fade Out over the selection"});
    table.push_back({"invert", 0, InvertCommand, "",
                     "Invert the selection"});
    table.push_back({"reverse", 0, ReverseCommand, "",
                     "Reverse the selection"});
    table.push_back({"silence", 0, SilenceCommand, "",
                     "Silence the selection"});
    table.push_back({"dc-offset", 1, DcOffsetCommand, "auto|VALUE",
                     "DC Offset: remove the measured average, or add VALUE"});
    table.push_back({"mix", 0, MixCommand, "",
                     "Mix the clip into the sound at the selection start"});
    table.push_back({"crossfade", 4, CrossfadeCommand,
                     "sustain|release SUSTAIN% RELEASE% linear|+exp|-exp", "Loop Crossfade"});
}

}  // namespace pelmora::cli
