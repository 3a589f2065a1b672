#pragma once
// The "Parametric Equalizer" dialog without widgets: nine edits with their commit rules, the
// band buttons, "Reset", the response graph's scale and its mouse drag. The bands of the last
// "EQ" stay for the life of the process.

#include <array>
#include <cstdint>
#include <string>

#include "edit/AmplitudeDialogModels.h"
#include "edit/EqBands.h"
#include "edit/EqDesign.h"

namespace pelmora {

enum class EqField { Gain, Frequency, Q };

// The nine edit texts, by band then field.
using EqTexts = std::array<std::array<std::string, 3>, 3>;

// What a drag changes, by the key held: none (gain and frequency), SHIFT, ALT, CTRL.
enum class EqDragKind { GainAndFrequency, GainOnly, FrequencyOnly, QOnly };

// The graph's frame: frequency on a logarithmic axis from 10 Hz (left) to the sound's highest
// band frequency (right), gain from +20 dB (top) to −20 dB (bottom).
class EqGraphScale {
public:
    static constexpr double kLowFrequency = 10.0;
    static constexpr double kRangeDb = 40.0;

    EqGraphScale(int width, int height, std::uint32_t sampleRate);
    int Width() const { return width_; }
    int Height() const { return height_; }
    double XOf(double frequency) const;
    double FrequencyAt(double x) const;
    double YOf(double db) const;
    // How far the frequency axis reaches in decades.
    double Decades() const { return decades_; }

private:
    int width_, height_;
    double decades_;
};

class EqDialogModel {
public:
    static constexpr std::size_t kEditChars = 5;
    static constexpr int kMovesPerStep = 10;  // only every tenth mouse move is applied
    static constexpr double kQPerHeight = 10.0;  // a CTRL drag over the graph's height

    // Opens for a sound at `sampleRate` with the remembered bands, brought within its limits.
    void Open(std::uint32_t sampleRate);
    const EqBands& Bands() const { return bands_; }
    const EqBands& Remembered() const { return remembered_; }
    std::uint32_t SampleRate() const { return sampleRate_; }
    std::string Text(int band, EqField field) const;
    EqTexts Texts() const;

    // An edit is committed: its text is taken and the band validated. False when the text is
    // not a number (nor "LSF"/"HSF" in the low/high Q edit) or longer than an edit holds: the
    // band keeps its value, which the edit shows again.
    bool Commit(int band, EqField field, const std::string& text);
    // "Reset": the initial values of every band.
    void Reset();
    // "EQ" with the nine texts: every band taken and validated, low first. Accepted stores the
    // bands as the remembered ones; a correction is written back and keeps the dialog open; a
    // text no edit takes changes nothing and names its edit in `rejected`.
    struct Edit {
        int band = 0;
        EqField field = EqField::Gain;
    };
    DialogVerdict Ok(const EqTexts& texts, Edit* rejected = nullptr);

    int CurrentBand() const { return current_; }
    void SelectBand(int band);
    EqCascade Response() const { return EqDesignCascade(bands_, sampleRate_); }

    // Graph drag of the current band. Move returns true when it applied the move (every tenth).
    void Press(double x, double y);
    bool Move(double x, double y, EqDragKind kind, const EqGraphScale& scale);
    void Release() { dragging_ = false; }
    bool Dragging() const { return dragging_; }

private:
    // Takes a text into `band` without validating; false when it is not one the edit takes.
    bool Take(EqBand& band, int index, EqField field, const std::string& text) const;

    EqBands remembered_ = InitialEqBands();
    EqBands bands_ = InitialEqBands();
    std::uint32_t sampleRate_ = 44100;
    int current_ = kEqLow;

    bool dragging_ = false;
    int moves_ = 0;
    double lastX_ = 0, lastY_ = 0;
    // The dragged values before rounding, so that small steps add up.
    double dragGain_ = 0, dragFrequency_ = 0, dragQ_ = 0;
};

}  // namespace pelmora
