#pragma once
// The file-type filters of the Open and Save As dialogs: the names the user sees, the patterns
// they match, and the extension a name typed without one receives.

#include <array>

#include "sound/FileType.h"

namespace pelmora {

struct FileFilter {
    const char* name;              // as shown in the dialog
    const char* patterns;          // blank-separated
    const char* defaultExtension;  // without the dot; null when the filter names no one type
};

inline constexpr std::array<FileFilter, 4> kOpenFilters{{
    {"All Audio Files( *.wav;*.aif;*.aiff;)", "*.wav *.aif *.aiff", nullptr},
    {"WAVE PCM Files(*.wav)", "*.wav", "wav"},
    {"AIFF Files(*.aif;*.aiff)", "*.aif *.aiff", "aif"},
    {"All Files(*.*)", "*", nullptr},
}};

inline constexpr FileFilter kSaveWavFilter{"WAVE PCM(*.wav;)", "*.wav", "wav"};
inline constexpr FileFilter kSaveAiffFilter{"AIFF Files(*.aif;*.aiff;)", "*.aif *.aiff", "aif"};

// Save As offers the document's own type first; it is also the default extension.
inline constexpr std::array<FileFilter, 2> SaveAsFilters(FileType documentType) {
    if (documentType == FileType::Wav) return {kSaveWavFilter, kSaveAiffFilter};
    return {kSaveAiffFilter, kSaveWavFilter};
}

}  // namespace pelmora
