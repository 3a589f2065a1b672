#pragma once
// SMDI messages as the master builds and reads them: an 11-byte header ("SMDI", id, sub-id 0,
// the length of what follows), then the payload; every number big-endian. The answers it
// recognises by their whole header, and the reject table with its texts.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/StringId.h"

namespace pelmora::smdi {

inline constexpr std::size_t kHeaderBytes = 11;

enum class MessageId : std::uint16_t {
    MasterIdentify = 0x0001,
    MessageReject = 0x0002,
    Wait = 0x0102,
    SendNextPacket = 0x0103,
    EndOfProcedure = 0x0104,
    AbortProcedure = 0x0105,
    DataPacket = 0x0110,
    SampleHeaderRequest = 0x0120,
    SampleHeader = 0x0121,
    BeginSampleTransfer = 0x0122,
};

// Header and payload; the length field is the payload's size.
std::vector<std::uint8_t> Build(MessageId id, const std::vector<std::uint8_t>& payload = {});
// Writes the header of a message whose payload is `payloadBytes` long into `out` (11 bytes).
void PutHeader(std::uint8_t* out, MessageId id, std::uint32_t payloadBytes);

// A big-endian number of `bytes` bytes at `at`; bytes past `size` read as 0.
std::uint32_t BigEndianAt(const std::uint8_t* data, std::size_t size, std::size_t at, int bytes);
void PutBigEndian(std::uint8_t* out, std::uint32_t value, int bytes);

// True when the first 11 bytes are exactly that message's header: "SMDI", the id, sub-id 0 and
// length 4 for Message Reject, 0 for Wait, End of Procedure and Abort Procedure.
bool IsReject(const std::uint8_t* data, std::size_t size);
bool IsWait(const std::uint8_t* data, std::size_t size);
bool IsEndOfProcedure(const std::uint8_t* data, std::size_t size);
bool IsAbort(const std::uint8_t* data, std::size_t size);

enum class RejectKind { Text, Silent, Unknown };

struct RejectVerdict {
    RejectKind kind = RejectKind::Unknown;
    std::optional<StringId> text;  // set for RejectKind::Text
};

// What the reject table says of a code and sub-code.
RejectVerdict ClassifyReject(std::uint16_t code, std::uint16_t subCode);

// The message bytes a Message Reject carries: its code (bytes 11..12) and sub-code (13..14).
RejectVerdict ClassifyRejectMessage(const std::uint8_t* data, std::size_t size);

// False only for a Message Reject that is silent; true for every other answer.
bool IsKnownReply(const std::uint8_t* data, std::size_t size);

}  // namespace pelmora::smdi
