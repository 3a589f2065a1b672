#include "document/TempFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "platform/File.h"
#include "platform/FreeSpace.h"

namespace pelmora {

namespace {

constexpr int kMaxCounter = 1000;

std::string TimeOfDay() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

}  // namespace

namespace {

std::mutex gRemovalsLock;
std::vector<std::string> gRemovals;

}  // namespace

void RemoveTemporary(const std::string& path) {
    if (path.empty() || platform::RemoveFile(path) || errno == ENOENT) return;
    const std::lock_guard lock(gRemovalsLock);
    gRemovals.push_back(path);
}

std::vector<std::string> RetryRemovals() {
    const std::lock_guard lock(gRemovalsLock);
    std::erase_if(gRemovals, [](const std::string& path) { return platform::RemoveFile(path) || errno == ENOENT; });
    return gRemovals;
}

namespace {

std::mutex gInFlightLock;
std::vector<std::string> gInFlight;
std::function<void()> gInFlightListener;

void InFlightChanged() noexcept {
    std::function<void()> listener;
    {
        const std::lock_guard lock(gInFlightLock);
        listener = gInFlightListener;
    }
    // Landing runs while an exception unwinds: a manifest that cannot be written costs only
    // the recovery.
    try {
        if (listener) listener();
    } catch (...) {
    }
}

}  // namespace

InFlightFile::InFlightFile(std::string path) : path_(std::move(path)) {
    {
        const std::lock_guard lock(gInFlightLock);
        gInFlight.push_back(path_);
    }
    InFlightChanged();
}

void InFlightFile::Land() noexcept {
    if (path_.empty()) return;
    {
        const std::lock_guard lock(gInFlightLock);
        if (const auto it = std::find(gInFlight.begin(), gInFlight.end(), path_); it != gInFlight.end())
            gInFlight.erase(it);
    }
    path_.clear();
    InFlightChanged();
}

std::vector<std::string> FilesInFlight() {
    const std::lock_guard lock(gInFlightLock);
    return gInFlight;
}

std::function<void()> SetFilesInFlightListener(std::function<void()> listener) {
    const std::lock_guard lock(gInFlightLock);
    return std::exchange(gInFlightListener, std::move(listener));
}

std::string JoinPath(const std::string& folder, std::string_view name) {
    std::string out = folder.empty() ? "." : folder;
    if (out.back() != '/') out += '/';
    out += name;
    return out;
}

std::optional<std::string> CreateNumberedFile(const std::string& stemPath, std::string_view extension,
                                              const std::function<bool(const std::string&)>& taken) {
    for (int counter = 1; counter <= kMaxCounter; ++counter) {
        std::string name = stemPath;
        if (counter > 1) name += "-" + std::to_string(counter);
        name += extension;
        if (taken && taken(name)) continue;
        platform::File file;
        if (file.Open(name, platform::OpenMode::CreateNew)) return name;
        // Only the open's own answer: another process may remove the file it held at any time.
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> UniqueTempName(const std::string& workDir, std::string_view prefix,
                                          std::string_view extension) {
    return CreateNumberedFile(JoinPath(workDir, std::string(prefix) + TimeOfDay()), extension);
}

std::optional<std::string> TempNameWithExtension(const std::string& workDir, int typeCode) {
    std::string_view extension = typeCode == 1 ? ".wav" : typeCode == 2 ? ".aiff" : "";
    return UniqueTempName(workDir, kTempPrefix, extension);
}

std::uint64_t FreeSpaceOnDrive(const std::string& path) {
    auto free = platform::FreeBytesAt(path);
    if (!free) free = platform::FreeBytesAt(platform::FolderOf(path));
    return free.value_or(UINT64_MAX);
}

bool InsufficientSpaceOnDrive(const std::string& path, std::uint64_t bytes) {
    return FreeSpaceOnDrive(path) < bytes;
}

bool InsufficientSpaceForEdit(const std::string& workDir, const std::string& workingPath,
                              std::uint64_t workDirBytes, std::uint64_t workingBytes) {
    const std::string workingFolder = platform::FolderOf(workingPath);
    if (platform::SameFilesystem(workDir, workingFolder))
        return InsufficientSpaceOnDrive(workDir, workDirBytes + workingBytes);
    return InsufficientSpaceOnDrive(workDir, workDirBytes) ||
           InsufficientSpaceOnDrive(workingFolder, workingBytes);
}

std::uint32_t FreeSpaceOfWorkingDrive(const std::string& workDir) {
    const std::uint64_t free = FreeSpaceOnDrive(workDir);
    return free >= 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(free);
}

}  // namespace pelmora
