#pragma once
// The filters of the MP3 file dialogs.

#include <array>

#include "document/FileDialogFilters.h"

namespace pelmora {

inline constexpr FileFilter kMp3Filter{"MP3 (*.mp3)", "*.mp3", "mp3"};
inline constexpr std::array<FileFilter, 1> kExportMp3Filters{{kMp3Filter}};
inline constexpr std::array<FileFilter, 2> kImportMp3Filters{{kMp3Filter, {"ALL Files(*.*)", "*", nullptr}}};

}  // namespace pelmora
