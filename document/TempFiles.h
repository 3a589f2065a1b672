#pragma once
// Names of the temporary files in the working directory, and the free-space checks made
// before anything large is written there.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmora {

inline constexpr std::string_view kClipPrefix = "OLM_CLIP_";
inline constexpr std::string_view kUndoPrefix = "OLM_UNDO_";
inline constexpr std::string_view kRedoPrefix = "OLM_REDO_";
inline constexpr std::string_view kImagePrefix = "OLM_IMAGE_";
inline constexpr std::string_view kBackupPrefix = "OLM_BACKUP_";
inline constexpr std::string_view kNewPrefix = "OLM_NEW_";
inline constexpr std::string_view kTempPrefix = "OLM_TEMP_";
inline constexpr std::string_view kMp3TempPrefix = "MP3_TEMP_";
inline constexpr std::string_view kMp3OutStem = "MP3_OUT";  // and "MP3_OUT1"
inline constexpr std::string_view kMp3FloatStem = "AllbitTo32float";

// Folder and file name joined with one "/".
std::string JoinPath(const std::string& folder, std::string_view name);

// STEM_PATH + EXTENSION, created empty and exclusively so that no two callers, in this process
// or another, get the same file. A name in use (or one `taken` names) gets a counter ("-2",
// "-3", ...) before the extension. nullopt when the folder refuses new files.
std::optional<std::string> CreateNumberedFile(const std::string& stemPath, std::string_view extension,
                                              const std::function<bool(const std::string&)>& taken = {});

// Deletes a temporary file of ours. One that cannot be deleted now is kept on a list that the
// recovery manifest names, tried again by RetryRemovals, and so never left unnamed.
void RemoveTemporary(const std::string& path);
// Tries the listed files again; those still there.
std::vector<std::string> RetryRemovals();

// A temporary file an operation is writing. While one of these lives the recovery manifest names
// the file, so that a crash part way leaves nothing unnamed; placing or removing the file stays
// the operation's.
class InFlightFile {
public:
    explicit InFlightFile(std::string path);
    InFlightFile(InFlightFile&& other) noexcept : path_(std::exchange(other.path_, std::string())) {}
    InFlightFile& operator=(InFlightFile&&) = delete;
    InFlightFile(const InFlightFile&) = delete;
    ~InFlightFile() { Land(); }
    // The file is no longer in flight: placed, handed to a document, or removed.
    void Land() noexcept;

private:
    std::string path_;
};
// The files in flight, oldest first.
std::vector<std::string> FilesInFlight();
// `listener` runs (on the thread that changed it) whenever that list changes; the application
// rewrites its manifest then. Returns the listener it replaces, for putting back.
std::function<void()> SetFilesInFlightListener(std::function<void()> listener);

// WORKDIR/PREFIX + HH-MM-SS (local time) + EXTENSION, made by CreateNumberedFile.
std::optional<std::string> UniqueTempName(const std::string& workDir, std::string_view prefix,
                                          std::string_view extension = {});

// An "OLM_TEMP_" file with ".wav" for type code 1, ".aiff" for 2, no extension otherwise.
std::optional<std::string> TempNameWithExtension(const std::string& workDir, int typeCode);

// True when the filesystem holding `path` (or its folder, for a file not yet made) has fewer
// than `bytes` free; a filesystem that cannot be asked counts as having room.
bool InsufficientSpaceOnDrive(const std::string& path, std::uint64_t bytes);
inline bool InsufficientSpaceOnWorkingDrive(const std::string& workDir, std::uint64_t bytes) {
    return InsufficientSpaceOnDrive(workDir, bytes);
}
std::uint64_t FreeSpaceOnDrive(const std::string& path);
// An edit or a restore writes `workDirBytes` into the working directory (undo and redo copies)
// and grows the working file by `workingBytes`: true when either drive, or the one drive
// holding both, lacks the room.
bool InsufficientSpaceForEdit(const std::string& workDir, const std::string& workingPath,
                              std::uint64_t workDirBytes, std::uint64_t workingBytes);
// Free bytes of the working drive as a 32-bit figure: 0xFFFFFFFF from 4 GiB on.
std::uint32_t FreeSpaceOfWorkingDrive(const std::string& workDir);

}  // namespace pelmora
