#pragma once
// Qt's keys in the virtual-key codes the shortcut records store. Keypad keys are their own
// codes ("Num 0" is not "0"); a symbol typed with Shift is its base key, as on a US keyboard
// ("*" from Shift+8 is the key 8, never "Num *").

#include <Qt>
#include <cstdint>

#include "app/Accelerators.h"

class QKeyEvent;

namespace pelmora {

// 0 for a key that has no virtual key.
std::uint16_t VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);
// kShiftFlag, kCtrlFlag and kAltFlag of the held modifiers.
std::uint8_t ModifierFlagsOf(Qt::KeyboardModifiers modifiers);
// A key press as the accelerator table reads it. A modifier key's own press counts as held.
KeyStroke StrokeOf(const QKeyEvent& event);

}  // namespace pelmora
