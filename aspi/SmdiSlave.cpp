#include "aspi/SmdiSlave.h"

#include <algorithm>

namespace pelmora::aspi {

using smdi::Message;

namespace {

constexpr std::uint32_t kNanosecondsPerSecond = 1000000000;
constexpr std::uint8_t kLoopOn = 0, kLoopOff = 127;
// Extra bytes a "long-data" packet carries beyond what was asked.
constexpr std::uint32_t kLongDataExtra = 16;

std::vector<std::vector<std::uint8_t>> One(std::vector<std::uint8_t> message) { return {std::move(message)}; }

// Unity note and fine tune in cents as SMDI's pitch: semitones and 1/65536 of one.
void PitchOf(const WavInstrument& instrument, std::uint32_t& integer, std::uint32_t& fraction) {
    int note = instrument.unityNote;
    int cents = instrument.fineTune;
    if (cents < 0) {
        note -= 1;
        cents += 100;
    }
    integer = static_cast<std::uint32_t>(std::max(note, 0));
    fraction = static_cast<std::uint32_t>(cents * 65536 / 100);
}

}  // namespace

SmdiSlave::SmdiSlave(const InstrumentConfig& config, Faults& faults, std::string folder)
    : config_(config), faults_(faults), store_(std::move(folder)) {}

std::vector<std::vector<std::uint8_t>> SmdiSlave::Handle(const std::uint8_t* data, std::size_t size) {
    const smdi::Reader message(data, size);
    if (!message.Valid()) return One(smdi::Reject(smdi::kRejectGeneral, 0));
    switch (message.Id()) {
    case Message::MasterIdentify: return Identify();
    case Message::SampleHeaderRequest: return HeaderRequest(message);
    case Message::SampleHeader: return TakeHeader(message);
    case Message::BeginSampleTransfer: return BeginTransfer(message);
    case Message::DataPacket: return TakePacket(message);
    case Message::SendNextPacket: return GivePacket(message);
    case Message::AbortProcedure:
        Reset();
        return One(smdi::Bare(Message::Ack));
    default: return One(smdi::Reject(smdi::kRejectGeneral, 0));
    }
}

void SmdiSlave::Reset() {
    writer_.Abandon();
    reader_ = SlotReader();
    procedure_ = Procedure::Idle;
}

std::uint32_t SmdiSlave::PacketLengthFor(std::uint32_t requested, std::uint32_t frameBytes) const {
    if (faults_.zeroPacket) return 0;
    std::uint32_t length = std::min(requested, config_.packetMax);
    if (frameBytes > 0 && length >= frameBytes) length -= length % frameBytes;
    return length;
}

SmdiSlave::Reply SmdiSlave::Identify() {
    Reset();
    if (faults_.rejectIdentify) return One(smdi::Reject(smdi::kRejectGeneral, 0));
    return One(smdi::Bare(Message::SlaveIdentify));
}

SmdiSlave::Reply SmdiSlave::HeaderRequest(const smdi::Reader& message) {
    Reset();
    const std::uint32_t slot = message.At(0, 3);
    if (faults_.rejectRequest >= 0) return One(smdi::Reject(static_cast<std::uint16_t>(faults_.rejectRequest), 0));
    if (slot >= config_.slots) return One(smdi::Reject(smdi::kRejectSample, 0));
    const auto sample = store_.Find(slot);
    if (!sample) return One(smdi::Reject(smdi::kRejectSample, 2));
    const SoundInfo& info = sample->info;
    const int w = WordBytesFor(info, Synthesizer());
    std::uint32_t pitch = 0, fraction = 0;
    PitchOf(info.instrument, pitch, fraction);
    const std::uint32_t period =
        faults_.zeroPeriod || info.sampleRate == 0 ? 0 : kNanosecondsPerSecond / info.sampleRate;
    const auto nameLength = static_cast<std::uint32_t>(sample->name.size());
    return One(smdi::Writer(Message::SampleHeader)
                   .U24(slot)
                   .U8(static_cast<std::uint32_t>(8 * w))
                   .U8(info.channels)
                   .U24(period)
                   .U32(info.frames)
                   .U32(faults_.crossedLoop ? info.loopEnd + 1 : info.loopStart)
                   .U32(info.loopEnd == 0 ? 0 : info.loopEnd - 1)
                   .U8(info.loopOn ? kLoopOn : kLoopOff)
                   .U16(pitch)
                   .U16(fraction)
                   .U8(nameLength)
                   .Bytes(reinterpret_cast<const std::uint8_t*>(sample->name.data()), nameLength)
                   .Finish());
}

SmdiSlave::Reply SmdiSlave::TakeHeader(const smdi::Reader& message) {
    Reset();
    constexpr std::uint32_t kFixedBytes = 26;
    if (message.PayloadLength() < kFixedBytes) return One(smdi::Reject(smdi::kRejectGeneral, 2));
    const std::uint32_t slot = message.At(0, 3);
    const std::uint32_t bits = message.At(3, 1);
    const std::uint32_t channels = message.At(4, 1);
    const std::uint32_t period = message.At(5, 3);
    if (faults_.rejectHeader >= 0)
        return One(smdi::Reject(smdi::kRejectSample, static_cast<std::uint16_t>(faults_.rejectHeader)));
    if (slot >= config_.slots) return One(smdi::Reject(smdi::kRejectSample, 0));
    if (bits != 16 && !(bits == 8 && Synthesizer())) return One(smdi::Reject(smdi::kRejectSample, 6));
    if (channels != 1 && channels != 2) return One(smdi::Reject(smdi::kRejectSample, 7));
    if (period == 0) return One(smdi::Reject(smdi::kRejectGeneral, 2));
    IncomingFormat format;
    format.bits = static_cast<std::uint16_t>(bits);
    format.channels = static_cast<std::uint16_t>(channels);
    format.rate = ((2 * kNanosecondsPerSecond / period + 5) / 10) * 5;
    format.frames = message.At(8, 4);
    format.loopStart = message.At(12, 4);
    const std::uint32_t lastLooped = message.At(16, 4);
    format.loopEnd = lastLooped == 0 ? 0 : lastLooped + 1;
    format.loopOn = message.At(20, 1) < kLoopOff;
    format.unityNote = static_cast<std::uint8_t>(std::min<std::uint32_t>(message.At(21, 2), 127));
    const std::uint32_t nameLength = std::min(message.At(25, 1), message.PayloadLength() - kFixedBytes);
    format.name.assign(reinterpret_cast<const char*>(message.Payload()) + kFixedBytes, nameLength);
    incoming_ = format;
    slot_ = slot;
    packetLength_ = PacketLengthFor(config_.packetMax, channels * (bits / 8));
    procedure_ = Procedure::HeaderAccepted;
    return One(smdi::Writer(Message::BeginSampleTransferAck).U24(slot).U24(packetLength_).Finish());
}

SmdiSlave::Reply SmdiSlave::BeginTransfer(const smdi::Reader& message) {
    const std::uint32_t slot = message.At(0, 3);
    const std::uint32_t requested = message.At(3, 3);
    if (faults_.rejectBegin >= 0) {
        Reset();
        return One(smdi::Reject(smdi::kRejectTransfer, static_cast<std::uint16_t>(faults_.rejectBegin)));
    }
    if (procedure_ == Procedure::HeaderAccepted) {
        // The master sends the sample whose header it gave.
        if (slot != slot_) return One(smdi::Reject(smdi::kRejectTransfer, 1));
        if (requested > packetLength_) return One(smdi::Reject(smdi::kRejectTransfer, 2));
        if (!writer_.Begin(store_, slot, incoming_)) {
            Reset();
            return One(smdi::Reject(smdi::kRejectSample, 4));
        }
        procedure_ = Procedure::Receiving;
        nextPacket_ = 0;
        if (writer_.Expected() == 0) return EndReceiving();
        return Acknowledge(smdi::Writer(Message::SendNextPacket).U24(0).Finish());
    }
    // The master asks for a sample.
    Reset();
    if (slot >= config_.slots) return One(smdi::Reject(smdi::kRejectSample, 0));
    const auto sample = store_.Find(slot);
    if (!sample) return One(smdi::Reject(smdi::kRejectSample, 2));
    const int w = WordBytesFor(sample->info, Synthesizer());
    if (requested == 0) return One(smdi::Reject(smdi::kRejectTransfer, 2));
    if (!reader_.Open(*sample, w)) return One(smdi::Reject(smdi::kRejectSample, 2));
    slot_ = slot;
    packetLength_ = PacketLengthFor(requested, static_cast<std::uint32_t>(w) * sample->info.channels);
    procedure_ = Procedure::Sending;
    return One(smdi::Writer(Message::BeginSampleTransferAck).U24(slot).U24(packetLength_).Finish());
}

SmdiSlave::Reply SmdiSlave::EndReceiving() {
    const bool stored = writer_.Finish();
    Reset();
    if (!stored) return One(smdi::Reject(smdi::kRejectSample, 4));
    return Acknowledge(smdi::Bare(Message::EndOfProcedure));
}

SmdiSlave::Reply SmdiSlave::TakePacket(const smdi::Reader& message) {
    if (procedure_ != Procedure::Receiving || message.PayloadLength() < 3)
        return One(smdi::Reject(smdi::kRejectGeneral, 2));
    const std::uint32_t packet = message.At(0, 3);
    const std::uint32_t length = message.PayloadLength() - 3;
    if (packet != nextPacket_) return One(smdi::Reject(smdi::kRejectPacketNumber, 0));
    if (length > packetLength_) return One(smdi::Reject(smdi::kRejectTransfer, 2));
    if (faults_.abortAt >= 0 && packet == static_cast<std::uint32_t>(faults_.abortAt)) {
        Reset();
        return Acknowledge(smdi::Bare(Message::AbortProcedure));
    }
    if (!writer_.Append(message.Payload() + 3, length)) {
        Reset();
        return One(smdi::Reject(smdi::kRejectSample, 4));
    }
    ++nextPacket_;
    const bool early = faults_.endEarlyAt >= 0 && nextPacket_ == static_cast<std::uint32_t>(faults_.endEarlyAt);
    if (early || writer_.Received() >= writer_.Expected()) return EndReceiving();
    return Acknowledge(smdi::Writer(Message::SendNextPacket).U24(nextPacket_).Finish());
}

SmdiSlave::Reply SmdiSlave::GivePacket(const smdi::Reader& message) {
    if (procedure_ != Procedure::Sending) return One(smdi::Reject(smdi::kRejectGeneral, 2));
    const std::uint32_t packet = message.At(0, 3);
    if (faults_.abortAt >= 0 && packet == static_cast<std::uint32_t>(faults_.abortAt)) {
        Reset();
        return One(smdi::Bare(Message::AbortProcedure));
    }
    const std::uint64_t offset = std::uint64_t{packet} * packetLength_;
    const bool early = faults_.endEarlyAt >= 0 && packet == static_cast<std::uint32_t>(faults_.endEarlyAt);
    if (early || packetLength_ == 0 || offset >= reader_.TotalBytes()) {
        Reset();
        return One(smdi::Bare(Message::EndOfProcedure));
    }
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(packetLength_, reader_.TotalBytes() - offset));
    std::vector<std::uint8_t> data(length + (faults_.longData ? kLongDataExtra : 0), 0);
    if (!reader_.Read(offset, length, data.data())) {
        Reset();
        return One(smdi::Bare(Message::AbortProcedure));
    }
    return One(smdi::Writer(Message::DataPacket).U24(packet).Bytes(data.data(), data.size()).Finish());
}

SmdiSlave::Reply SmdiSlave::Acknowledge(std::vector<std::uint8_t> message) {
    if (faults_.doubleWait) return {smdi::Bare(Message::Wait), smdi::Bare(Message::Wait), std::move(message)};
    if (faults_.wait > 0) {
        --faults_.wait;
        return {smdi::Bare(Message::Wait), std::move(message)};
    }
    return One(std::move(message));
}

}  // namespace pelmora::aspi
