#pragma once
// The Loop Crossfade dialog without widgets: type, the two percentages within their maxima,
// and the curve. Values and the last maxima stay for the life of the process.

#include <string>

#include "edit/LoopCrossfade.h"

namespace pelmora {

class CrossfadeDialogModel {
public:
    // The dialog opens on a sound: the maxima are computed, and a percentage whose maximum
    // changed since the last time starts at the new maximum.
    void Open(const SoundInfo& info);

    CrossfadeMaxima Maxima() const { return maxima_; }
    CrossfadeType Type() const { return type_; }
    void SetType(CrossfadeType type) { type_ = type; }
    // The release slider, edit and spin take input only with "Sustain + Release".
    bool ReleaseControlsEnabled() const { return type_ == CrossfadeType::SustainRelease; }
    CrossfadeCurve Curve() const { return curve_; }
    void SetCurve(CrossfadeCurve curve) { curve_ = curve; }

    int SustainPercent() const { return sustain_; }
    int ReleasePercent() const { return release_; }
    // Slider, spin or edit: limited to 0 … the maximum.
    void SetSustainPercent(long long percent);
    void SetReleasePercent(long long percent);
    // An edit's text; false when it is not a whole number.
    bool CommitSustainText(const std::string& text);
    bool CommitReleaseText(const std::string& text);

    // Slider page size for a maximum: (maximum + 9) / 10.
    static int SliderPage(int maximum) { return (maximum + 9) / 10; }

private:
    CrossfadeType type_ = CrossfadeType::Sustain;
    CrossfadeCurve curve_ = CrossfadeCurve::Linear;
    int sustain_ = 0;
    int release_ = 0;
    CrossfadeMaxima maxima_;
};

}  // namespace pelmora
