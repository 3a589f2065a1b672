#include "document/Conversions.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "base/Error.h"
#include "document/FileCopy.h"
#include "document/SoundFileIo.h"
#include "document/WholeFileConversion.h"
#include "sound/AiffWriter.h"
#include "sound/SampleConvert.h"

namespace pelmora {

namespace {

// The sound after a change of channels or width: frames and loop as they were.
SoundInfo Reformatted(const SoundInfo& info, std::uint16_t channels, std::uint16_t bytesPerSample) {
    SoundInfo after = info;
    after.channels = channels;
    after.bitsPerSample = static_cast<std::uint16_t>(8 * bytesPerSample);
    UpdateDerivedFormat(after);
    after.channelFirst = 0;
    after.channelEnd = channels;
    return after;
}

bool HasWavOrAiffExtension(const std::string& name, std::size_t dot) {
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == "wav" || extension == "aif" || extension == "aiff";
}

}  // namespace

bool CanConvertBitSize(const COLMDoc& doc) { return doc.Info().frames > 0; }
bool CanAddChannel(const COLMDoc& doc) { return doc.Info().channels == 1 && doc.Info().frames > 0; }
bool CanDeleteOrSwapChannels(const COLMDoc& doc) { return doc.Info().channels == 2 && doc.Info().frames > 0; }

std::array<std::uint16_t, 3> BitSizeTargets(std::uint16_t bytesPerSample) {
    std::array<std::uint16_t, 3> targets{};
    std::size_t n = 0;
    for (std::uint16_t bytes = 1; bytes <= 4 && n < targets.size(); ++bytes)
        if (bytes != bytesPerSample) targets[n++] = bytes;
    return targets;
}

std::string BitSizeCaption(std::uint16_t fromBytes, std::uint16_t toBytes) {
    // Two spaces around each word; a one-digit target gets a third before it and one after.
    const std::string from = std::to_string(8 * fromBytes) + "  bit  >>>>  ";
    return toBytes == 1 ? from + " 8 bit" : from + std::to_string(8 * toBytes) + "  bit";
}

void ConvertBitSize(COLMDoc& doc, std::uint16_t toBytes) {
    const SoundInfo& info = doc.Info();
    if (toBytes < 1 || toBytes > 4 || toBytes == info.bytesPerSample || !CanConvertBitSize(doc))
        throw Error(StringId::DataError);
    const SoundInfo after = Reformatted(info, info.channels, toBytes);
    const FileType type = info.fileType;
    const int fromBytes = info.bytesPerSample;
    const std::size_t channels = info.channels;
    RunWholeFileChange(doc, FrameConversion(doc, after, StringId::ChangingSampleSize,
                                            [=](const std::uint8_t* in, std::uint8_t* out, std::size_t frames) {
                                                ConvertSampleBlock(type, fromBytes, in, type, toBytes, out,
                                                                   frames * channels);
                                            }));
}

void AddChannel(COLMDoc& doc) {
    if (!CanAddChannel(doc)) throw Error(StringId::DataError);
    const SoundInfo& info = doc.Info();
    const SoundInfo after = Reformatted(info, 2, info.bytesPerSample);
    const std::size_t b = info.bytesPerSample;
    const std::uint8_t silence = SilenceByte(info);
    RunWholeFileChange(doc, FrameConversion(doc, after, StringId::AddingChannel,
                                            [=](const std::uint8_t* in, std::uint8_t* out, std::size_t frames) {
                                                for (std::size_t i = 0; i < frames; ++i, in += b, out += 2 * b) {
                                                    std::memcpy(out, in, b);
                                                    std::memset(out + b, silence, b);
                                                }
                                            }));
}

void DeleteChannel(COLMDoc& doc, int channel) {
    if (!CanDeleteOrSwapChannels(doc) || channel < 0 || channel > 1) throw Error(StringId::DataError);
    const SoundInfo& info = doc.Info();
    const SoundInfo after = Reformatted(info, 1, info.bytesPerSample);
    const std::size_t b = info.bytesPerSample;
    const std::size_t kept = channel == 0 ? b : 0;
    RunWholeFileChange(doc, FrameConversion(doc, after, StringId::DeletingChannel,
                                            [=](const std::uint8_t* in, std::uint8_t* out, std::size_t frames) {
                                                for (std::size_t i = 0; i < frames; ++i, in += 2 * b, out += b)
                                                    std::memcpy(out, in + kept, b);
                                            }));
}

void SwapChannels(COLMDoc& doc) {
    if (!CanDeleteOrSwapChannels(doc)) throw Error(StringId::DataError);
    const SoundInfo& info = doc.Info();
    const SoundInfo after = Reformatted(info, 2, info.bytesPerSample);
    const std::size_t b = info.bytesPerSample;
    RunWholeFileChange(doc, FrameConversion(doc, after, StringId::SwappingChannels,
                                            [=](const std::uint8_t* in, std::uint8_t* out, std::size_t frames) {
                                                for (std::size_t i = 0; i < frames; ++i, in += 2 * b, out += 2 * b) {
                                                    std::memcpy(out, in + b, b);
                                                    std::memcpy(out + b, in, b);
                                                }
                                            }));
}

FormatChoices FormatConversionChoices(const COLMDoc& doc) {
    FormatChoices choices;
    if (!CanConvertBitSize(doc)) return choices;
    const bool wav = doc.Info().fileType == FileType::Wav;
    choices.waveToAiff = wav;
    choices.aiffToWave = !wav;
    choices.hdPlayRewrite = !wav;
    return choices;
}

std::string WithTypeExtension(const std::string& path, FileType type) {
    const std::string extension = type == FileType::Wav ? ".wav" : ".aif";
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
                              HasWavOrAiffExtension(path, dot);
    return (hasExtension ? path.substr(0, dot) : path) + extension;
}

bool ConvertToOtherType(COLMDoc& doc) {
    if (!CanConvertBitSize(doc)) throw Error(StringId::DataError);
    const SoundInfo& info = doc.Info();
    const bool toAiff = info.fileType == FileType::Wav;
    const FileType type = toAiff ? FileType::Aiff : FileType::Wav;
    WholeFileChange change;
    change.after = info;
    change.after.fileType = type;
    UpdateDerivedFormat(change.after);
    // The AIFF header with its markers and pad, or the WAV chunks, stay well inside this margin.
    change.newFileBytes = DataBytes(info) + 2048 + 18 * info.wavCuePoints.size() + info.aiffMarkBody.size();
    change.newTitle = WithTypeExtension(doc.Title(), type);
    if (!doc.FileBackup()) {
        change.newWorkingPath = WithTypeExtension(doc.WorkingPath(), type);
        if (change.newWorkingPath != doc.WorkingPath() && platform::FileExists(change.newWorkingPath) &&
            doc.Host().Prompts().Ask(FormatText(StringId::FileExistsOverwrite, change.newWorkingPath.c_str()),
                                     Buttons::OkCancel) != Answer::Ok)
            return false;
    }
    const StringId status = toAiff ? StringId::ConvertingWaveToAiffCancel : StringId::ConvertingAiffToWaveCancel;
    change.build = [&doc, status](platform::File& target, SoundInfo& after) {
        const platform::File source = doc.OpenWorkingFile(false);
        after.dataOffset = WriteOtherTypeInto(source, doc.Info(), target, doc.Host().Progress(), status, true);
    };
    RunWholeFileChange(doc, change);
    return true;
}

void RewriteAiffHeaderForHdPlay(COLMDoc& doc) {
    const SoundInfo& info = doc.Info();
    if (info.fileType != FileType::Aiff) throw Error(StringId::DataError);
    const platform::File probe = doc.OpenWorkingFile(false);
    const DataLayout layout = LayoutOfData(probe, info);
    const std::uint64_t dataBytes = DataBytes(info);
    if (dataBytes > UINT32_MAX - 8) throw Error(StringId::ConversionTooLarge);
    WholeFileChange change;
    change.after = info;
    // The bytes before the SSND header, a pad of at most 520 bytes, the SSND header, the rest.
    change.newFileBytes = layout.ssndHeader + 520 + 16 + dataBytes + 1 + layout.TrailingBytes();
    change.marksChanged = doc.FileBackup();
    change.build = [&doc, layout](platform::File& target, SoundInfo& after) {
        const SoundInfo& in = doc.Info();
        const platform::File source = doc.OpenWorkingFile(false);
        const std::uint64_t data = DataBytes(in);
        const std::uint64_t blocks = (data + kCopyPieceBytes - 1) / kCopyPieceBytes;
        ConversionSteps steps(doc.Host().Progress(), StringId::RewritingAiffHeader,
                              blocks + TrailingBlocks(layout, kCopyPieceBytes));
        CopyHeaderBytes(source, layout.ssndHeader, target);
        after.dataOffset = static_cast<std::uint32_t>(aiff::AlignDataStart(target, static_cast<std::uint32_t>(data)));
        for (std::uint64_t done = 0; done < data; done += kCopyPieceBytes) {
            const std::uint64_t n = std::min<std::uint64_t>(kCopyPieceBytes, data - done);
            if (!platform::CopyFileRange(source, in.dataOffset + done, target, after.dataOffset + done, n))
                throw Error(WriteFailure(StringId::FileReadError));
            steps.Step();
        }
        FinishConvertedFile(source, layout, target, after, kCopyPieceBytes, steps);
    };
    RunWholeFileChange(doc, change);
}

}  // namespace pelmora
