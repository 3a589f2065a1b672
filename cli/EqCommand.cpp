// eq LG LF LQ MG MF MQ HG HF HQ: the "Parametric Equalizer" dialog with these nine values, then
// "EQ".

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "edit/EffectDialogs.h"
#include "edit/Equalizer.h"

namespace pelmora::cli {

namespace {

void EqCommand(CliSession& session, const Args& args) {
    COLMDoc& doc = session.Current();
    if (doc.selectionEnd <= doc.selectionStart) throw CommandFailure("the selection is empty");
    EqDialogModel& dialog = session.App().effectDialogs.eq;
    dialog.Open(doc.Info().sampleRate);
    EqTexts texts;
    for (std::size_t band = 0; band < 3; ++band)
        for (std::size_t field = 0; field < 3; ++field) texts[band][field] = args[band * 3 + field];
    EqDialogModel::Edit rejected;
    DialogVerdict verdict = dialog.Ok(texts, &rejected);
    // Corrected values are written back; pressing "EQ" again goes on with them.
    if (verdict == DialogVerdict::CorrectedStayOpen) verdict = dialog.Ok(dialog.Texts());
    if (verdict != DialogVerdict::Accepted) {
        static const char* const kNames[3][3] = {{"LG", "LF", "LQ"}, {"MG", "MF", "MQ"}, {"HG", "HF", "HQ"}};
        const char* shelf = rejected.band == kEqLow ? " or LSF" : rejected.band == kEqHigh ? " or HSF" : "";
        const auto field = static_cast<std::size_t>(rejected.field);
        throw UsageError(std::string(kNames[rejected.band][field]) + " must be a number of at most 5 characters" +
                         (rejected.field == EqField::Q ? shelf : "") + ": " +
                         texts[static_cast<std::size_t>(rejected.band)][field]);
    }
    Equalize(doc, dialog.Bands());
}

}  // namespace

void AppendEqCommands(std::vector<CommandSpec>& table) {
    table.push_back({"eq", 9, EqCommand, "LG LF LQ MG MF MQ HG HF HQ",
                     "EQ: gain dB, frequency Hz and Q of the low, mid and high bands",
                     "Each value as typed into the dialog's edit (at most 5 characters). A low Q of LSF (or "
                     "below 1) makes a low shelf, a high Q of HSF a high shelf. Gains are limited to -20.0 to "
                     "20.0 and rounded to 0.1 dB, Q to 10, frequencies to 100 Hz to (rate - 1) / 2 and to the "
                     "order low <= mid <= high (high at most 24000); the command goes on with the corrected "
                     "values. With every gain 0 nothing changes and the command succeeds."});
}

}  // namespace pelmora::cli
