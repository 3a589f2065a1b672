#include "sampler/SmdiMessage.h"

#include <cstring>

namespace pelmora::smdi {

namespace {

bool HeaderIs(const std::uint8_t* data, std::size_t size, MessageId id, std::uint32_t length) {
    if (size < kHeaderBytes) return false;
    std::uint8_t expected[kHeaderBytes];
    PutHeader(expected, id, length);
    return std::memcmp(data, expected, kHeaderBytes) == 0;
}

struct RejectRow {
    std::uint16_t code;
    std::uint16_t subCode;
    StringId text;
};

constexpr RejectRow kRejectTable[] = {
    {0x0002, 0x0000, StringId::RejectNotSupported}, {0x0002, 0x0002, StringId::RejectInappropriate},
    {0x0005, 0x0000, StringId::RejectDeviceBusy},   {0x0011, 0x0000, StringId::RejectPacketNumber},
    {0x0020, 0x0004, StringId::RejectSampleMemory}, {0x0020, 0x0005, StringId::RejectParamMemory},
    {0x0020, 0x0006, StringId::RejectBitsPerWord},  {0x0020, 0x0007, StringId::RejectChannels},
    {0x0022, 0x0001, StringId::RejectSampleNumber}, {0x0022, 0x0002, StringId::RejectPacketLength},
};

// The codes whose other sub-codes are handled without a text.
constexpr std::uint16_t kKnownCodes[] = {0x0002, 0x0005, 0x0011, 0x0020, 0x0022};

}  // namespace

void PutBigEndian(std::uint8_t* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * (bytes - 1 - i)));
}

std::uint32_t BigEndianAt(const std::uint8_t* data, std::size_t size, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        const std::size_t index = at + static_cast<std::size_t>(i);
        value = (value << 8) | (index < size ? data[index] : 0u);
    }
    return value;
}

void PutHeader(std::uint8_t* out, MessageId id, std::uint32_t payloadBytes) {
    std::memcpy(out, "SMDI", 4);
    PutBigEndian(out + 4, static_cast<std::uint16_t>(id), 2);
    PutBigEndian(out + 6, 0, 2);
    PutBigEndian(out + 8, payloadBytes, 3);
}

std::vector<std::uint8_t> Build(MessageId id, const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> message(kHeaderBytes + payload.size());
    PutHeader(message.data(), id, static_cast<std::uint32_t>(payload.size()));
    if (!payload.empty()) std::memcpy(message.data() + kHeaderBytes, payload.data(), payload.size());
    return message;
}

bool IsReject(const std::uint8_t* data, std::size_t size) { return HeaderIs(data, size, MessageId::MessageReject, 4); }
bool IsWait(const std::uint8_t* data, std::size_t size) { return HeaderIs(data, size, MessageId::Wait, 0); }
bool IsEndOfProcedure(const std::uint8_t* data, std::size_t size) {
    return HeaderIs(data, size, MessageId::EndOfProcedure, 0);
}
bool IsAbort(const std::uint8_t* data, std::size_t size) { return HeaderIs(data, size, MessageId::AbortProcedure, 0); }

RejectVerdict ClassifyReject(std::uint16_t code, std::uint16_t subCode) {
    for (const RejectRow& row : kRejectTable)
        if (row.code == code && row.subCode == subCode) return {RejectKind::Text, row.text};
    for (std::uint16_t known : kKnownCodes)
        if (known == code) return {RejectKind::Silent, std::nullopt};
    return {RejectKind::Unknown, std::nullopt};
}

RejectVerdict ClassifyRejectMessage(const std::uint8_t* data, std::size_t size) {
    return ClassifyReject(static_cast<std::uint16_t>(BigEndianAt(data, size, 11, 2)),
                          static_cast<std::uint16_t>(BigEndianAt(data, size, 13, 2)));
}

bool IsKnownReply(const std::uint8_t* data, std::size_t size) {
    return !IsReject(data, size) || ClassifyRejectMessage(data, size).kind != RejectKind::Silent;
}

}  // namespace pelmora::smdi
