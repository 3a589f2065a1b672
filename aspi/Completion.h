#pragma once
// How a command ends, in ASPI terms, written the same way by every backend. A transport answer
// (selection timeout, command timeout, busy target) completes the request (SS_COMP) with the host
// or target status saying what happened; a check condition is SS_ERR with its sense data.

#include <cstddef>
#include <cstdint>

#include "platform/Aspi.h"

namespace pelmora::aspi {

// Fixed-format sense data: key, additional sense code and qualifier.
struct Sense {
    std::uint8_t key = 0;
    std::uint8_t asc = 0;
    std::uint8_t ascq = 0;
};

inline constexpr Sense kIllegalOpcode{0x05, 0x20, 0x00};
inline constexpr Sense kSequenceError{0x05, 0x2C, 0x00};
inline constexpr Sense kInvalidField{0x05, 0x24, 0x00};

void CompleteGood(SRB_ExecSCSICmd& srb);
void CompleteHostStatus(SRB_ExecSCSICmd& srb, std::uint8_t haStat);
void CompleteBusy(SRB_ExecSCSICmd& srb);
void CompleteCheckCondition(SRB_ExecSCSICmd& srb, Sense sense);
// Copies raw sense bytes into the request's sense area, at most SRB_SenseLen (and the area).
void StoreSense(SRB_ExecSCSICmd& srb, const std::uint8_t* sense, std::size_t length);

}  // namespace pelmora::aspi
