#pragma once
// The SMDI operations of the master, each a SEND of one message and the RECEIVE of its answer
// on the current instrument. Failures are shown through the prompter as they happen (SCSI
// errors, reject texts); the caller only learns success or failure.

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Prompter.h"
#include "base/StringId.h"
#include "sampler/AlignedBuffer.h"
#include "sampler/CAspiDevice.h"
#include "sampler/InstrumentList.h"
#include "sampler/SampleHeader.h"

namespace pelmora::smdi {

// What WaitForAck and SendDataPacket answer.
enum class Ack { Failed = 0, Next = 1, End = -1 };

class SmdiLink {
public:
    SmdiLink(CAspiDevice& device, DeviceFamily family, Prompter& prompter)
        : device_(device), family_(family), prompter_(prompter) {}

    DeviceFamily Family() const { return family_; }
    CAspiDevice& Device() { return device_; }

    // True when the instrument answers and the answer is not a Message Reject.
    bool MasterIdentify();
    // Callers ignore the result.
    bool AbortProcedure();
    // The answer lands in `answer` (512 bytes, cleared first); true on a usable answer.
    bool RequestSampleHeader(std::uint32_t slot, AlignedBuffer& answer);
    // The data packet length the instrument accepts (which may be 0); nullopt on failure.
    std::optional<std::uint32_t> SendSampleHeader(const SoundInfo& sound, const std::string& title, std::uint32_t slot);
    // The first packet number the instrument asks for; Ack::Failed when it does not.
    Ack BeginSendTransfer(std::uint32_t slot, std::uint32_t packetLength, std::uint32_t& packet);
    // `data` already holds the data after a 14-byte head this fills in; Next with the packet
    // asked for next, End at End of Procedure.
    Ack SendDataPacket(std::uint32_t packet, AlignedBuffer& data, std::uint32_t dataBytes, std::uint32_t& next);
    // The accepted packet length (which may be 0); nullopt on failure.
    std::optional<std::uint32_t> BeginReceiveTransfer(std::uint32_t slot, std::uint32_t requestedLength);
    // The answer lands in `answer` (cleared first, `length` bytes read); false also when the
    // instrument answered Abort Procedure.
    bool RequestDataPacket(std::uint32_t packet, std::uint32_t length, AlignedBuffer& answer);

    // The texts of a failure.
    void ShowCommunicationError() { ShowMessage(StringId::ScsiCommunicationError); }
    void ShowMessage(StringId text) { prompter_.Message(Text(text)); }

private:
    ScsiStatus Send(const std::vector<std::uint8_t>& message);
    ScsiStatus SendBuffer(AlignedBuffer& buffer, std::uint32_t length);
    bool ReceiveReply(std::uint32_t allocation, AlignedBuffer& buffer, CAspiCommand* command = nullptr);
    Ack WaitForAck(std::uint32_t& packet);
    // Shows a reject's text; false for a reject outside the table's codes.
    bool ShowRejectMessage(const std::uint8_t* data, std::size_t size);
    // A failed SEND shows its message only when `reportSend` (inside a transfer, where a silent
    // failure would look like success).
    bool Exchange(const std::vector<std::uint8_t>& message, std::uint32_t allocation, AlignedBuffer& answer,
                  bool reportSend = false);

    CAspiDevice& device_;
    DeviceFamily family_;
    Prompter& prompter_;
};

}  // namespace pelmora::smdi
