#include "mp3/EncoderInput.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/Error.h"
#include "document/FileCopy.h"
#include "document/SoundFileIo.h"
#include "document/TempFiles.h"
#include "mp3/PlainWav.h"
#include "sound/SampleCodec.h"
#include "sound/SampleConvert.h"

namespace pelmora {

namespace {

constexpr std::size_t kBlockBytes = 32768;

ScratchFile Create(const std::string& workDir, std::string_view stem) {
    auto file = ScratchFile::Create(workDir, stem, ".wav");
    if (!file) throw Error(StringId::FileCreatingError);
    return std::move(*file);
}

// Ends the display on the way out, whatever happens.
struct ProgressScope {
    ProgressTask& progress;
    ~ProgressScope() { progress.End(); }
};

// Streams the data of `from` block by block through `convert` (input bytes, frames, output)
// into `to` after a plain header of `format`, under the export's progress display with ESC.
template <typename Convert>
void ConvertData(const WavForEncoder& from, const std::string& fromPath, const std::string& toPath,
                 const PlainWavFormat& format, ProgressTask& progress, Convert convert) {
    platform::File in(fromPath, platform::OpenMode::Read);
    platform::File out(toPath, platform::OpenMode::ReadWrite);
    if (!in.IsOpen()) throw Error(StringId::FileReadError);
    if (!out.IsOpen()) throw Error(StringId::FileCreatingError);
    const std::uint32_t inFrameBytes = from.format.BlockAlign();
    const std::uint32_t outFrameBytes = format.BlockAlign();
    const std::uint64_t frames = from.dataBytes / inFrameBytes;
    const std::uint64_t outBytes = frames * outFrameBytes;
    if (outBytes > 0xFFFFFFFFull - kPlainWavHeaderBytes) throw Error(WriteFailure());
    if (!WritePlainWavHeader(out, format, static_cast<std::uint32_t>(outBytes)))
        throw Error(WriteFailure());
    const std::uint64_t blockFrames = kBlockBytes / std::max(inFrameBytes, outFrameBytes);
    const std::uint64_t blocks = (frames + blockFrames - 1) / blockFrames;
    std::vector<std::uint8_t> inBuffer(blockFrames * inFrameBytes);
    std::vector<std::uint8_t> outBuffer(blockFrames * outFrameBytes);
    ProgressScope scope{progress};
    progress.Start(StringId::EncodingMp3File);
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, UINT32_MAX)));
    std::uint64_t block = 0;
    for (std::uint64_t done = 0; done < frames; done += blockFrames) {
        const std::uint64_t n = std::min(blockFrames, frames - done);
        if (!in.ReadAt(from.dataOffset + done * inFrameBytes, inBuffer.data(), n * inFrameBytes))
            throw Error(StringId::FileReadError);
        convert(inBuffer.data(), n * from.format.channels, outBuffer.data());
        if (!out.WriteAt(kPlainWavHeaderBytes + done * outFrameBytes, outBuffer.data(),
                         n * outFrameBytes)) {
            throw Error(WriteFailure());
        }
        progress.Step(++block, blocks);
        if (progress.CancelRequested()) throw Cancelled();
    }
}

// First pass: every sample widened to 32 bits and stored as a float of value ÷ 2^31.
void WidenToFloat(const WavForEncoder& wav, const std::string& fromPath, const std::string& toPath,
                  ProgressTask& progress) {
    const PlainWavFormat format{kWavFormatFloat, wav.format.channels, wav.format.sampleRate, 32};
    const int bytes = wav.format.BlockAlign() / wav.format.channels;
    WithSampleCodec(FileType::Wav, bytes, [&](auto codec) {
        using Codec = decltype(codec);
        constexpr int shift = 32 - 8 * Codec::kBytes;
        ConvertData(wav, fromPath, toPath, format, progress,
                    [](const std::uint8_t* in, std::uint64_t samples, std::uint8_t* out) {
                        for (std::uint64_t i = 0; i < samples; ++i) {
                            const auto widened = static_cast<std::int32_t>(
                                static_cast<std::uint32_t>(Codec::Read(in + i * Codec::kBytes)) << shift);
                            WriteFloatSample(FileType::Wav, out + i * 4, widened);
                        }
                    });
    });
}

// Second pass: the floats back to 16-bit samples.
void FloatTo16Bit(const WavForEncoder& wav, const std::string& fromPath, const std::string& toPath,
                  ProgressTask& progress) {
    const PlainWavFormat format{kWavFormatPcm, wav.format.channels, wav.format.sampleRate, 16};
    ConvertData(wav, fromPath, toPath, format, progress,
                [](const std::uint8_t* in, std::uint64_t samples, std::uint8_t* out) {
                    for (std::uint64_t i = 0; i < samples; ++i)
                        SampleCodec<FileType::Wav, 2>::Write(out + i * 2, NarrowFloatSample(in + i * 4));
                });
}

// Cuts the file after its sample data, so that it ends with the last sample whatever chunks
// followed the data or where the data started.
void CutAfterData(const std::string& path) {
    const WavForEncoder wav = ReadWavForEncoder(path);
    platform::File file(path, platform::OpenMode::ReadWrite);
    if (!file.IsOpen() || !file.SetSize(wav.dataOffset + wav.dataBytes))
        throw Error(WriteFailure());
}

}  // namespace

std::int16_t NarrowFloatSample(const std::uint8_t* stored) {
    // The reader already limits the value; std::round takes halves away from zero.
    const auto rounded = static_cast<std::int64_t>(std::round(ReadFloatSample(FileType::Wav, stored)));
    return static_cast<std::int16_t>(rounded >> 16);
}

std::int16_t NarrowThroughFloat(std::int32_t widened) {
    std::uint8_t stored[4];
    WriteFloatSample(FileType::Wav, stored, widened);
    return NarrowFloatSample(stored);
}

std::uint64_t EncoderInputSpace(const SoundInfo& info) {
    const std::uint64_t samples = static_cast<std::uint64_t>(info.frames) * info.channels;
    std::uint64_t bytes = info.dataOffset + DataBytes(info) + 1024;
    // The float file and the 16-bit file exist beside the copy for a moment.
    if (info.bytesPerSample != 2) bytes += samples * 4 + samples * 2 + 2 * kPlainWavHeaderBytes;
    return bytes;
}

ScratchFile MakeEncoderInput(COLMDoc& doc) {
    const SoundInfo& info = doc.Info();
    const std::string& workDir = doc.Host().WorkDir();
    ProgressTask& progress = doc.Host().Progress();
    if (InsufficientSpaceOnWorkingDrive(workDir, EncoderInputSpace(info)))
        throw Error(StringId::EmptyDiskSpace);
    ScratchFile copy = Create(workDir, kMp3OutStem);
    if (info.fileType == FileType::Aiff) {
        WriteInOtherType(doc.WorkingPath(), info, copy.Path(), progress,
                         StringId::ConvertingAiffToWaveCancel, true);
    } else {
        const platform::File from = doc.OpenWorkingFile(false);
        platform::File to(copy.Path(), platform::OpenMode::ReadWrite);
        if (!to.IsOpen()) throw Error(StringId::FileCreatingError);
        // Everything up to the end of the data; what follows it is cut off anyway.
        CopyRangeWithProgress(from, 0, to, 0, info.dataOffset + DataBytes(info), progress,
                              StringId::EncodingMp3File, true);
    }
    CutAfterData(copy.Path());
    if (info.bytesPerSample == 2) return copy;

    const WavForEncoder wide = ReadWavForEncoder(copy.Path());
    ScratchFile floats = Create(workDir, kMp3FloatStem);
    WidenToFloat(wide, copy.Path(), floats.Path(), progress);
    ScratchFile narrow = Create(workDir, std::string(kMp3OutStem) + "1");
    FloatTo16Bit(ReadWavForEncoder(floats.Path()), floats.Path(), narrow.Path(), progress);
    return narrow;  // the copy and the float file go with their owners
}

}  // namespace pelmora
