#pragma once
// Texts derived from a command's menu text.

#include <string>

namespace pelmora {

// The tool tip of a toolbar button: the menu text without its mnemonic ("(&N)" or "&") and
// without the "..." that announces a dialog or the shortcut after a tab. "New(&N)...\tCtrl+N"
// gives "New".
std::string ToolTipText(const std::string& menuText);

}  // namespace pelmora
