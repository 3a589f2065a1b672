#pragma once
// Where the main frame stands: its rectangle and show state in "OLM MainFrame", the toolbars'
// docking state in "OLM Bars", and the rule that keeps a stored rectangle on the desktop.

#include <string>

#include "app/Profile.h"

namespace pelmora {

struct FrameRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;

    bool operator==(const FrameRect&) const = default;
};

// The show commands kept in "State".
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;

struct FramePlacement {
    FrameRect rect;
    int state = kShowNormal;
};

// Cuts a rectangle larger than the desktop to it, then moves it so that no part lies outside.
// A width or height below one (a damaged profile) keeps the fallback's.
FrameRect LimitToDesktop(FrameRect rect, const FrameRect& desktop, const FrameRect& fallback);

// True when the profile holds a stored rectangle; without one the frame stays where the
// system puts it.
bool HasStoredPlacement(const Profile& profile);
// The stored placement, each key defaulting to `current`, limited to `desktop`.
FramePlacement LoadPlacement(const Profile& profile, const FramePlacement& current, const FrameRect& desktop);
void SavePlacement(Profile& profile, const FramePlacement& placement);

// The toolbars' docking state, as the widget toolkit encodes it (base64 text).
std::string LoadBarState(const Profile& profile);
void SaveBarState(Profile& profile, const std::string& state);

}  // namespace pelmora
