// The options panel and the tag dialog without widgets.

#include <gtest/gtest.h>

#include "mp3/Mp3OptionsModel.h"
#include "mp3/TagDialogModel.h"

using namespace pelmora;

TEST(Mp3Options, ListsKeepTheChosenLine) {
    Mp3OptionsModel model(44100, 2);
    ASSERT_TRUE(model.HasFormats());
    EXPECT_EQ(model.Lines().front(), "320kbps-44.100kHz,Stereo");
    EXPECT_EQ(model.Lines().back(), "32kbps-44.100kHz,Mono");
    EXPECT_EQ(model.SelectedLine(), 0);
    EXPECT_FALSE(model.TagEditEnabled());
    model.SelectLine(5);
    EXPECT_EQ(model.Lines()[5], "128kbps-44.100kHz,Stereo");
    EXPECT_EQ(model.Choice().formatIndex, 5);
    ASSERT_TRUE(model.SetQuality(2));  // the same text stays selected
    EXPECT_EQ(model.Lines()[static_cast<std::size_t>(model.SelectedLine())], "128kbps-44.100kHz,Stereo");
    EXPECT_EQ(model.Choice().quality, 2);
    model.SelectLine(99);  // no such line: nothing changes
    EXPECT_EQ(model.Choice().formatIndex, 5);
    model.SetWriteTag(true);
    EXPECT_TRUE(model.TagEditEnabled());
    EXPECT_TRUE(model.Choice().writeTag);

    Mp3OptionsModel low(8000, 1);
    EXPECT_EQ(low.Lines().front(), "64kbps-8.000kHz,Mono");
    Mp3OptionsModel none(4000, 1);  // "Failed to encode!": no list at all
    EXPECT_FALSE(none.HasFormats());
    EXPECT_FALSE(none.SetQuality(1));
    EXPECT_TRUE(none.Lines().empty());
}

TEST(TagDialog, FieldsLimitsAndUpDowns) {
    TagFields start;
    start.track = 0;
    TagDialogModel model(start, 2026);
    EXPECT_EQ(model.TrackText(), "");
    model.SetTitle(std::string(40, 'a'));  // the edit box takes 30
    model.SetComment(std::string(40, 'c'));
    model.SetYear("199999");
    EXPECT_EQ(model.Fields().title.size(), 30u);
    EXPECT_EQ(model.Fields().comment.size(), 28u);
    EXPECT_EQ(model.Fields().year, "1999");
    model.SetYear("");
    model.StepYear(1);  // an empty year starts at the current one
    EXPECT_EQ(model.Fields().year, "2027");
    model.SetYear("9998");
    model.StepYear(5);
    EXPECT_EQ(model.Fields().year, "9999");
    model.StepTrack(1);
    EXPECT_EQ(model.TrackText(), "2");
    model.SetTrackText("150");
    model.StepTrack(1);  // the up-down stays within 1 … 99
    EXPECT_EQ(model.TrackText(), "99");

    struct Case {
        const char* track;
        bool accepted;
        int stored;
    };
    const Case cases[] = {{"", true, 0}, {"1", true, 1}, {"255", true, 255}, {"256", false, 0},
                          {"0", false, 0}, {"x", false, 0}, {"-3", false, 0}};
    for (const Case& c : cases) {
        model.SetTrackText(c.track);
        std::string message;
        const auto fields = model.Commit(message);
        EXPECT_EQ(fields.has_value(), c.accepted) << c.track;
        if (fields) EXPECT_EQ(fields->track, c.stored);
        else EXPECT_EQ(message, "Track must be in the range of 1 to 255.");
    }

    EXPECT_EQ(TagDialogModel::GenreLines().size(), 126u);
    TagFields odd;
    odd.genre = 200;
    TagDialogModel keeps(odd, 2026);
    EXPECT_EQ(keeps.GenreLine(), -1);
    keeps.SetGenre(-1);
    EXPECT_EQ(keeps.Fields().genre, 200);
    keeps.SetGenre(31);
    EXPECT_EQ(keeps.GenreLine(), 31);
}
