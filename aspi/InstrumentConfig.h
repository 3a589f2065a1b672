#pragma once
// An emulated instrument's description, read from the `key = value` lines of its folder's
// instrument.txt: identity, SCSI id, slot count, and the faults it is told to show.

#include <cstdint>
#include <optional>
#include <string>

namespace pelmora::aspi {

// Switchable faults. Counts run down as the fault shows; -1 means "always".
struct Faults {
    int wait = 0;               // wait:N   answer Wait before the next N acknowledgements
    int busy = 0;               // busy:N   the next N commands end with target status busy
    int selectionTimeout = 0;   // selection-timeout[:N]  the next N commands are not answered
    int rejectHeader = -1;      // reject-header:S  a Sample Header is refused with 0x0020/S
    bool rejectIdentify = false;  // reject-identify  Master Identify is refused (0x0002/0x0000)
    int rejectRequest = -1;     // reject-request:C  Sample Header Requests refused with code C/0
    int rejectBegin = -1;       // reject-begin:S  Begin Sample Transfer refused with 0x0022/S
    int abortAt = -1;           // abort:P  packet P of a transfer is answered with Abort Procedure
    int endEarlyAt = -1;        // eop-early:P  End of Procedure in place of packet P
    bool zeroPeriod = false;    // zero-period  Sample Headers carry a period of 0
    bool zeroPacket = false;    // zero-packet  accepted packet lengths are 0
    bool longData = false;      // long-data  Data Packets carry more data than asked
    bool crossedLoop = false;   // crossed-loop  Sample Headers carry a loop start past the loop end
    bool doubleWait = false;    // double-wait  two Waits before each acknowledgement
};

enum class EmulatedFamily { Sampler, Synthesizer };

struct InstrumentConfig {
    std::string vendor;   // 8 bytes
    std::string product;  // 16 bytes
    std::string revision = "1.00";
    int id = -1;
    std::uint32_t slots = 1024;
    std::uint32_t packetMax = 32768;  // largest data length per packet it accepts
    EmulatedFamily family = EmulatedFamily::Sampler;
    Faults faults;
};

// Reads the text of an instrument.txt; nullopt with `problem` set when a line cannot be used
// or the id is missing. Values are taken from after "=" and its blanks; vendor and product keep
// trailing blanks, are padded with blanks to their width, cut to it, and may hold \xHH escapes.
// The family follows the product unless `family` names it; a sampler has one slot.
std::optional<InstrumentConfig> ParseInstrumentConfig(const std::string& text, std::string& problem);

}  // namespace pelmora::aspi
