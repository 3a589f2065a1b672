#include "support/EmulatorSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "sampler/AlignedBuffer.h"

namespace pelmora::test {

Bytes Be(std::uint32_t value, int bytes) {
    Bytes out;
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return out;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Smdi(std::uint16_t id, std::uint16_t sub, const Bytes& payload) {
    return Bytes{'S', 'M', 'D', 'I'} + Be(id, 2) + Be(sub, 2) + Be(static_cast<std::uint32_t>(payload.size()), 3) +
           payload;
}

std::uint32_t BeAt(const Bytes& message, std::size_t offset, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | (offset + i < message.size() ? message[offset + i] : 0);
    return v;
}

std::uint32_t IdOf(const Bytes& message) { return BeAt(message, 4, 4); }

void MakeInstrument(const std::string& dir, const std::string& folder, const std::string& description) {
    std::filesystem::create_directories(dir + "/" + folder);
    std::ofstream(dir + "/" + folder + "/instrument.txt", std::ios::trunc) << description;
}

void WriteSlot(const std::string& path, const SlotSound& sound) {
    SF_INFO info{};
    info.samplerate = sound.rate;
    info.channels = sound.channels;
    const int sub = sound.bits == 8 ? (sound.aiff ? SF_FORMAT_PCM_S8 : SF_FORMAT_PCM_U8)
                    : sound.bits == 16 ? SF_FORMAT_PCM_16
                    : sound.bits == 24 ? SF_FORMAT_PCM_24
                                       : SF_FORMAT_PCM_32;
    info.format = (sound.aiff ? SF_FORMAT_AIFF : SF_FORMAT_WAV) | sub;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    SF_INSTRUMENT instrument{};
    instrument.basenote = static_cast<char>(sound.unityNote);
    instrument.key_hi = 127;
    instrument.velocity_lo = 1;
    instrument.velocity_hi = 127;
    if (sound.loop) {
        instrument.loop_count = 1;
        instrument.loops[0].mode = SF_LOOP_FORWARD;
        instrument.loops[0].start = sound.loopStart;
        instrument.loops[0].end = sound.loopEnd;
        instrument.loops[0].count = 0;
    }
    sf_command(file, SFC_SET_INSTRUMENT, &instrument, sizeof instrument);
    std::vector<int> scaled;
    for (std::int32_t v : sound.samples) scaled.push_back(static_cast<int>(static_cast<std::uint32_t>(v) << (32 - sound.bits)));
    sf_write_int(file, scaled.data(), static_cast<sf_count_t>(scaled.size()));
    sf_close(file);
}

std::vector<std::int32_t> NoiseSamples(std::size_t count, int bits, unsigned seed) {
    std::mt19937 random(seed);
    const std::int32_t high = static_cast<std::int32_t>((std::int64_t{1} << (bits - 1)) - 1);
    std::uniform_int_distribution<std::int32_t> value(-high - 1, high);
    std::vector<std::int32_t> samples(count);
    for (auto& s : samples) s = value(random);
    return samples;
}

Outcome Master::Command(const Bytes& cdb, std::uint32_t dataIn, Bytes& data) {
    aspi::SRB_ExecSCSICmd srb{};
    srb.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
    srb.SRB_HaId = adapter_;
    srb.SRB_Target = target_;
    srb.SRB_SenseLen = aspi::SENSE_LEN;
    srb.SRB_CDBLen = static_cast<std::uint8_t>(cdb.size());
    std::copy(cdb.begin(), cdb.end(), srb.CDBByte);
    const bool in = dataIn > 0;
    AlignedBuffer buffer(in ? dataIn : static_cast<std::uint32_t>(data.size()), 4,
                         in || data.empty() ? nullptr : data.data());
    srb.SRB_BufLen = buffer.Size();
    srb.SRB_BufPointer = buffer.Size() ? buffer.Data() : nullptr;
    srb.SRB_Flags = in ? aspi::SRB_DIR_IN : aspi::SRB_DIR_OUT;
    aspi::SendCommand(&bus_, &srb);
    if (in) data.assign(buffer.Data(), buffer.Data() + buffer.Size());
    return {srb.SRB_Status, srb.SRB_HaStat, srb.SRB_TargStat};
}

Outcome Master::Send(const Bytes& message) {
    Bytes data = message;
    const auto n = static_cast<std::uint32_t>(message.size());
    return Command({0x0A, 0, static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 8),
                    static_cast<std::uint8_t>(n), 0},
                   0, data);
}

Outcome Master::Receive(std::uint32_t allocation, Bytes& reply) {
    const Outcome outcome =
        Command({0x08, 0, static_cast<std::uint8_t>(allocation >> 16), static_cast<std::uint8_t>(allocation >> 8),
                 static_cast<std::uint8_t>(allocation), 0},
                allocation, reply);
    // The message's own length tells how much of the buffer it filled.
    if (outcome.Good() && reply.size() >= 11)
        reply.resize(std::min<std::size_t>(reply.size(), 11 + BeAt(reply, 8, 3)));
    return outcome;
}

Bytes Master::Exchange(const Bytes& message, std::uint32_t allocation) {
    Bytes reply;
    EXPECT_TRUE(Send(message).Good());
    EXPECT_TRUE(Receive(allocation, reply).Good());
    return reply;
}

}  // namespace pelmora::test
