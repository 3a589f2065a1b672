#include "mp3/Mp3Import.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "base/Error.h"
#include "codec/Mp3Decoder.h"
#include "document/TempFiles.h"
#include "mp3/Id3Tag.h"
#include "mp3/PlainWav.h"
#include "mp3/ScratchFile.h"

namespace pelmora {

namespace {

// The largest data size a WAV header can state, in whole frames.
std::uint64_t MaxWavData(std::uint32_t blockAlign) {
    const std::uint64_t limit = 0xFFFFFFFFull - (kPlainWavHeaderBytes - 8);
    return limit / blockAlign * blockAlign;
}

struct ProgressScope {
    ProgressTask& progress;
    ~ProgressScope() { progress.End(); }
};

std::optional<TagFields> ReadTrailingTag(const platform::File& mp3, std::uint64_t size) {
    if (size < kId3v1Bytes) return std::nullopt;
    std::uint8_t tag[kId3v1Bytes];
    if (!mp3.ReadAt(size - kId3v1Bytes, tag, sizeof tag)) return std::nullopt;
    return DecodeId3v1(tag, sizeof tag);
}

}  // namespace

std::string Mp3Title(const std::string& mp3Path) {
    const std::string name = platform::FileNameOf(mp3Path);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

DecodedMp3 DecodeMp3File(const std::string& mp3Path, const std::string& workDir,
                         ProgressTask& progress,
                         const std::function<bool(const std::string&)>& taken) {
    platform::File mp3;
    if (!mp3.Open(mp3Path, platform::OpenMode::Read)) throw Error(StringId::CantOpenMp3File);
    const std::int64_t sizeRead = mp3.Size();
    if (sizeRead < 0) throw Error(StringId::CantOpenMp3File);
    const auto size = static_cast<std::uint64_t>(sizeRead);

    std::uint8_t head[kId3v2HeaderBytes] = {};
    const std::int64_t headBytes = mp3.ReadSome(0, head, sizeof head);
    const std::uint64_t start =
        headBytes > 0 ? AudioStartAfterId3v2(head, static_cast<std::size_t>(headBytes)) : 0;
    std::vector<std::uint8_t> input(kDecodeInputBytes);
    const std::int64_t probed = start < size ? mp3.ReadSome(start, input.data(), input.size()) : 0;
    codec::StreamInfo stream;
    if (probed <= 0 ||
        codec::ParseStreamHeader(input.data(), static_cast<std::size_t>(probed), stream) == -1)
        throw Error(StringId::NotMpegLayer3);

    auto wav = ScratchFile::Create(workDir, std::string(kMp3TempPrefix) + Mp3Title(mp3Path), ".wav",
                                   taken);
    if (!wav) throw Error(StringId::CantOpenOutputFile);
    platform::File out(wav->Path(), platform::OpenMode::ReadWrite);
    const PlainWavFormat format{kWavFormatPcm, static_cast<std::uint16_t>(stream.channels),
                                stream.sampleRate, static_cast<std::uint16_t>(stream.bitsPerSample)};
    if (!out.IsOpen() || !WritePlainWavHeader(out, format, 0))
        throw Error(StringId::CantOpenOutputFile);

    auto decoder = codec::Mp3Decoder::Open(stream);
    if (!decoder) throw Error(StringId::FailedToDecode);
    std::vector<std::uint8_t> output;
    try {
        output.resize(stream.outputBufferSize);
    } catch (const std::bad_alloc&) {
        throw Error(StringId::ErrorAllocatingOutputBuffer);
    }

    // From the start of the audio: the bytes the header check looked at are decoded too.
    const std::size_t granule = std::max<std::size_t>(stream.inputGranularity, 1);
    const std::size_t readBytes = std::max(kDecodeInputBytes / granule * granule, granule);
    input.resize(std::max(input.size(), readBytes));
    const std::uint64_t blocks = (size + kDecodeInputBytes - 1) / kDecodeInputBytes;
    const std::uint64_t maxData = MaxWavData(format.BlockAlign());
    BufferedAppender data(out, kPlainWavHeaderBytes);
    std::uint64_t total = 0, position = start, step = 0;
    std::size_t have = 0;
    {
        ProgressScope scope{progress};
        progress.Start(StringId::DecodingMp3File);
        progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, UINT32_MAX)));
        for (;;) {
            if (have == 0) {
                const std::int64_t got = mp3.ReadSome(position, input.data(), readBytes);
                if (got < 0) throw Error(StringId::FileReadError);
                have = static_cast<std::size_t>(got);
                position += have;
                progress.Step(std::min(++step, blocks), blocks);
                if (progress.CancelRequested()) throw Cancelled();
            }
            const std::size_t available = have;
            std::size_t consumed = 0, produced = 0;
            const int result = decoder->Step(input.data(), available, consumed, output.data(),
                                             output.size(), produced);
            if (result < 0) throw Error(StringId::FailedToDecode);
            // The decoder takes all of its input or none of it.
            have -= consumed;
            if (total + produced > maxData) throw Error(WriteFailure());
            data.Append(output.data(), produced);
            total += produced;
            if (result != 0 || (available == 0 && produced == 0)) break;
        }
    }
    if (!decoder->End()) throw Error(StringId::FailedToDecode);
    data.Flush();
    if (!WritePlainWavHeader(out, format, static_cast<std::uint32_t>(total)))
        throw Error(WriteFailure());
    out.Close();
    return DecodedMp3{wav->Keep(), ReadTrailingTag(mp3, size)};
}

}  // namespace pelmora
