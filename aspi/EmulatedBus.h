#pragma once
// The emulated SCSI bus: one adapter with its own id 7 and one instrument per subfolder of a
// directory that holds an instrument.txt. Every SMDI message on it is logged to DIR/log.

#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "aspi/Backend.h"
#include "aspi/InstrumentConfig.h"
#include "aspi/SmdiSlave.h"

namespace pelmora::aspi {

inline constexpr std::uint8_t kEmulatedAdapterId = 7;
// The adapter's buffer alignment mask (HA_Unique bytes 0..1) and largest transfer.
inline constexpr std::uint16_t kEmulatedAlignmentMask = 0x0003;
inline constexpr std::uint32_t kEmulatedMaxTransfer = 0x100000;

// One instrument: INQUIRY, TEST UNIT READY, and SMDI through SEND and RECEIVE with at most one
// reply waiting to be read.
class EmulatedInstrument {
public:
    using Log = std::function<void(const std::string&)>;
    EmulatedInstrument(const InstrumentConfig& config, const std::string& folder, Log log);
    int Id() const { return config_.id; }
    void Execute(SRB_ExecSCSICmd& srb);

private:
    void Inquiry(SRB_ExecSCSICmd& srb, std::uint32_t allocation);
    void Send(SRB_ExecSCSICmd& srb, std::uint32_t length);
    void Receive(SRB_ExecSCSICmd& srb, std::uint32_t allocation);

    InstrumentConfig config_;
    Faults faults_;
    Log log_;
    SmdiSlave slave_;
    std::deque<std::vector<std::uint8_t>> replies_;
};

class EmulatedBus : public Backend {
public:
    explicit EmulatedBus(std::string directory);
    void Refresh() override;
    std::uint8_t AdapterCount() const override { return 1; }
    void Inquire(SRB_HAInquiry& srb) override;
    void Execute(SRB_ExecSCSICmd& srb) override;

private:
    void Write(const std::string& line);

    struct Loaded {
        std::string description;  // the instrument.txt it was made from
        std::unique_ptr<EmulatedInstrument> instrument;
    };
    std::string directory_;
    std::ofstream log_;
    std::map<std::string, Loaded> instruments_;  // by subfolder name
};

}  // namespace pelmora::aspi
