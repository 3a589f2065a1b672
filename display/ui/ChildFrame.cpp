#include "display/ui/ChildFrame.h"

#include <QCoreApplication>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "display/DocumentWaveform.h"
#include "display/ui/PaneWForm.h"
#include "sound/SoundSummary.h"
#include "sound/TimeMath.h"

namespace pelmora {

namespace {

constexpr int kParameterPaneHeight = 90;
constexpr int kFileInfoPaneWidth = 200;
constexpr int kRefinementMs = 1000;

QString Tr(const char* text) { return QCoreApplication::translate("Pelmora", text); }

// "HH:MM:SS:mmm (frames)" for a frame of this sound.
QString TimeAndFrames(const SoundInfo& info, std::uint32_t frame) {
    return QString::fromStdString(FormatLength(info.sampleRate, frame)) +
           QStringLiteral(" (%1)").arg(frame);
}

}  // namespace

CChildFrame::CChildFrame(COLMDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    auto* outer = new QSplitter(Qt::Vertical, this);
    parameters_ = new QLabel(outer);
    parameters_->setMargin(6);
    parameters_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* inner = new QSplitter(Qt::Horizontal, outer);
    fileInfo_ = new QLabel(inner);
    fileInfo_->setMargin(6);
    fileInfo_->setWordWrap(true);
    fileInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    waveform_ = new CPaneWForm(doc, inner);
    outer->setSizes({kParameterPaneHeight, 1000});
    inner->setSizes({kFileInfoPaneWidth, 1000});
    outer->setStretchFactor(1, 1);
    inner->setStretchFactor(1, 1);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    statusPosition_ = new QLabel(status);
    statusSelection_ = new QLabel(status);
    status->addWidget(statusPosition_, 1);
    status->addWidget(statusSelection_, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(outer, 1);
    layout->addWidget(status);
    connect(waveform_, &CPaneWForm::SelectionChanged, this, [this] { RefreshTexts(); });
    // Once a second the image is refined a little, until it is exact.
    connect(&refinement_, &QTimer::timeout, this, [this] {
        DocumentWaveform* waveform = WaveformOf(doc_);
        if (waveform && waveform->RefineStep()) waveform_->update();
    });
    refinement_.start(kRefinementMs);
    resize(700, 500);
    RefreshTexts();
}

void CChildFrame::Refresh() {
    RefreshTexts();
    waveform_->update();
}

void CChildFrame::RefreshTexts() {
    const SoundInfo& info = doc_.Info();
    const bool loopShown = info.loopOn && info.loopStart < info.loopEnd;
    const std::string summary = FormatSoundSummary(
        info.sampleRate, info.bitsPerSample, info.channels, info.frames, info.blockAlign, loopShown,
        info.fileType == FileType::Wav ? SummaryKind::Wav : SummaryKind::Aiff);
    fileInfo_->setText(QString::fromStdString(doc_.Title()) + "\n\n" +
                       QString::fromStdString(summary) + "\n\n" +
                       Tr(Text(doc_.FileBackup() ? StringId::EditingCopy : StringId::EditingOriginal)));
    parameters_->setText(
        Tr("Play location") + ": " + TimeAndFrames(info, doc_.playCursor) + "\n" + Tr("Sel.") +
        ": " + TimeAndFrames(info, doc_.selectionStart) + " - " +
        TimeAndFrames(info, doc_.selectionEnd) + "\n" + Tr("Loop") + ": " +
        TimeAndFrames(info, info.loopStart) + " - " + TimeAndFrames(info, info.loopEnd));
    statusPosition_->setText(TimeAndFrames(info, doc_.selectionStart));
    statusSelection_->setText(TimeAndFrames(info, doc_.selectionEnd - doc_.selectionStart));
    setWindowTitle(QString::fromStdString(doc_.Title()) +
                   (doc_.DataChanged() || doc_.LoopChanged() ? QStringLiteral(" *") : QString()));
}

}  // namespace pelmora
