#include "app/RecentFiles.h"

#include <algorithm>

namespace pelmora {

namespace {

constexpr const char* kRecentSection = "Recent File List";
constexpr const char* kDeviceSection = "SndDev";

std::string FileKey(std::size_t index) { return "File" + std::to_string(index + 1); }

}  // namespace

void RecentFiles::Add(const std::string& path) {
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kRecentFiles) paths_.resize(kRecentFiles);
}

void RecentFiles::Remove(const std::string& path) { std::erase(paths_, path); }

void RecentFiles::Load(const Profile& profile) {
    paths_.clear();
    for (std::size_t i = 0; i < kRecentFiles; ++i) {
        const auto path = profile.GetString(kRecentSection, FileKey(i));
        if (path && !path->empty() && std::find(paths_.begin(), paths_.end(), *path) == paths_.end())
            paths_.push_back(*path);
    }
}

void RecentFiles::Save(Profile& profile) const {
    for (std::size_t i = 0; i < kRecentFiles; ++i)
        profile.SetString(kRecentSection, FileKey(i), i < paths_.size() ? paths_[i] : std::string());
}

void SoundDeviceIds::Load(const Profile& profile) {
    inMid = profile.GetInt(kDeviceSection, "inMid", -1);
    inPid = profile.GetInt(kDeviceSection, "inPid", -1);
    outMid = profile.GetInt(kDeviceSection, "outMid", -1);
    outPid = profile.GetInt(kDeviceSection, "outPid", -1);
}

void SoundDeviceIds::Save(Profile& profile) const {
    profile.SetInt(kDeviceSection, "inMid", inMid);
    profile.SetInt(kDeviceSection, "inPid", inPid);
    profile.SetInt(kDeviceSection, "outMid", outMid);
    profile.SetInt(kDeviceSection, "outPid", outPid);
}

}  // namespace pelmora
