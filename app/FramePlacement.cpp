#include "app/FramePlacement.h"

#include <algorithm>

namespace pelmora {

namespace {

constexpr const char* kFrameSection = "OLM MainFrame";
constexpr const char* kBarsSection = "OLM Bars";
constexpr const char* kBarStateKey = "Docking";

// Keeps [start, start + length) inside [low, low + room), cutting the length first.
void Fit(int& start, int& length, int low, int room) {
    length = std::min(length, room);
    start = std::clamp(start, low, low + room - length);
}

}  // namespace

FrameRect LimitToDesktop(FrameRect rect, const FrameRect& desktop, const FrameRect& fallback) {
    if (rect.cx < 1) rect.cx = fallback.cx;
    if (rect.cy < 1) rect.cy = fallback.cy;
    if (desktop.cx < 1 || desktop.cy < 1) return rect;  // no screen to measure
    Fit(rect.x, rect.cx, desktop.x, desktop.cx);
    Fit(rect.y, rect.cy, desktop.y, desktop.cy);
    return rect;
}

bool HasStoredPlacement(const Profile& profile) {
    for (const char* key : {"x", "y", "cx", "cy"}) {
        if (profile.GetString(kFrameSection, key)) return true;
    }
    return false;
}

FramePlacement LoadPlacement(const Profile& profile, const FramePlacement& current, const FrameRect& desktop) {
    FramePlacement stored;
    stored.rect.x = profile.GetInt(kFrameSection, "x", current.rect.x);
    stored.rect.y = profile.GetInt(kFrameSection, "y", current.rect.y);
    stored.rect.cx = profile.GetInt(kFrameSection, "cx", current.rect.cx);
    stored.rect.cy = profile.GetInt(kFrameSection, "cy", current.rect.cy);
    stored.rect = LimitToDesktop(stored.rect, desktop, current.rect);
    stored.state = profile.GetInt(kFrameSection, "State", current.state);
    return stored;
}

void SavePlacement(Profile& profile, const FramePlacement& placement) {
    profile.SetInt(kFrameSection, "x", placement.rect.x);
    profile.SetInt(kFrameSection, "y", placement.rect.y);
    profile.SetInt(kFrameSection, "cx", placement.rect.cx);
    profile.SetInt(kFrameSection, "cy", placement.rect.cy);
    profile.SetInt(kFrameSection, "State", placement.state);
}

std::string LoadBarState(const Profile& profile) { return profile.GetString(kBarsSection, kBarStateKey).value_or(""); }

void SaveBarState(Profile& profile, const std::string& state) { profile.SetString(kBarsSection, kBarStateKey, state); }

}  // namespace pelmora
