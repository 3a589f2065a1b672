#include "sampler/SampleExport.h"

#include <algorithm>

#include "base/Error.h"
#include "platform/File.h"
#include "sound/FileRead.h"
#include "sound/SampleCodec.h"

namespace pelmora::smdi {

namespace {

constexpr std::uint32_t kPacketHead = 14;

struct ProgressEnd {
    ProgressTask& progress;
    ~ProgressEnd() { progress.End(); }
};

// 8-bit AIFF is signed already and 16-bit AIFF is big-endian: those go as they are stored.
// An 8-bit WAV holds unsigned bytes, so it is converted like every other width.
bool DirectMode(const SoundInfo& sound, DeviceFamily family) {
    if (sound.fileType != FileType::Aiff) return false;
    return sound.bytesPerSample == 2 || (sound.bytesPerSample == 1 && family == DeviceFamily::Synthesizer);
}

}  // namespace

int WireWordBytes(const SoundInfo& sound, DeviceFamily family) {
    return family == DeviceFamily::Synthesizer && sound.bytesPerSample == 1 ? 1 : 2;
}

void ConvertToWire(const SoundInfo& sound, DeviceFamily family, const std::uint8_t* in, std::uint32_t frames,
                   std::uint8_t* out) {
    const bool bytes = WireWordBytes(sound, family) == 1;
    const bool scaleByte = family == DeviceFamily::Sampler;
    const std::size_t count = std::size_t{frames} * sound.channels;
    WithSampleCodec(sound.fileType, sound.bytesPerSample, [&](auto codec) {
        using Codec = decltype(codec);
        for (std::size_t i = 0; i < count; ++i) {
            std::int32_t v = Codec::Read(in + i * Codec::kBytes);
            if constexpr (Codec::kBytes == 1) {
                if (bytes) {
                    out[i] = static_cast<std::uint8_t>(v);
                    continue;
                }
                if (scaleByte) v *= 256;
            } else if constexpr (Codec::kBytes == 3) {
                v >>= 8;
            } else if constexpr (Codec::kBytes == 4) {
                v >>= 16;
            }
            const auto word = static_cast<std::uint16_t>(v);
            out[2 * i] = static_cast<std::uint8_t>(word >> 8);
            out[2 * i + 1] = static_cast<std::uint8_t>(word);
        }
    });
}

bool ExportTransfer(SmdiLink& link, const SoundInfo& sound, const std::string& workingPath, const std::string& title,
                    std::uint32_t slot, ProgressTask& progress) {
    const DeviceFamily family = link.Family();
    const std::uint32_t wireSlot = family == DeviceFamily::Sampler ? 0 : slot;
    const auto accepted = link.SendSampleHeader(sound, title, wireSlot);
    if (!accepted) return false;
    const std::uint32_t packetLength = *accepted;
    if (packetLength == 0) {
        link.ShowCommunicationError();
        return false;
    }
    std::uint32_t asked = 0;
    const Ack begun = link.BeginSendTransfer(wireSlot, packetLength, asked);
    if (begun == Ack::Failed) return false;
    if (begun == Ack::End) return true;
    const auto w = static_cast<std::uint32_t>(WireWordBytes(sound, family));
    const std::uint32_t framesPerPacket = packetLength / (sound.channels * w);
    if (framesPerPacket == 0 || sound.blockAlign == 0) {
        link.AbortProcedure();
        link.ShowCommunicationError();
        return false;
    }
    const std::uint32_t dataBytes = framesPerPacket * sound.channels * w;
    const bool direct = DirectMode(sound, family);
    const std::uint64_t chunk = direct ? dataBytes : std::uint64_t{framesPerPacket} * sound.blockAlign;
    const std::uint64_t total = std::uint64_t{sound.frames} * sound.blockAlign;

    platform::File file;
    if (!file.Open(workingPath, platform::OpenMode::Read)) {
        link.AbortProcedure();
        throw Error(StringId::FileReadError);
    }
    AlignedBuffer packet;
    std::vector<std::uint8_t> source(direct ? 0 : chunk);
    if (!packet.Allocate(dataBytes + kPacketHead, link.Device().BufferAlignment())) {
        link.AbortProcedure();
        throw Error(StringId::MemoryError);
    }
    progress.Start(family == DeviceFamily::Synthesizer ? StringId::ExportingSampleVz : StringId::ExportingSample);
    ProgressEnd end{progress};
    const std::uint64_t packets = (total + chunk - 1) / chunk;
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(packets, UINT32_MAX)));
    // An instrument may ask for a packet again, but not for ever.
    const std::uint64_t maxPackets = packets * 2 + 8;
    for (std::uint64_t sent = 0; sent < maxPackets; ++sent) {
        const std::uint64_t offset = std::uint64_t{asked} * chunk;
        if (offset >= total) break;  // a packet past the sound's end
        const auto bytes = static_cast<std::size_t>(std::min(total - offset, chunk));
        std::uint8_t* out = packet.Data() + kPacketHead;
        std::uint32_t wireBytes = 0;
        if (direct) {
            if (ReadUpTo(file, sound.dataOffset + offset, out, bytes) != static_cast<std::int64_t>(bytes)) {
                link.AbortProcedure();
                throw Error(StringId::FileReadError);
            }
            wireBytes = static_cast<std::uint32_t>(bytes);
        } else {
            if (ReadUpTo(file, sound.dataOffset + offset, source.data(), bytes) != static_cast<std::int64_t>(bytes)) {
                link.AbortProcedure();
                throw Error(StringId::FileReadError);
            }
            const auto frames = static_cast<std::uint32_t>(bytes / sound.blockAlign);
            ConvertToWire(sound, family, source.data(), frames, out);
            wireBytes = frames * sound.channels * w;
        }
        const Ack ack = link.SendDataPacket(asked, packet, wireBytes, asked);
        if (ack == Ack::Failed) return false;
        progress.Step(offset + bytes, total);
        if (ack == Ack::End) return true;
        if (progress.CancelRequested()) {
            link.AbortProcedure();
            return false;
        }
    }
    link.AbortProcedure();
    link.ShowCommunicationError();
    return false;
}

}  // namespace pelmora::smdi
