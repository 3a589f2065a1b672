#include "sampler/ScsiStatus.h"

#include "platform/Aspi.h"

namespace pelmora {

bool ScsiStatus::IsSuccess() const {
    return Marker() == kIssued && SrbStatus() == aspi::SS_COMP && HostStatus() == aspi::HASTAT_OK &&
           (TargetStatus() & (aspi::STATUS_CHKCOND | aspi::STATUS_BUSY)) == 0;
}

StatusClass ScsiStatus::Class() const {
    if (Marker() != kIssued) return StatusClass::Fatal;
    if (SrbStatus() == aspi::SS_ASPI_IS_BUSY) return StatusClass::Retry;
    if (SrbStatus() == aspi::SS_ERR) return StatusClass::Error;
    if (SrbStatus() != aspi::SS_COMP) return StatusClass::Fatal;
    if (HostStatus() == aspi::HASTAT_SEL_TO || HostStatus() == aspi::HASTAT_TIMEOUT) return StatusClass::Retry;
    if (HostStatus() != aspi::HASTAT_OK) return StatusClass::Error;
    if (TargetStatus() & aspi::STATUS_BUSY) return StatusClass::Retry;
    if (TargetStatus() & aspi::STATUS_CHKCOND) return StatusClass::Error;
    return StatusClass::Ok;
}

}  // namespace pelmora
