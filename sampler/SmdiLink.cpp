#include "sampler/SmdiLink.h"

#include <cstring>

#include "platform/Aspi.h"
#include "sampler/SmdiMessage.h"

namespace pelmora::smdi {

namespace {

constexpr std::uint8_t kSend = 0x0A, kReceive = 0x08;
constexpr std::uint32_t kIdentifyAnswer = 16;
constexpr std::uint32_t kAckAnswer = 15;
constexpr std::uint32_t kLengthAnswer = 17;
constexpr std::uint32_t kPacketHead = 14;  // header and packet number
// A RECEIVE that ends with check condition still carries the instrument's answer.
constexpr std::uint32_t kCheckConditionWithData = 0x81040002;

std::vector<std::uint8_t> WithNumber(MessageId id, std::uint32_t number) {
    std::vector<std::uint8_t> payload(3);
    PutBigEndian(payload.data(), number, 3);
    return Build(id, payload);
}

bool IsPacketRequest(const std::uint8_t* data, std::size_t size) {
    std::uint8_t header[kHeaderBytes];
    PutHeader(header, MessageId::SendNextPacket, 3);
    return size >= kAckAnswer && std::memcmp(data, header, kHeaderBytes) == 0;
}

}  // namespace

ScsiStatus SmdiLink::SendBuffer(AlignedBuffer& buffer, std::uint32_t length) {
    CAspiCommand command(device_.Entry());
    command.SetAddress(device_);
    const std::uint8_t cdb[6] = {kSend, 0, static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 8),
                                 static_cast<std::uint8_t>(length), 0};
    command.SetCdb(sizeof cdb, cdb);
    command.SetDataOut(length, buffer.Data());
    return command.Execute();
}

ScsiStatus SmdiLink::Send(const std::vector<std::uint8_t>& message) {
    const auto length = static_cast<std::uint32_t>(message.size());
    AlignedBuffer buffer;
    if (!buffer.Allocate(length, device_.BufferAlignment(), message.data())) return {ScsiStatus::kNoCommandObject};
    return SendBuffer(buffer, length);
}

bool SmdiLink::ShowRejectMessage(const std::uint8_t* data, std::size_t size) {
    const RejectVerdict verdict = ClassifyRejectMessage(data, size);
    if (verdict.kind == RejectKind::Unknown) return false;
    if (verdict.text) prompter_.Message(Text(*verdict.text));
    return true;
}

bool SmdiLink::ReceiveReply(std::uint32_t allocation, AlignedBuffer& buffer, CAspiCommand* given) {
    // An answer shorter than the last one must not be read with the last one's bytes behind it.
    if (buffer.Size() < allocation) return false;
    std::memset(buffer.Data(), 0, buffer.Size());
    CAspiCommand own(device_.Entry());
    CAspiCommand& command = given ? *given : own;
    if (given) command.ResetForRetry();
    command.SetAddress(device_);
    const std::uint8_t cdb[6] = {kReceive, 0, static_cast<std::uint8_t>(allocation >> 16),
                                 static_cast<std::uint8_t>(allocation >> 8), static_cast<std::uint8_t>(allocation), 0};
    command.SetCdb(sizeof cdb, cdb);
    command.SetDataIn(allocation, buffer.Data());
    const ScsiStatus status = command.Execute();
    const std::uint8_t* data = buffer.Data();
    if (!status.IsSuccess() && status.value != kCheckConditionWithData) {
        if (IsReject(data, allocation)) ShowRejectMessage(data, allocation);
        else ShowCommunicationError();
        return false;
    }
    if (!IsReject(data, allocation)) return true;
    if (ShowRejectMessage(data, allocation)) return false;
    prompter_.Message(FormatText(StringId::RejectUnknown, int{data[11]}, int{data[12]}, int{data[13]}, int{data[14]}));
    return false;
}

bool SmdiLink::Exchange(const std::vector<std::uint8_t>& message, std::uint32_t allocation, AlignedBuffer& answer,
                        bool reportSend) {
    if (!Send(message).IsSuccess()) {
        if (reportSend) ShowCommunicationError();
        return false;
    }
    return ReceiveReply(allocation, answer);
}

bool SmdiLink::MasterIdentify() {
    AlignedBuffer answer(kIdentifyAnswer, device_.BufferAlignment());
    return Exchange(Build(MessageId::MasterIdentify), kIdentifyAnswer, answer);
}

bool SmdiLink::AbortProcedure() {
    AlignedBuffer answer(kIdentifyAnswer, device_.BufferAlignment());
    return Exchange(Build(MessageId::AbortProcedure), kIdentifyAnswer, answer);
}

bool SmdiLink::RequestSampleHeader(std::uint32_t slot, AlignedBuffer& answer) {
    return Exchange(WithNumber(MessageId::SampleHeaderRequest, slot), kSampleHeaderReceiveBytes, answer);
}

std::optional<std::uint32_t> SmdiLink::SendSampleHeader(const SoundInfo& sound, const std::string& title,
                                                        std::uint32_t slot) {
    const auto message = BuildSampleHeader(sound, title, slot, family_);
    if (!message) {
        ShowCommunicationError();
        return std::nullopt;
    }
    AlignedBuffer answer(kLengthAnswer, device_.BufferAlignment());
    if (!Exchange(*message, kLengthAnswer, answer, true)) return std::nullopt;
    return BigEndianAt(answer.Data(), kLengthAnswer, 14, 3);
}

std::optional<std::uint32_t> SmdiLink::BeginReceiveTransfer(std::uint32_t slot, std::uint32_t requestedLength) {
    std::vector<std::uint8_t> payload(6);
    PutBigEndian(payload.data(), slot, 3);
    PutBigEndian(payload.data() + 3, requestedLength, 3);
    AlignedBuffer answer(kLengthAnswer, device_.BufferAlignment());
    if (!Exchange(Build(MessageId::BeginSampleTransfer, payload), kLengthAnswer, answer, true)) return std::nullopt;
    return BigEndianAt(answer.Data(), kLengthAnswer, 14, 3);
}

Ack SmdiLink::BeginSendTransfer(std::uint32_t slot, std::uint32_t packetLength, std::uint32_t& packet) {
    std::vector<std::uint8_t> payload(6);
    PutBigEndian(payload.data(), slot, 3);
    PutBigEndian(payload.data() + 3, packetLength, 3);
    if (!Send(Build(MessageId::BeginSampleTransfer, payload)).IsSuccess()) {
        ShowCommunicationError();
        return Ack::Failed;
    }
    return WaitForAck(packet);
}

Ack SmdiLink::WaitForAck(std::uint32_t& packet) {
    AlignedBuffer answer(kAckAnswer, device_.BufferAlignment());
    CAspiCommand command(device_.Entry());
    command.SetAddress(device_);
    if (!ReceiveReply(kAckAnswer, answer, &command)) return Ack::Failed;
    if (IsWait(answer.Data(), kAckAnswer)) {
        command.ResetForRetry();
        if (!device_.TestUnitReady(&command).IsSuccess()) return Ack::Failed;
        if (!ReceiveReply(kAckAnswer, answer, &command)) return Ack::Failed;
    }
    const std::uint8_t* data = answer.Data();
    if (IsEndOfProcedure(data, kAckAnswer)) return Ack::End;
    // Only a Send Next Packet asks for a packet: a second Wait, an Abort or anything else ends
    // the transfer rather than sending a packet nobody asked for.
    if (!IsPacketRequest(data, kAckAnswer)) {
        ShowCommunicationError();
        return Ack::Failed;
    }
    packet = BigEndianAt(data, kAckAnswer, 11, 3);
    return Ack::Next;
}

Ack SmdiLink::SendDataPacket(std::uint32_t packet, AlignedBuffer& data, std::uint32_t dataBytes, std::uint32_t& next) {
    if (data.Size() < dataBytes + kPacketHead) return Ack::Failed;
    PutHeader(data.Data(), MessageId::DataPacket, dataBytes + 3);
    PutBigEndian(data.Data() + kHeaderBytes, packet, 3);
    if (!SendBuffer(data, dataBytes + kPacketHead).IsSuccess()) {
        ShowCommunicationError();
        return Ack::Failed;
    }
    return WaitForAck(next);
}

bool SmdiLink::RequestDataPacket(std::uint32_t packet, std::uint32_t length, AlignedBuffer& answer) {
    if (!Send(WithNumber(MessageId::SendNextPacket, packet)).IsSuccess()) {
        ShowCommunicationError();
        return false;
    }
    if (!ReceiveReply(length, answer)) return false;
    return !IsAbort(answer.Data(), length);
}

}  // namespace pelmora::smdi
