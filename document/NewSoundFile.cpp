#include "document/NewSoundFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "document/TempFiles.h"
#include "platform/File.h"
#include "sound/AiffWriter.h"
#include "sound/Bytes.h"
#include "sound/SampleCodec.h"
#include "sound/SoundInfo.h"

namespace pelmora {

namespace {

constexpr std::uint32_t kWavHeaderBytes = 44;
// RIFF and FORM sizes are 32-bit: the header and a pad byte must fit beside the data.
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 1024;

std::uint32_t BytesPerSampleOf(const NewSoundRequest& request) { return (request.bits + 7u) / 8u; }
std::uint32_t BlockAlignOf(const NewSoundRequest& request) {
    return request.channels * BytesPerSampleOf(request);
}
std::uint64_t DataBytesOf(const NewSoundRequest& request) {
    return std::uint64_t{request.frames} * BlockAlignOf(request);
}

// A request the model never produces (it validates first) is refused rather than written wrong.
void CheckRequest(const NewSoundRequest& request) {
    const bool usable = (request.channels == 1 || request.channels == 2) && request.bits >= 1 &&
                        request.bits <= 32 && request.rate >= 1 && DataBytesOf(request) <= kMaxDataBytes &&
                        request.amplitude <= 0x7FFFFFFFu &&
                        (!IsWaveform(request.data) || request.frequency >= 1);
    if (!usable) throw Error(StringId::FileCreatingError);
}

// "RIFF" size "WAVE", 'fmt ' (PCM) and the 'data' chunk header with the real sizes.
std::array<std::uint8_t, kWavHeaderBytes> WavHeader(const NewSoundRequest& request) {
    const auto dataBytes = static_cast<std::uint32_t>(DataBytesOf(request));
    const std::uint32_t pad = dataBytes & 1u;
    const std::uint32_t blockAlign = BlockAlignOf(request);
    std::array<std::uint8_t, kWavHeaderBytes> h{};
    StoreFourCC(&h[0], MakeFourCC("RIFF"));
    StoreLE32(&h[4], kWavHeaderBytes - 8 + dataBytes + pad);
    StoreFourCC(&h[8], MakeFourCC("WAVE"));
    StoreFourCC(&h[12], MakeFourCC("fmt "));
    StoreLE32(&h[16], 16);
    StoreLE16(&h[20], 1);  // PCM
    StoreLE16(&h[22], request.channels);
    StoreLE32(&h[24], request.rate);
    StoreLE32(&h[28], blockAlign * request.rate);
    StoreLE16(&h[32], static_cast<std::uint16_t>(blockAlign));
    StoreLE16(&h[34], request.bits);
    StoreFourCC(&h[36], MakeFourCC("data"));
    StoreLE32(&h[40], dataBytes);
    return h;
}

// Writes the header; returns the offset of frame 0.
std::uint64_t WriteHeader(platform::File& file, const NewSoundRequest& request) {
    if (request.fileType == FileType::Aiff) {
        SoundInfo info;
        info.channels = request.channels;
        info.bitsPerSample = request.bits;
        info.sampleRate = request.rate;
        info.frames = request.frames;
        aiff::WriteNewFile(file, info);
        return info.dataOffset;
    }
    const auto header = WavHeader(request);
    if (!file.WriteAt(0, header.data(), header.size())) throw Error(StringId::FileCreatingError);
    return header.size();
}

// Fills whole frames of the initial data, carrying the waveform phase from block to block.
class FrameSource {
public:
    explicit FrameSource(const NewSoundRequest& request)
        : request_(request), step_(request.frequency % request.rate) {}

    void Fill(std::uint8_t* out, std::uint32_t frames) {
        if (!IsWaveform(request_.data)) {
            const bool unsigned8 = request_.fileType == FileType::Wav && BytesPerSampleOf(request_) == 1;
            std::memset(out, unsigned8 ? 0x80 : 0x00, std::size_t{frames} * BlockAlignOf(request_));
            return;
        }
        WithSampleCodec(request_.fileType, static_cast<int>(BytesPerSampleOf(request_)), [&](auto codec) {
            for (std::uint32_t i = 0; i < frames; ++i) {
                const std::int32_t v = WaveformValue(request_.data, static_cast<std::uint32_t>(phase_),
                                                     request_.rate, request_.amplitude);
                for (std::uint16_t c = 0; c < request_.channels; ++c) {
                    codec.Write(out, v);
                    out += codec.kBytes;
                }
                phase_ += step_;
                if (phase_ >= request_.rate) phase_ -= request_.rate;
            }
        });
    }

private:
    const NewSoundRequest& request_;
    std::uint64_t step_;
    std::uint64_t phase_ = 0;
};

void WriteSamples(platform::File& file, std::uint64_t dataOffset, const NewSoundRequest& request,
                  ProgressTask& progress) {
    const std::uint32_t blockAlign = BlockAlignOf(request);
    const std::uint32_t framesPerBlock = kMoveChunkBytes / blockAlign;
    const std::uint64_t blocks = (std::uint64_t{request.frames} + framesPerBlock - 1) / framesPerBlock;
    std::vector<std::uint8_t> buffer(std::size_t{framesPerBlock} * blockAlign);
    FrameSource source(request);

    progress.Start(StringId::CreatingNewFile);
    progress.SetRange(static_cast<std::uint32_t>(blocks));
    std::uint64_t block = 0;
    for (std::uint32_t frame = 0; frame < request.frames;) {
        const std::uint32_t n = std::min(framesPerBlock, request.frames - frame);
        source.Fill(buffer.data(), n);
        if (!file.WriteAt(dataOffset + std::uint64_t{frame} * blockAlign, buffer.data(),
                          std::size_t{n} * blockAlign))
            throw Error(StringId::FileCreatingError);
        frame += n;
        progress.Step(++block, blocks);
        if (progress.CancelRequested()) throw Cancelled();
    }
    progress.End();
}

// Writes the initial data (or, for Disk Garbage, only reserves it). A WAV's odd-sized data
// chunk is closed with its pad byte; an AIFF ends with its data, as the AIFF writers leave it.
void WriteData(platform::File& file, std::uint64_t dataOffset, const NewSoundRequest& request,
               ProgressTask& progress) {
    const std::uint64_t dataBytes = DataBytesOf(request);
    const std::uint64_t pad = request.fileType == FileType::Wav ? (dataBytes & 1u) : 0;
    const std::uint64_t end = dataOffset + dataBytes + pad;
    if (request.data == InitialData::DiskGarbage) {
        if (!file.SetSize(end)) throw Error(StringId::FileCreatingError);
        return;
    }
    WriteSamples(file, dataOffset, request, progress);
    if (pad != 0) {
        const std::uint8_t zero = 0;
        if (!file.WriteAt(dataOffset + dataBytes, &zero, 1)) throw Error(StringId::FileCreatingError);
    }
}

}  // namespace

std::uint32_t PhaseOfFrame(std::uint64_t frame, std::uint64_t frequency, std::uint32_t rate) {
    if (rate == 0) return 0;
    // Both factors are below rate < 2^32, so their product fits in 64 bits.
    return static_cast<std::uint32_t>((frame % rate) * (frequency % rate) % rate);
}

std::int32_t WaveformValue(InitialData form, std::uint32_t phase, std::uint32_t rate,
                           std::uint32_t amplitude) {
    // Spans of 32-bit sounds reach 2^32 − 1: the arithmetic is 64-bit and real.
    const std::int64_t hi = amplitude;
    const std::int64_t lo = -hi - 1;
    const double span = static_cast<double>(hi - lo);
    const double p = phase;
    const double r = rate;
    const bool firstHalf = 2 * std::uint64_t{phase} < rate;  // p < rate / 2 as a real number
    double v = 0;
    switch (form) {
    case InitialData::Sine:
        v = std::round((std::sin(2 * std::numbers::pi * p / r) + 1) * span * 0.5 +
                       static_cast<double>(lo));
        break;
    case InitialData::Triangle:
        v = std::trunc((firstHalf ? 2 * p * span / r : 2 * (r - p) * span / r) +
                       static_cast<double>(lo));
        break;
    case InitialData::Sawtooth:
        v = p * span / r;
        if (v > static_cast<double>(hi) + 0.5) v -= span;
        v = std::trunc(v);
        break;
    case InitialData::Square: v = static_cast<double>(firstHalf ? hi : lo); break;
    case InitialData::Silence:
    case InitialData::DiskGarbage: v = 0; break;
    }
    return static_cast<std::int32_t>(
        std::clamp(v, static_cast<double>(lo), static_cast<double>(hi)));
}

std::string CreateNewSoundFile(const NewSoundRequest& request, const std::string& workDir,
                               ProgressTask& progress) {
    CheckRequest(request);
    const auto name =
        UniqueTempName(workDir, kNewPrefix, request.fileType == FileType::Aiff ? ".AIF" : ".WAV");
    if (!name) throw Error(StringId::FileCreatingError);
    const InFlightFile inFlight(*name);
    try {
        platform::File file;
        if (!file.Open(*name, platform::OpenMode::ReadWrite))
            throw Error(StringId::FileCreatingError);
        const std::uint64_t dataOffset = WriteHeader(file, request);
        WriteData(file, dataOffset, request, progress);
    } catch (...) {
        progress.End();
        RemoveTemporary(*name);
        throw;
    }
    return *name;
}

}  // namespace pelmora
