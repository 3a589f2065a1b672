#include "mp3/ui/TagDialog.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "base/StringId.h"
#include "base/ui/Translate.h"
#include "mp3/ui/UpDownEdit.h"

namespace pelmora {

namespace {

// Tag texts are Latin-1: the edits take nothing else, and lengths are counted in bytes.
QLineEdit* LatinEdit(const std::string& text, std::size_t bytes, QWidget* parent) {
    auto* edit = new QLineEdit(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), parent);
    edit->setMaxLength(static_cast<int>(bytes));
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{0000}-\\x{00FF}]*")), edit));
    return edit;
}

std::string Latin1(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

TagDialog::TagDialog(const TagFields& fields, Prompter& prompter, QWidget* parent)
    : QDialog(parent), model_(fields, QDate::currentDate().year()), prompter_(prompter) {
    setWindowTitle(Tr(Text(StringId::TagDialogCaption)));
    title_ = LatinEdit(fields.title, kTagTextBytes, this);
    artist_ = LatinEdit(fields.artist, kTagTextBytes, this);
    album_ = LatinEdit(fields.album, kTagTextBytes, this);
    comment_ = LatinEdit(fields.comment, kTagCommentBytes, this);
    year_ = new UpDownEdit([this](const QString& text, int steps) {
        model_.SetYear(Latin1(text));
        model_.StepYear(steps);
        return QString::fromLatin1(model_.Fields().year.c_str());
    }, static_cast<int>(kTagYearBytes), this);
    year_->SetText(QString::fromLatin1(fields.year.c_str()));
    track_ = new UpDownEdit([this](const QString& text, int steps) {
        model_.SetTrackText(text.toStdString());
        model_.StepTrack(steps);
        return QString::fromStdString(model_.TrackText());
    }, 3, this);
    track_->SetText(QString::fromStdString(model_.TrackText()));
    genre_ = new QComboBox(this);
    for (const std::string& line : TagDialogModel::GenreLines()) genre_->addItem(QString::fromStdString(line));
    genre_->setCurrentIndex(model_.GenreLine());
    genre_->setMaxVisibleItems(20);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    form->addRow(Tr(Text(StringId::TagTitle)), title_);
    form->addRow(Tr(Text(StringId::TagArtist)), artist_);
    form->addRow(Tr(Text(StringId::TagAlbum)), album_);
    form->addRow(Tr(Text(StringId::TagYear)), year_);
    form->addRow(Tr(Text(StringId::TagTrack)), track_);
    form->addRow(Tr(Text(StringId::TagComment)), comment_);
    form->addRow(Tr(Text(StringId::TagGenre)), genre_);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TagDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(340, sizeHint().height());
}

void TagDialog::Take() {
    model_.SetTitle(Latin1(title_->text()));
    model_.SetArtist(Latin1(artist_->text()));
    model_.SetAlbum(Latin1(album_->text()));
    model_.SetComment(Latin1(comment_->text()));
    model_.SetYear(Latin1(year_->Text()));
    model_.SetTrackText(track_->Text().toStdString());
    model_.SetGenre(genre_->currentIndex());
}

void TagDialog::accept() {
    Take();
    std::string message;
    result_ = model_.Commit(message);
    if (!result_) {
        prompter_.Message(message);
        track_->setFocus();
        track_->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace pelmora
