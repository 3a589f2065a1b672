#pragma once
// The options panel of the Export To MP3 File dialog: the quality list, the format list the
// encoder offers for the sound at that quality, and the tag check box.

#include <cstdint>
#include <string>
#include <vector>

#include "codec/Mp3Encoder.h"
#include "mp3/Mp3Export.h"

namespace pelmora {

// "%dkbps-%5.3fkHz,%s" of one record of the encoder's format table.
std::string FormatLine(const codec::EncoderFormat& format);
// The three texts of the quality list.
std::vector<std::string> QualityLines();

class Mp3OptionsModel {
public:
    // Quality 0 and its format list with the first line selected; the tag box cleared.
    Mp3OptionsModel(std::uint32_t sampleRate, int channels);

    // Rebuilds the format list for that quality, keeping the selected line's text selected
    // when the new list has it (else the first line). False when the encoder cannot be opened
    // for the sound ("Failed to encode!"): the list stays as it was.
    bool SetQuality(int quality);
    // A click on a line of the format list.
    void SelectLine(int line);
    void SetWriteTag(bool on) { choice_.writeTag = on; }

    int Quality() const { return choice_.quality; }
    const std::vector<std::string>& Lines() const { return lines_; }
    int SelectedLine() const { return selected_; }
    bool WriteTag() const { return choice_.writeTag; }
    // "Tag Edit" is enabled while the tag box is checked.
    bool TagEditEnabled() const { return choice_.writeTag; }
    // What the export is given: the selected line's record index, quality and tag flag.
    const Mp3ExportChoice& Choice() const { return choice_; }
    // False when no list could be made for the sound at all.
    bool HasFormats() const { return !lines_.empty(); }

private:
    std::uint32_t sampleRate_;
    int channels_;
    std::vector<std::string> lines_;
    std::vector<int> records_;  // each line's record index
    int selected_ = -1;
    Mp3ExportChoice choice_;
};

}  // namespace pelmora
