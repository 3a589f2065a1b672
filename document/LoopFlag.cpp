#include "document/LoopFlag.h"

namespace pelmora {

bool LoopFlagApplies(const SoundInfo& info) { return info.loopEnd > info.loopStart; }

void SwitchOnCreatedLoop(SoundInfo& info, std::uint32_t startBefore, std::uint32_t endBefore) {
    if (startBefore == endBefore && LoopFlagApplies(info)) info.loopOn = true;
}

bool ToggleLoopOn(SoundInfo& info) {
    if (!LoopFlagApplies(info)) return false;
    info.loopOn = !info.loopOn;
    return true;
}

}  // namespace pelmora
