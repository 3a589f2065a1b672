#pragma once
// SMDI messages as bytes: "SMDI", message id, sub-id, a 3-byte length of what follows the
// 11-byte header, then the payload; every number big-endian.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pelmora::aspi::smdi {

inline constexpr std::size_t kHeaderBytes = 11;

// Message ids (high 16 bits) and sub-ids (low 16 bits).
enum class Message : std::uint32_t {
    MasterIdentify = 0x00010000,
    SlaveIdentify = 0x00010001,
    MessageReject = 0x00020000,
    Ack = 0x01000000,
    Wait = 0x01020000,
    SendNextPacket = 0x01030000,
    EndOfProcedure = 0x01040000,
    AbortProcedure = 0x01050000,
    DataPacket = 0x01100000,
    SampleHeaderRequest = 0x01200000,
    SampleHeader = 0x01210000,
    BeginSampleTransfer = 0x01220000,
    BeginSampleTransferAck = 0x01220001,
};

// Reject codes and sub-codes the instrument gives.
inline constexpr std::uint16_t kRejectGeneral = 0x0002;  // 0 not supported, 2 inappropriate
inline constexpr std::uint16_t kRejectPacketNumber = 0x0011;
inline constexpr std::uint16_t kRejectSample = 0x0020;   // 0 out of range, 2 no sample, 6 bits, 7 channels
inline constexpr std::uint16_t kRejectTransfer = 0x0022; // 1 sample number, 2 packet length

class Writer {
public:
    explicit Writer(Message message);
    Writer& U8(std::uint32_t v) { return Put(v, 1); }
    Writer& U16(std::uint32_t v) { return Put(v, 2); }
    Writer& U24(std::uint32_t v) { return Put(v, 3); }
    Writer& U32(std::uint32_t v) { return Put(v, 4); }
    Writer& Bytes(const std::uint8_t* data, std::size_t count);
    // The finished message with its length field filled in.
    std::vector<std::uint8_t> Finish();

private:
    Writer& Put(std::uint32_t v, int bytes);
    std::vector<std::uint8_t> bytes_;
};

// A received message: the header checked, fields read within its bounds (0 past the end).
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size);
    // "SMDI" present and the length field within the bytes transferred.
    bool Valid() const { return valid_; }
    Message Id() const { return id_; }
    std::uint32_t PayloadLength() const { return length_; }
    const std::uint8_t* Payload() const { return data_ + kHeaderBytes; }
    // A big-endian number at `offset` from the payload's start.
    std::uint32_t At(std::size_t offset, int bytes) const;

private:
    const std::uint8_t* data_;
    bool valid_ = false;
    Message id_ = Message::MasterIdentify;
    std::uint32_t length_ = 0;
};

std::vector<std::uint8_t> Reject(std::uint16_t code, std::uint16_t subCode);
std::vector<std::uint8_t> Bare(Message message);
// A short name of the message for the log.
std::string NameOf(Message message);
// One log line's worth: the name and the numbers that matter in it.
std::string Describe(const std::uint8_t* data, std::size_t size);

}  // namespace pelmora::aspi::smdi
