#pragma once
// The tag dialog, "ID3TAG V1.1": the document's ID3 v1.1 fields shown by TagDialogModel.

#include <QDialog>
#include <optional>

#include "base/Prompter.h"
#include "mp3/TagDialogModel.h"

class QComboBox;
class QLineEdit;

namespace pelmora {

class UpDownEdit;

class TagDialog : public QDialog {
    Q_OBJECT
public:
    TagDialog(const TagFields& fields, Prompter& prompter, QWidget* parent = nullptr);
    // The fields OK committed; nullopt unless the dialog was accepted.
    const std::optional<TagFields>& Result() const { return result_; }

    QLineEdit* TitleEdit() const { return title_; }
    UpDownEdit* YearEdit() const { return year_; }
    UpDownEdit* TrackEdit() const { return track_; }
    QComboBox* GenreList() const { return genre_; }

public slots:
    void accept() override;

private:
    void Take();

    TagDialogModel model_;
    Prompter& prompter_;
    QLineEdit *title_, *artist_, *album_, *comment_;
    UpDownEdit *year_, *track_;
    QComboBox* genre_;
    std::optional<TagFields> result_;
};

}  // namespace pelmora
