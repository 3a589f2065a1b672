#include "aspi/Completion.h"

#include <algorithm>
#include <cstring>

namespace pelmora::aspi {

namespace {

void Finish(SRB_ExecSCSICmd& srb, std::uint8_t status, std::uint8_t haStat, std::uint8_t targStat) {
    srb.SRB_HaStat = haStat;
    srb.SRB_TargStat = targStat;
    srb.SRB_Status = status;
}

}  // namespace

void CompleteGood(SRB_ExecSCSICmd& srb) { Finish(srb, SS_COMP, HASTAT_OK, STATUS_GOOD); }

void CompleteHostStatus(SRB_ExecSCSICmd& srb, std::uint8_t haStat) {
    Finish(srb, SS_COMP, haStat, STATUS_GOOD);
}

void CompleteBusy(SRB_ExecSCSICmd& srb) { Finish(srb, SS_COMP, HASTAT_OK, STATUS_BUSY); }

void CompleteCheckCondition(SRB_ExecSCSICmd& srb, Sense sense) {
    std::uint8_t data[18] = {};
    data[0] = 0x70;
    data[2] = sense.key;
    data[7] = 10;
    data[12] = sense.asc;
    data[13] = sense.ascq;
    StoreSense(srb, data, sizeof data);
    Finish(srb, SS_ERR, HASTAT_OK, STATUS_CHKCOND);
}

void StoreSense(SRB_ExecSCSICmd& srb, const std::uint8_t* sense, std::size_t length) {
    const std::size_t room = std::min<std::size_t>(srb.SRB_SenseLen, sizeof srb.SenseArea);
    std::memcpy(srb.SenseArea, sense, std::min(room, length));
}

}  // namespace pelmora::aspi
