#include "mp3/TagDialogModel.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "base/StringId.h"
#include "mp3/Id3Tag.h"

namespace pelmora {

namespace {

std::string Cut(const std::string& text, std::size_t bytes) { return text.substr(0, bytes); }

// Digits only, as the number edit boxes take them; nullopt otherwise.
std::optional<long> DigitsValue(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::strtol(text.c_str(), nullptr, 10);
}

}  // namespace

TagDialogModel::TagDialogModel(const TagFields& fields, int currentYear) : fields_(fields) {
    trackText_ = fields.track == 0 ? std::string() : std::to_string(fields.track);
    const auto year = DigitsValue(fields.year);
    yearPosition_ = std::clamp<long>(fields.year.empty() || !year ? currentYear : *year, kYearMin,
                                     kYearMax);
    trackPosition_ = std::clamp<int>(fields.track, kTrackSpinMin, kTrackSpinMax);
}

void TagDialogModel::SetTitle(const std::string& text) { fields_.title = Cut(text, kTagTextBytes); }
void TagDialogModel::SetArtist(const std::string& text) { fields_.artist = Cut(text, kTagTextBytes); }
void TagDialogModel::SetAlbum(const std::string& text) { fields_.album = Cut(text, kTagTextBytes); }
void TagDialogModel::SetYear(const std::string& text) { fields_.year = Cut(text, kTagYearBytes); }
void TagDialogModel::SetComment(const std::string& text) {
    fields_.comment = Cut(text, kTagCommentBytes);
}
void TagDialogModel::SetTrackText(const std::string& text) { trackText_ = text; }

void TagDialogModel::SetGenre(int index) {
    if (index >= 0 && index < kGenreCount) fields_.genre = static_cast<std::uint8_t>(index);
}

void TagDialogModel::StepYear(int steps) {
    if (const auto typed = DigitsValue(fields_.year))
        yearPosition_ = static_cast<int>(std::clamp<long>(*typed, kYearMin, kYearMax));
    yearPosition_ = std::clamp(yearPosition_ + steps, kYearMin, kYearMax);
    fields_.year = std::to_string(yearPosition_);
}

void TagDialogModel::StepTrack(int steps) {
    if (const auto typed = DigitsValue(trackText_))
        trackPosition_ = static_cast<int>(std::clamp<long>(*typed, kTrackSpinMin, kTrackSpinMax));
    trackPosition_ = std::clamp(trackPosition_ + steps, kTrackSpinMin, kTrackSpinMax);
    trackText_ = std::to_string(trackPosition_);
}

int TagDialogModel::GenreLine() const { return fields_.genre < kGenreCount ? fields_.genre : -1; }

std::vector<std::string> TagDialogModel::GenreLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < kGenreCount; ++i) lines.push_back(::pelmora::GenreLine(i));
    return lines;
}

std::optional<TagFields> TagDialogModel::Commit(std::string& message) const {
    TagFields out = fields_;
    if (trackText_.empty()) {
        out.track = 0;
    } else {
        const auto track = DigitsValue(trackText_);
        if (!track || *track < kTrackMin || *track > kTrackMax) {
            message = Text(StringId::TrackRange);
            return std::nullopt;
        }
        out.track = static_cast<std::uint8_t>(*track);
    }
    return out;
}

}  // namespace pelmora
