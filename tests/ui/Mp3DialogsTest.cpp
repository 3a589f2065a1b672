// The MP3 commands through the main frame: the export dialog's options panel and tag dialog,
// and the import of what was exported.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "MainFrameWithSound.h"
#include "mp3/Id3Tag.h"
#include "mp3/ui/Mp3InOut.h"
#include "mp3/ui/TagDialog.h"
#include "mp3/ui/UpDownEdit.h"
#include "ModalDialogs.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class Mp3Dialogs : public MainFrameWithSound {};

}  // namespace

TEST_F(Mp3Dialogs, ExportWithATagThenImportIt) {
    const std::string mp3 = dir.File("tone.mp3");
    WhenModal<CMP3InOut>([&](CMP3InOut& dialog) {
        EXPECT_EQ(dialog.FormatList()->currentText(), "64kbps-8.000kHz,Stereo");
        dialog.FormatList()->setCurrentIndex(3);
        emit dialog.FormatList()->activated(3);
        const QString chosen = dialog.FormatList()->currentText();
        dialog.QualityList()->setCurrentIndex(2);
        emit dialog.QualityList()->activated(2);  // the chosen line stays chosen
        EXPECT_EQ(dialog.FormatList()->currentText(), chosen);
        EXPECT_FALSE(dialog.TagEditButton()->isEnabled());
        dialog.TagBox()->setChecked(true);
        EXPECT_TRUE(dialog.TagEditButton()->isEnabled());
        WhenModal<TagDialog>([](TagDialog& tag) {
            tag.TitleEdit()->setText("Tone");
            tag.YearEdit()->SetText("");
            tag.YearEdit()->stepBy(-1);  // from this year
            EXPECT_EQ(tag.YearEdit()->Text().size(), 4);
            tag.TrackEdit()->SetText("98");
            tag.TrackEdit()->stepBy(3);  // the up-down stops at 99
            EXPECT_EQ(tag.TrackEdit()->Text(), "99");
            tag.TrackEdit()->SetText("12");
            tag.GenreList()->setCurrentIndex(17);
            EXPECT_EQ(tag.GenreList()->currentText(), "17: Rock");
            tag.accept();
        });
        dialog.TagEditButton()->click();
        dialog.selectFile(QString::fromStdString(mp3));
        static_cast<QDialog&>(dialog).accept();
    });
    ASSERT_TRUE(frame.Run(CommandId::ExportToMp3));
    COLMDoc& doc = child->Document();
    EXPECT_EQ(doc.tag.title, "Tone");
    EXPECT_EQ(doc.tag.track, 12);
    EXPECT_EQ(doc.tag.genre, 17);
    const auto bytes = ReadAll(mp3);
    ASSERT_GT(bytes.size(), kId3v1Bytes);
    const auto tag = DecodeId3v1(bytes.data() + bytes.size() - kId3v1Bytes, kId3v1Bytes);
    ASSERT_TRUE(tag);
    EXPECT_EQ(*tag, doc.tag);

    WhenModal<QFileDialog>([&](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(mp3));
        static_cast<QDialog&>(dialog).accept();
    });
    ASSERT_TRUE(frame.Run(CommandId::ImportFromMp3));
    ASSERT_NE(&frame.ActiveChild()->Document(), &doc);
    EXPECT_EQ(frame.ActiveChild()->Document().tag, doc.tag);
    EXPECT_EQ(frame.ActiveChild()->Document().Info().frames, doc.Info().frames);
}
