#pragma once
// The File menu's list of recently opened sounds (four at most, the newest first) and the chosen
// sound devices, kept in the profile.

#include <string>
#include <vector>

#include "app/Profile.h"

namespace pelmora {

inline constexpr std::size_t kRecentFiles = 4;

class RecentFiles {
public:
    // The newest first; a path already listed moves to the front.
    void Add(const std::string& path);
    void Remove(const std::string& path);
    const std::vector<std::string>& Paths() const { return paths_; }

    // Section "Recent File List", keys "File1" … "File4".
    void Load(const Profile& profile);
    void Save(Profile& profile) const;

private:
    std::vector<std::string> paths_;
};

// The input and output devices ("SndDev": manufacturer and product ids, −1 when none was chosen).
struct SoundDeviceIds {
    int inMid = -1, inPid = -1, outMid = -1, outPid = -1;
    void Load(const Profile& profile);
    void Save(Profile& profile) const;
};

}  // namespace pelmora
