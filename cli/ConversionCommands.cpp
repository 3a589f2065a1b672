// convert-bits, add-channel, delete-channel, swap-channels, to-aiff, to-wav, hd-align: the File
// menu's whole-file conversions. A conversion the menu would show disabled fails as such.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "document/Conversions.h"
#include "edit/ResampleDialogModel.h"

namespace pelmora::cli {

namespace {

COLMDoc& WithFrames(CliSession& session) {
    COLMDoc& doc = session.Current();
    if (!CanConvertBitSize(doc)) throw CommandFailure("disabled: the sound has no frames");
    return doc;
}

void ConvertBitsCommand(CliSession& session, const Args& args) {
    const int choice = ParseChoice(args[0], "BITS", {"8", "16", "24", "32"});
    COLMDoc& doc = WithFrames(session);
    const auto bytes = static_cast<std::uint16_t>(choice + 1);
    if (bytes == doc.Info().bytesPerSample) throw CommandFailure("the sound already has that bit size");
    ConvertBitSize(doc, bytes);
}

void AddChannelCommand(CliSession& session, const Args&) {
    COLMDoc& doc = WithFrames(session);
    if (!CanAddChannel(doc)) throw CommandFailure("disabled: Add Channel needs a mono sound");
    AddChannel(doc);
}

COLMDoc& Stereo(CliSession& session, const char* command) {
    COLMDoc& doc = WithFrames(session);
    if (!CanDeleteOrSwapChannels(doc)) throw CommandFailure(std::string("disabled: ") + command + " needs a stereo sound");
    return doc;
}

void DeleteChannelCommand(CliSession& session, const Args& args) {
    const int channel = ParseChoice(args[0], "the channel", {"1", "2"});
    DeleteChannel(Stereo(session, "Delete Channel"), channel);
}

void SwapChannelsCommand(CliSession& session, const Args&) { SwapChannels(Stereo(session, "Swap Channels")); }

void ToOtherType(CliSession& session, FileType from) {
    COLMDoc& doc = WithFrames(session);
    if (doc.Info().fileType != from)
        throw CommandFailure(from == FileType::Wav ? "disabled: the sound is an AIFF already"
                                                    : "disabled: the sound is a WAV already");
    if (!ConvertToOtherType(doc)) throw CommandFailure("the file at the new name was kept");
}

void ToAiffCommand(CliSession& session, const Args&) { ToOtherType(session, FileType::Wav); }
void ToWavCommand(CliSession& session, const Args&) { ToOtherType(session, FileType::Aiff); }

void HdAlignCommand(CliSession& session, const Args&) {
    COLMDoc& doc = WithFrames(session);
    if (!FormatConversionChoices(doc).hdPlayRewrite) throw CommandFailure("disabled: the sound is not an AIFF");
    RewriteAiffHeaderForHdPlay(doc);
}

// The dialog with RATE typed into its edit after ORDER and REJECTION were stepped to; a rate the
// dialog corrects goes on corrected, as pressing OK again would.
void ResampleCommand(CliSession& session, const Args& args) {
    const long long rate = ParseInteger(args[0], "RATE", 0, 999999999);
    const long long order = ParseInteger(args[1], "ORDER", 5, 1025);
    const long long rejection = ParseInteger(args[2], "REJECTION", -100, 0);
    if (!ResampleDialogModel::IsOrderStep(order))
        throw UsageError("ORDER must be one of 5, 9, 17, 33, 65, 129, 257, 513, 1025: " + args[1]);
    if (!ResampleDialogModel::IsRejectionStep(rejection))
        throw UsageError("REJECTION must be one of 0, -10, ... -100: " + args[2]);
    COLMDoc& doc = WithFrames(session);
    ResampleDialogModel dialog;
    dialog.Open(doc.Info().sampleRate);
    while (dialog.Order() < order) dialog.OrderUp();
    while (dialog.Rejection() > rejection) dialog.RejectionDown();
    while (dialog.Rejection() < rejection) dialog.RejectionUp();
    if (dialog.Ok(std::to_string(rate)) == DialogVerdict::CorrectedStayOpen) dialog.Ok(dialog.RateText());
    if (dialog.SameRate()) return;  // the dialog closes and nothing happens
    Resample(doc, dialog.Settings());
}

}  // namespace

void AppendConversionCommands(std::vector<CommandSpec>& table) {
    table.push_back({"convert-bits", 1, ConvertBitsCommand, "8|16|24|32", "Convert Bit Size to BITS bits per sample",
                     "Each sample is shifted by 8 x the difference in bytes: left when widening, arithmetic right "
                     "when narrowing; no dither, no rounding. Fails on the sound's own size. Undoable as a whole."});
    table.push_back({"add-channel", 0, AddChannelCommand, "", "Add Channel: a mono sound becomes stereo with a silent right channel"});
    table.push_back({"delete-channel", 1, DeleteChannelCommand, "1|2",
                     "\"Delete Ch1\" (the right channel stays) or \"Delete Ch2\" (the left stays); the sound becomes mono"});
    table.push_back({"swap-channels", 0, SwapChannelsCommand, "", "Swap Channels of a stereo sound"});
    table.push_back({"to-aiff", 0, ToAiffCommand, "", "Format Conversion WAVE -> AIFF",
                     "The loop and instrument data become MARK and INST chunks. A file edited in place (--no-backup) "
                     "is renamed to .aif; an existing file of that name is replaced only with --yes. With File Backup "
                     "on the title changes and the next save writes the .aif and removes the .wav."});
    table.push_back({"to-wav", 0, ToWavCommand, "", "Format Conversion AIFF -> WAVE",
                     "The loop becomes a 'smpl' chunk, the instrument data an 'inst' chunk, other markers cue points. "
                     "Renaming as for to-aiff, to .wav."});
    table.push_back({"hd-align", 0, HdAlignCommand, "", "Rewrite AIFF Header for HD Play Mode",
                     "The chunks before SSND stay; a pad chunk puts the sample data at a multiple of 512 bytes (or 8 "
                     "before one)."});
    table.push_back({"resample", 3, ResampleCommand, "RATE ORDER REJECTION",
                     "Resample to RATE Hz with a FIR filter of ORDER taps and REJECTION dB",
                     "RATE is limited to 11025 ... 48000 as the dialog limits it; the document's own rate does "
                     "nothing. ORDER is one of 5, 9, 17, ... 1025, REJECTION one of 0, -10, ... -100. The loop "
                     "points become their integer part x new rate / old rate. Upsampling uses a cut-off at half the "
                     "input rate, which leaves the filter a single tap: every order and rejection then interpolate "
                     "linearly between neighbouring frames, and each output is centred one input frame late."});
}

}  // namespace pelmora::cli
