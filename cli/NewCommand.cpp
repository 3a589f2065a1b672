// new TYPE CH BITS RATE DATA AMP FREQ LENGTH: the New dialog with these values.

#include "base/Error.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "document/NewDialogModel.h"
#include "document/NewSoundFile.h"
#include "document/TempFiles.h"

namespace pelmora::cli {

namespace {

constexpr long long kAnyNumber = 0x7FFFFFFFLL;

void SetAmplitude(NewDialogModel& model, const std::string& text) {
    static constexpr AmplitudeChoice kPresets[] = {AmplitudeChoice::Full,
                                                   AmplitudeChoice::JustUnderFull,
                                                   AmplitudeChoice::Half,
                                                   AmplitudeChoice::ThreeQuarters};
    static constexpr const char* kWords[] = {"full", "under", "half", "3/4"};
    for (int i = 0; i < 4; ++i) {
        if (text == kWords[i]) {
            model.SetAmplitude(kPresets[i]);
            return;
        }
    }
    model.SetAmplitude(AmplitudeChoice::Others);
    model.SetOtherAmplitude(ParseInteger(text, "AMP", -kAnyNumber, kAnyNumber));
}

void SetLength(NewDialogModel& model, const std::string& text) {
    const std::size_t ms = text.size() > 2 ? text.rfind("ms") : std::string::npos;
    if (ms != std::string::npos && ms == text.size() - 2) {
        const long long milliseconds = ParseInteger(text.substr(0, ms), "LENGTH", 0, kAnyNumber * 1000);
        model.SetLengthMode(LengthMode::InTime);
        model.SetTime(0, milliseconds / 1000, milliseconds % 1000);
        return;
    }
    model.SetLengthMode(LengthMode::InSample);
    model.SetFrames(ParseInteger(text, "LENGTH", 0, kAnyNumber));
}

void New(CliSession& session, const Args& args) {
    NewDialogModel model;
    model.SetFileType(ParseChoice(args[0], "TYPE", {"wav", "aiff"}) == 0 ? FileType::Wav
                                                                        : FileType::Aiff);
    model.SetStereo(ParseChoice(args[1], "CH", {"1", "2"}) == 1);
    model.SetBits(ParseInteger(args[2], "BITS", -kAnyNumber, kAnyNumber));
    model.SetRate(ParseInteger(args[3], "RATE", -kAnyNumber, kAnyNumber));
    model.SetData(static_cast<InitialData>(ParseChoice(
        args[4], "DATA", {"silence", "garbage", "sine", "triangle", "sawtooth", "square"})));
    SetAmplitude(model, args[5]);
    model.SetFrequency(ParseInteger(args[6], "FREQ", -kAnyNumber, kAnyNumber));
    SetLength(model, args[7]);

    // Pressing "New" again after a silent correction, as a user would; a message ends it.
    for (int press = 0;; ++press) {
        const NewValidation check = model.Validate(FreeSpaceOnDrive(session.App().WorkDir()));
        if (check.verdict == NewVerdict::Accepted) break;
        if (!check.message.empty() || press == 3) throw DialogMessage(check.message);
    }
    const std::string path =
        CreateNewSoundFile(model.Request(), session.App().WorkDir(), session.Progress());
    session.App().OpenMadeFile(path);
}

}  // namespace

void AppendNewCommand(std::vector<CommandSpec>& table) {
    table.push_back({"new", 8, New, "TYPE CH BITS RATE DATA AMP FREQ LENGTH",
                     "a new sound, as the New dialog makes it",
                     "TYPE wav|aiff, CH 1|2, DATA silence|garbage|sine|triangle|sawtooth|square, "
                     "AMP full|under|half|3/4 or a number, FREQ in Hz, LENGTH in frames or as 1500ms"});
}

}  // namespace pelmora::cli
