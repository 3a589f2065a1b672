#pragma once
// The tag dialog ("ID3TAG V1.1") without its widgets: the fields as typed with their length
// limits, the up-down controls of year and track, the genre list, and OK.

#include <optional>
#include <string>
#include <vector>

#include "document/TagFields.h"

namespace pelmora {

inline constexpr int kYearMin = 1, kYearMax = 9999;
inline constexpr int kTrackSpinMin = 1, kTrackSpinMax = 99;
inline constexpr int kTrackMin = 1, kTrackMax = 255;

class TagDialogModel {
public:
    // The document's fields; `currentYear` is where the year's up-down starts when the year
    // is empty.
    TagDialogModel(const TagFields& fields, int currentYear);

    // Texts are Latin-1 bytes; the edit boxes take no more than their field holds, so a
    // longer text is cut to it.
    void SetTitle(const std::string& text);
    void SetArtist(const std::string& text);
    void SetAlbum(const std::string& text);
    void SetYear(const std::string& text);
    void SetComment(const std::string& text);
    // The track as typed: empty for no track.
    void SetTrackText(const std::string& text);
    // A line of the genre list.
    void SetGenre(int index);

    // The up-down controls: the year moves from its typed value (or from where the control
    // stood when the text is not a number) within 1 … 9999, the track within 1 … 99.
    void StepYear(int steps);
    void StepTrack(int steps);

    const TagFields& Fields() const { return fields_; }
    const std::string& TrackText() const { return trackText_; }
    // The genre's line, or -1 when the document's genre is not in the list.
    int GenreLine() const;
    static std::vector<std::string> GenreLines();

    // OK: the fields to copy into the document, or nullopt with the message that keeps the
    // dialog open (a track outside 1 … 255).
    std::optional<TagFields> Commit(std::string& message) const;

private:
    TagFields fields_;
    std::string trackText_;
    int yearPosition_;
    int trackPosition_;
};

}  // namespace pelmora
