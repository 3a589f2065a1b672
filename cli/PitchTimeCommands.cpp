// pitch PERCENT, pitch-cents CENTS, time FRAMES: the Pitch Shift and Time Comp/Exp dialogs with
// that value typed into their edit, then OK.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "edit/EffectDialogs.h"
#include "edit/PitchShift.h"
#include "edit/TimeCompExp.h"

namespace pelmora::cli {

namespace {

COLMDoc& WithSelection(CliSession& session) {
    COLMDoc& doc = session.Current();
    if (doc.selectionEnd <= doc.selectionStart) throw CommandFailure("the selection is empty");
    return doc;
}

// A limited value is written back and the dialog stays open; pressing OK again goes on with it.
void PitchWith(CliSession& session, PitchField field, const std::string& text, const char* what) {
    COLMDoc& doc = WithSelection(session);
    PitchDialogModel& dialog = session.App().effectDialogs.pitch;
    dialog.Open();
    const DialogVerdict verdict = dialog.Ok(field, text);
    if (verdict == DialogVerdict::Rejected) throw UsageError(std::string(what) + text);
    PitchShift(doc, dialog.Rate());
}

void PitchCommand(CliSession& session, const Args& args) {
    PitchWith(session, PitchField::Rate, args[0], "PERCENT must be a number of at most 8 characters: ");
}

void PitchCentsCommand(CliSession& session, const Args& args) {
    PitchWith(session, PitchField::Cents, args[0], "CENTS must be a whole number of at most 8 characters: ");
}

void TimeCommand(CliSession& session, const Args& args) {
    COLMDoc& doc = WithSelection(session);
    if (!TimeCompExpApplies(doc)) {
        throw CommandFailure(doc.selectionEnd - doc.selectionStart < kTimeCompExpMinFrames
                                 ? "the selection is shorter than 4 frames"
                                 : "Time Comp/Exp needs both channels selected");
    }
    TimeDialogModel& dialog = session.App().effectDialogs.time;
    dialog.Open(doc.selectionEnd - doc.selectionStart);
    if (dialog.Ok(TimeField::Modified, args[0]) == DialogVerdict::Rejected)
        throw UsageError("FRAMES must be a whole number of at most 10 characters: " + args[0]);
    TimeCompExp(doc, dialog.Modified());
}

}  // namespace

void AppendPitchTimeCommands(std::vector<CommandSpec>& table) {
    table.push_back({"pitch", 1, PitchCommand, "PERCENT", "Pitch Shift of the selected channels by a rate in percent",
                     "The rate as typed into the dialog's Rate[%] edit (at most 8 characters), 75.0 to 125.0; a rate "
                     "outside is limited and the command goes on. The length does not change. The rate and its cents "
                     "are remembered for the next pitch command."});
    table.push_back({"pitch-cents", 1, PitchCentsCommand, "CENTS", "Pitch Shift of the selected channels by cents",
                     "A whole number of cents (at most 8 characters); 386 or more is 125 %, below -497 is -498 "
                     "cents (75 %); otherwise the rate is 100 x 2^(cents/1200)."});
    table.push_back({"time", 1, TimeCommand, "FRAMES", "Time Comp/Exp of the selection to FRAMES frames",
                     "The modified length as typed into the dialog (at most 10 characters), limited to the integer "
                     "parts of 0.75 and 1.25 times the selection; the frames after the selection, the loop and the "
                     "markers follow. Needs every channel selected and a selection of at least 4 frames."});
}

}  // namespace pelmora::cli
