#include "aspi/SmdiWire.h"

#include <cstdio>
#include <cstring>

namespace pelmora::aspi::smdi {

Writer::Writer(Message message) {
    bytes_ = {'S', 'M', 'D', 'I'};
    U32(static_cast<std::uint32_t>(message));
    U24(0);
}

Writer& Writer::Put(std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
}

Writer& Writer::Bytes(const std::uint8_t* data, std::size_t count) {
    bytes_.insert(bytes_.end(), data, data + count);
    return *this;
}

std::vector<std::uint8_t> Writer::Finish() {
    const std::size_t length = bytes_.size() - kHeaderBytes;
    bytes_[8] = static_cast<std::uint8_t>(length >> 16);
    bytes_[9] = static_cast<std::uint8_t>(length >> 8);
    bytes_[10] = static_cast<std::uint8_t>(length);
    return bytes_;
}

Reader::Reader(const std::uint8_t* data, std::size_t size) : data_(data) {
    if (size < kHeaderBytes || std::memcmp(data, "SMDI", 4) != 0) return;
    id_ = static_cast<Message>((std::uint32_t{data[4]} << 24) | (std::uint32_t{data[5]} << 16) |
                               (std::uint32_t{data[6]} << 8) | data[7]);
    length_ = (std::uint32_t{data[8]} << 16) | (std::uint32_t{data[9]} << 8) | data[10];
    valid_ = length_ <= size - kHeaderBytes;
    if (!valid_) length_ = 0;
}

std::uint32_t Reader::At(std::size_t offset, int bytes) const {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        const std::size_t at = offset + static_cast<std::size_t>(i);
        v = (v << 8) | (at < length_ ? data_[kHeaderBytes + at] : 0);
    }
    return v;
}

std::vector<std::uint8_t> Reject(std::uint16_t code, std::uint16_t subCode) {
    return Writer(Message::MessageReject).U16(code).U16(subCode).Finish();
}

std::vector<std::uint8_t> Bare(Message message) { return Writer(message).Finish(); }

std::string NameOf(Message message) {
    switch (message) {
    case Message::MasterIdentify: return "Master Identify";
    case Message::SlaveIdentify: return "Slave Identify";
    case Message::MessageReject: return "Message Reject";
    case Message::Ack: return "ACK";
    case Message::Wait: return "Wait";
    case Message::SendNextPacket: return "Send Next Packet";
    case Message::EndOfProcedure: return "End of Procedure";
    case Message::AbortProcedure: return "Abort Procedure";
    case Message::DataPacket: return "Data Packet";
    case Message::SampleHeaderRequest: return "Sample Header Request";
    case Message::SampleHeader: return "Sample Header";
    case Message::BeginSampleTransfer: return "Begin Sample Transfer";
    case Message::BeginSampleTransferAck: return "Begin Sample Transfer Acknowledge";
    }
    char text[32];
    std::snprintf(text, sizeof text, "message %08X", static_cast<unsigned>(message));
    return text;
}

std::string Describe(const std::uint8_t* data, std::size_t size) {
    const Reader r(data, size);
    if (!r.Valid()) return "not a message (" + std::to_string(size) + " bytes)";
    std::string text = NameOf(r.Id());
    auto add = [&text](const char* label, std::uint32_t value) {
        text += std::string(" ") + label + "=" + std::to_string(value);
    };
    switch (r.Id()) {
    case Message::MessageReject: {
        char codes[24];
        std::snprintf(codes, sizeof codes, " %04X/%04X", static_cast<unsigned>(r.At(0, 2)),
                      static_cast<unsigned>(r.At(2, 2)));
        text += codes;
        break;
    }
    case Message::SendNextPacket: add("packet", r.At(0, 3)); break;
    case Message::DataPacket:
        add("packet", r.At(0, 3));
        add("bytes", r.PayloadLength() >= 3 ? r.PayloadLength() - 3 : 0);
        break;
    case Message::SampleHeaderRequest: add("sample", r.At(0, 3)); break;
    case Message::SampleHeader:
        add("sample", r.At(0, 3));
        add("bits", r.At(3, 1));
        add("channels", r.At(4, 1));
        add("period", r.At(5, 3));
        add("words", r.At(8, 4));
        break;
    case Message::BeginSampleTransfer:
    case Message::BeginSampleTransferAck:
        add("sample", r.At(0, 3));
        add("packet-length", r.At(3, 3));
        break;
    default: break;
    }
    return text;
}

}  // namespace pelmora::aspi::smdi
