#include "mp3/Mp3Export.h"

#include <algorithm>

#include "base/Error.h"
#include "codec/Mp3Encoder.h"
#include "document/TempFiles.h"
#include "mp3/EncoderInput.h"
#include "mp3/Id3Tag.h"
#include "mp3/PlainWav.h"
#include "mp3/ScratchFile.h"

namespace pelmora {

namespace {

struct ProgressScope {
    ProgressTask& progress;
    ~ProgressScope() { progress.End(); }
};

// Whether `path` is a file some open document works on: writing it would pull the sound
// from under that document.
bool BelongsToADocument(COLMDoc& doc, const std::string& path) {
    const std::string wanted = platform::CanonicalPath(path);
    for (const std::string* own : {&doc.WorkingPath(), &doc.OriginalPath()})
        if (!own->empty() && platform::CanonicalPath(*own) == wanted) return true;
    return doc.Host().IsOpenInOtherDocument(path, doc);
}

std::unique_ptr<codec::Mp3Encoder> PrepareEncoder(const WavForEncoder& wav,
                                                  const Mp3ExportChoice& choice) {
    if (wav.format.formatTag != kWavFormatPcm || wav.format.bitsPerSample != 16)
        throw Error(StringId::FailedToReadUndoFile);
    auto encoder = codec::Mp3Encoder::Open(wav.format.sampleRate, wav.format.channels, choice.quality);
    if (!encoder) throw Error(StringId::FailedToEncode);
    const auto& formats = encoder->Formats();
    if (choice.formatIndex < 0 || static_cast<std::size_t>(choice.formatIndex) >= formats.size())
        throw Error(StringId::FailedToEncode);
    const codec::EncoderFormat format = formats[static_cast<std::size_t>(choice.formatIndex)];
    // Set twice, as the encoder allows; the second answer decides.
    encoder->SetFormat(format);
    if (!encoder->SetFormat(format)) throw Error(StringId::FailedToEncode);
    return encoder;
}

// The encoding loop: the data in 2304-byte blocks, each fed until the encoder has taken it
// all, then the flush. Returns where the MP3 data ends.
std::uint64_t Encode(codec::Mp3Encoder& encoder, const WavForEncoder& wav,
                     const std::string& wavPath, platform::File& mp3, ProgressTask& progress) {
    platform::File in(wavPath, platform::OpenMode::Read);
    if (!in.IsOpen()) throw Error(StringId::CantOpenUndoFile);
    BufferedAppender out(mp3, 0);
    const std::uint64_t blocks = (wav.dataBytes + kEncodeInputBytes - 1) / kEncodeInputBytes;
    ProgressScope scope{progress};
    progress.Start(StringId::EncodingMp3File);
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, UINT32_MAX)));
    std::uint8_t block[kEncodeInputBytes];
    std::uint8_t encoded[kEncodeOutputBytes];
    std::size_t have = 0, used = 0;
    std::uint64_t read = 0, step = 0;
    for (;;) {
        bool finished = false;
        if (used == have) {
            have = static_cast<std::size_t>(std::min<std::uint64_t>(kEncodeInputBytes, wav.dataBytes - read));
            used = 0;
            if (have > 0 && !in.ReadAt(wav.dataOffset + read, block, have))
                throw Error(StringId::FileReadError);
            read += have;
            finished = have == 0;
            if (!finished) {
                progress.Step(++step, blocks);
                if (progress.CancelRequested()) throw Cancelled();
            }
        }
        std::size_t consumed = 0;
        const int written = encoder.Encode(block + used, have - used, consumed, encoded, sizeof encoded);
        // An encoder failure is a failed export, not the end of the data.
        if (written < 0) throw Error(StringId::FailedToEncode);
        if (finished && written == 0) break;
        used += consumed;
        out.Append(encoded, static_cast<std::size_t>(written));
    }
    out.Flush();
    // The first frame gets the stream's real length, so that decoders trim the padding.
    const std::vector<std::uint8_t> info = encoder.InfoFrame();
    if (!info.empty() && info.size() <= out.End() && !mp3.WriteAt(0, info.data(), info.size()))
        throw Error(WriteFailure());
    return out.End();
}

}  // namespace

bool ExportMp3(COLMDoc& doc, const std::string& path, const Mp3ExportChoice& choice) {
    DocumentHost& host = doc.Host();
    if (BelongsToADocument(doc, path))
        throw Error(StringId::AlreadyOpenedCannotSave,
                    FormatText(StringId::AlreadyOpenedCannotSave, path.c_str()));
    if (platform::FileExists(path) &&
        host.Prompts().Ask(Text(StringId::Mp3FileExistsOverwrite), Buttons::OkCancel) != Answer::Ok)
        return false;
    const SoundInfo& info = doc.Info();
    // The new file is written beside an existing one before it replaces it, so the room is
    // needed either way.
    const std::uint64_t needed = static_cast<std::uint64_t>(info.channels) * info.frames * 4 + 1024;
    if (InsufficientSpaceOnDrive(path, needed)) throw Error(StringId::EmptyDiskSpace);

    ScratchFile input = MakeEncoderInput(doc);
    const WavForEncoder wav = ReadWavForEncoder(input.Path());
    auto output = ScratchFile::Create(platform::FolderOf(path),
                                      "." + platform::FileNameOf(path) + ".part", "");
    if (!output) throw Error(StringId::CantOpenMp3Output);
    platform::File mp3(output->Path(), platform::OpenMode::ReadWrite);
    if (!mp3.IsOpen()) throw Error(StringId::CantOpenMp3Output);
    auto encoder = PrepareEncoder(wav, choice);

    const std::uint64_t end = Encode(*encoder, wav, input.Path(), mp3, host.Progress());
    if (choice.writeTag) {
        const auto tag = EncodeId3v1(doc.tag);
        if (!mp3.WriteAt(end, tag.data(), tag.size())) throw Error(WriteFailure());
    }
    mp3.Close();
    if (!output->CommitAs(path)) throw Error(StringId::CantOpenMp3Output);
    return true;
}

}  // namespace pelmora
