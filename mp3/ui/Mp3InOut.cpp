#include "mp3/ui/Mp3InOut.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "base/StringId.h"
#include "base/ui/Translate.h"
#include "document/ui/FileFilterNames.h"
#include "mp3/Mp3FileFilters.h"
#include "mp3/ui/TagDialog.h"

namespace pelmora {

namespace {

template <std::size_t N>
QStringList Filters(const std::array<FileFilter, N>& filters) {
    QStringList list;
    for (const FileFilter& filter : filters) list << NameFilter(filter);
    return list;
}

}  // namespace

CMP3InOut::CMP3InOut(COLMDoc& doc, Prompter& prompter, QWidget* parent)
    : QFileDialog(parent), doc_(doc), prompter_(prompter),
      model_(doc.Info().sampleRate, doc.Info().channels) {
    // The panel needs the dialog's own layout, which a native dialog does not have; the
    // overwrite question is the export's own.
    setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
               QFileDialog::DontConfirmOverwrite);
    setWindowTitle(Tr(Text(StringId::ExportToMp3Title)));
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(Filters(kExportMp3Filters));
    setDefaultSuffix(QString::fromLatin1(kMp3Filter.defaultExtension));

    auto* panel = new QWidget(this);
    formats_ = new QComboBox(panel);
    formats_->setMinimumContentsLength(24);
    quality_ = new QComboBox(panel);
    for (const std::string& line : QualityLines()) quality_->addItem(Tr(line.c_str()));
    tagBox_ = new QCheckBox(Tr(Text(StringId::Id3TagCheck)), panel);
    tagEdit_ = new QPushButton(Tr(Text(StringId::TagEditButton)), panel);
    tagEdit_->setAutoDefault(false);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(Tr(Text(StringId::Mp3FormatLabel)), panel));
    row->addWidget(formats_, 1);
    row->addWidget(new QLabel(Tr(Text(StringId::Mp3QualityLabel)), panel));
    row->addWidget(quality_);
    row->addWidget(tagBox_);
    row->addWidget(tagEdit_);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount());

    if (!model_.HasFormats()) prompter_.Message(Text(StringId::FailedToEncode));
    ShowFormats();
    tagEdit_->setEnabled(model_.TagEditEnabled());
    connect(formats_, &QComboBox::activated, this, [this](int line) { model_.SelectLine(line); });
    connect(quality_, &QComboBox::activated, this, [this](int quality) {
        if (!model_.SetQuality(quality)) prompter_.Message(Text(StringId::FailedToEncode));
        ShowFormats();
    });
    connect(tagBox_, &QCheckBox::toggled, this, [this](bool on) {
        model_.SetWriteTag(on);
        tagEdit_->setEnabled(model_.TagEditEnabled());
    });
    connect(tagEdit_, &QPushButton::clicked, this, [this] { EditTag(); });
}

void CMP3InOut::ShowFormats() {
    formats_->clear();
    for (const std::string& line : model_.Lines()) formats_->addItem(QString::fromStdString(line));
    formats_->setCurrentIndex(model_.SelectedLine());
    quality_->setCurrentIndex(model_.Quality());
}

void CMP3InOut::EditTag() {
    if (!model_.TagEditEnabled()) return;
    TagDialog dialog(doc_.tag, prompter_, this);
    if (dialog.exec() == QDialog::Accepted && dialog.Result()) doc_.tag = *dialog.Result();
}

QString CMP3InOut::ChooseImportFile(QWidget* parent) {
    QFileDialog dialog(parent, Tr(Text(StringId::ImportMp3Title)));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(Filters(kImportMp3Filters));
    dialog.setDefaultSuffix(QString::fromLatin1(kMp3Filter.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace pelmora
