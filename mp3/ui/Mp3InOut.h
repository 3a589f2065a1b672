#pragma once
// The file dialog of the two MP3 commands. For Export it carries the options panel (format,
// quality, "ID3Tag>>" and "Tag Edit") shown by Mp3OptionsModel; for Import it is a plain
// file dialog.

#include <QFileDialog>

#include "base/Prompter.h"
#include "document/COLMDoc.h"
#include "mp3/Mp3OptionsModel.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace pelmora {

class CMP3InOut : public QFileDialog {
    Q_OBJECT
public:
    // Save mode, for exporting `doc`; "Tag Edit" edits the document's tag fields.
    CMP3InOut(COLMDoc& doc, Prompter& prompter, QWidget* parent = nullptr);
    // Open mode: the chosen MP3 file, or an empty text when cancelled.
    static QString ChooseImportFile(QWidget* parent);

    const Mp3OptionsModel& Options() const { return model_; }
    QComboBox* FormatList() const { return formats_; }
    QComboBox* QualityList() const { return quality_; }
    QCheckBox* TagBox() const { return tagBox_; }
    QPushButton* TagEditButton() const { return tagEdit_; }

private:
    void ShowFormats();
    void EditTag();

    COLMDoc& doc_;
    Prompter& prompter_;
    Mp3OptionsModel model_;
    QComboBox* formats_;
    QComboBox* quality_;
    QCheckBox* tagBox_;
    QPushButton* tagEdit_;
};

}  // namespace pelmora
