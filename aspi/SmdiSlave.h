#pragma once
// The instrument's side of SMDI: identify, sample headers, and sample transfers in both
// directions over its slot files, with the faults its description switches on.

#include <cstdint>
#include <vector>

#include "aspi/InstrumentConfig.h"
#include "aspi/SlotStore.h"
#include "aspi/SmdiWire.h"

namespace pelmora::aspi {

class SmdiSlave {
public:
    SmdiSlave(const InstrumentConfig& config, Faults& faults, std::string folder);

    // The replies to one message from the master, in the order the master reads them (a Wait
    // comes before the reply it holds back).
    std::vector<std::vector<std::uint8_t>> Handle(const std::uint8_t* data, std::size_t size);

private:
    enum class Procedure { Idle, HeaderAccepted, Receiving, Sending };
    using Reply = std::vector<std::vector<std::uint8_t>>;

    Reply Identify();
    Reply HeaderRequest(const smdi::Reader& message);
    Reply TakeHeader(const smdi::Reader& message);
    Reply BeginTransfer(const smdi::Reader& message);
    Reply TakePacket(const smdi::Reader& message);
    Reply GivePacket(const smdi::Reader& message);
    // An acknowledgement the master waits for, with a Wait in front while that fault lasts.
    Reply Acknowledge(std::vector<std::uint8_t> message);
    Reply EndReceiving();
    void Reset();
    bool Synthesizer() const { return config_.family == EmulatedFamily::Synthesizer; }
    // A packet length of whole frames, at most what this instrument takes.
    std::uint32_t PacketLengthFor(std::uint32_t requested, std::uint32_t frameBytes) const;

    InstrumentConfig config_;
    Faults& faults_;
    SlotStore store_;
    Procedure procedure_ = Procedure::Idle;
    std::uint32_t slot_ = 0;
    std::uint32_t packetLength_ = 0;
    std::uint32_t nextPacket_ = 0;
    IncomingFormat incoming_;
    SlotWriter writer_;
    SlotReader reader_;
};

}  // namespace pelmora::aspi
