#include "display/ui/PaneFInfo.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/ui/Translate.h"
#include "base/StringId.h"
#include "display/DocumentTexts.h"

namespace pelmora {

namespace {


constexpr int kMaxLevel = 255;

}  // namespace

CPaneFInfo::CPaneFInfo(COLMDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    tabs_ = new QTabWidget(this);
    tabs_->addTab(FileInfoPage(), Tr("File Info"));
    tabs_->addTab(DevicePage(), Tr("Device"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(tabs_);
    Refresh();
}

QWidget* CPaneFInfo::FileInfoPage() {
    auto* page = new QWidget(tabs_);
    auto* layout = new QVBoxLayout(page);
    fileInfo_ = new QLabel(page);
    // The facts are lined up with spaces.
    fileInfo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    fileInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    fileInfo_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    editingMode_ = new QLabel(page);
    editingMode_->setFont(fileInfo_->font());
    layout->addWidget(fileInfo_);
    layout->addWidget(editingMode_);
    layout->addStretch(1);
    return page;
}

QWidget* CPaneFInfo::DevicePage() {
    auto* page = new QWidget(tabs_);
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(Tr("Vol:"), page), 0, 0);
    level_ = new QSpinBox(page);
    level_->setRange(0, kMaxLevel);
    grid->addWidget(level_, 0, 1);
    levelSlider_ = new QSlider(Qt::Horizontal, page);
    levelSlider_->setRange(0, kMaxLevel);
    grid->addWidget(levelSlider_, 1, 0, 1, 3);
    connect(level_, &QSpinBox::valueChanged, this, &CPaneFInfo::SetLevel);
    connect(levelSlider_, &QSlider::valueChanged, this, &CPaneFInfo::SetLevel);

    grid->addWidget(new QLabel(Tr("Working Volume:"), page), 2, 0, 1, 3);
    workingDirectory_ = new QLabel(page);
    workingDirectory_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    workingDirectory_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    workingDirectory_->setMinimumWidth(40);
    workingDirectory_->installEventFilter(this);
    selectWorkingDirectory_ = new QPushButton(Tr("Sel."), page);
    grid->addWidget(workingDirectory_, 3, 0, 1, 2);
    grid->addWidget(selectWorkingDirectory_, 3, 2);
    connect(selectWorkingDirectory_, &QPushButton::clicked, this, &CPaneFInfo::SelectWorkingDirRequested);

    // No devices are configured yet: the names stay empty.
    devices_ = new QLabel(Tr("Input Audio Device:\n ") + Tr("\nOutput Audio Device:\n "), page);
    devices_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(devices_, 4, 0, 1, 3);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

void CPaneFInfo::Refresh() {
    fileInfo_->setText(QString::fromStdString(FileInfoText(doc_)));
    const bool copy = doc_.FileBackup();
    editingMode_->setText(Tr(Text(copy ? StringId::EditingCopy : StringId::EditingOriginal)));
    QPalette palette = editingMode_->palette();
    palette.setColor(QPalette::WindowText, copy ? Qt::blue : Qt::red);
    editingMode_->setPalette(palette);
    SetLevel(doc_.view.playbackLevel);
    ShowWorkingDirectory();
}

void CPaneFInfo::SetLevel(int level) {
    doc_.view.playbackLevel = static_cast<std::uint8_t>(qBound(0, level, kMaxLevel));
    level_->setValue(level);
    levelSlider_->setValue(level);
}

// There is no drive letter here: the field shows the working directory, elided to fit.
void CPaneFInfo::ShowWorkingDirectory() {
    const QString path = QString::fromStdString(doc_.Host().WorkDir());
    workingDirectory_->setToolTip(path);
    const int width = std::max(workingDirectory_->contentsRect().width(), workingDirectory_->minimumWidth());
    workingDirectory_->setText(workingDirectory_->fontMetrics().elidedText(path, Qt::ElideMiddle, width));
}

bool CPaneFInfo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == workingDirectory_ && event->type() == QEvent::Resize) ShowWorkingDirectory();
    return QWidget::eventFilter(watched, event);
}

void CPaneFInfo::SetDeviceNames(const QString& input, const QString& output) {
    devices_->setText(Tr("Input Audio Device:\n ") + input + Tr("\nOutput Audio Device:\n ") + output);
}

}  // namespace pelmora
