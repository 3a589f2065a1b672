#pragma once
// The open dialog without widgets: what its file-information panel reads from the highlighted
// file's header, the text it shows, and the check made when Open is pressed.

#include <optional>
#include <string>

#include "sound/SoundFileCheck.h"

namespace pelmora {

// The header as the type's header-only reader gives it; nullopt for a file that is not a WAV
// or AIFF file with a readable header.
std::optional<SoundHeader> ReadOpenPanelHeader(const std::string& path);

// The panel's two-line summary; empty while no sound file is highlighted.
std::string OpenPanelText(const std::string& path);

// Open pressed: raises "Audio data error - cannot open this file." when the panel's header
// gives no sample rate (an unreadable header gives none) or more data than the file holds.
void CheckChosenSoundFile(const std::string& path);

}  // namespace pelmora
