#pragma once
// Ctrl-C as a key press: the signal only raises a flag that the program polls between blocks.

namespace pelmora::platform {

void InstallInterruptHandler();
bool InterruptPending();
void ClearInterrupt();
// For tests: behave as if Ctrl-C had been pressed.
void RaiseInterruptFlag();

}  // namespace pelmora::platform
