#include "display/ui/ChildFrame.h"

#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "display/DocumentTexts.h"
#include "display/DocumentWaveform.h"
#include "display/ui/PaneFInfo.h"
#include "display/ui/PaneWForm.h"
#include "display/ui/PaneWParam.h"

namespace pelmora {

namespace {

constexpr int kParameterPaneHeight = 90;
constexpr int kFileInfoPaneWidth = 200;
constexpr int kRefinementMs = 1000;

}  // namespace

CChildFrame::CChildFrame(COLMDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    auto* outer = new QSplitter(Qt::Vertical, this);
    parameters_ = new CPaneWParam(doc, outer);
    auto* inner = new QSplitter(Qt::Horizontal, outer);
    fileInfo_ = new CPaneFInfo(doc, inner);
    waveform_ = new CPaneWForm(doc, inner);
    outer->setSizes({kParameterPaneHeight, 1000});
    inner->setSizes({kFileInfoPaneWidth, 1000});
    outer->setStretchFactor(1, 1);
    inner->setStretchFactor(1, 1);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    for (QLabel*& pane : status_) {
        pane = new QLabel(status);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        status->addWidget(pane, 1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(outer, 1);
    layout->addWidget(status);

    parameters_->SetContextSource([this] { return waveform_->Context(); });
    connect(waveform_, &CPaneWForm::SelectionChanged, this, [this] {
        parameters_->UpdateSelectionFields();
        UpdateStatusBar();
    });
    connect(waveform_, &CPaneWForm::LoopChanged, this, [this] {
        parameters_->UpdateLoopFields();
        fileInfo_->Refresh();  // it says whether the loop is on
        UpdateTitle();
    });
    connect(waveform_, &CPaneWForm::PositionChanged, this, [this] {
        parameters_->UpdatePlayLocation();
        UpdateStatusBar();
    });
    connect(waveform_, &CPaneWForm::ViewChanged, parameters_, &CPaneWParam::UpdateZoomSteps);
    connect(parameters_, &CPaneWParam::SelectionEdited, this, [this] {
        waveform_->Redraw();
        UpdateStatusBar();
    });
    connect(parameters_, &CPaneWParam::LoopEdited, this, [this] {
        waveform_->Redraw();
        fileInfo_->Refresh();
        UpdateTitle();
    });
    connect(parameters_, &CPaneWParam::ZoomChanged, waveform_, &CPaneWForm::Redraw);
    connect(parameters_, &CPaneWParam::PlayLocationEdited, this, [this] {
        waveform_->update();
        UpdateStatusBar();
    });
    connect(fileInfo_, &CPaneFInfo::SelectWorkingDirRequested, this, &CChildFrame::SelectWorkingDirRequested);

    // Once a second the image is refined a little, until it is exact; never in the middle of an
    // operation (its progress display lets timers run) or while a sound plays.
    connect(&refinement_, &QTimer::timeout, this, [this] {
        if ((busy_ && busy_()) || waveform_->Context().anySoundActive) return;
        DocumentWaveform* waveform = WaveformOf(doc_);
        if (waveform && waveform->RefineStep()) waveform_->ImageRefined();
    });
    refinement_.start(kRefinementMs);
    UpdateStatusBar();
    UpdateTitle();
}

void CChildFrame::SetBusySource(std::function<bool()> busy) {
    waveform_->SetBusySource(busy);
    busy_ = std::move(busy);
}

void CChildFrame::SetSnapModeSource(std::function<SnapMode()> source) {
    waveform_->SetSnapModeSource(source);
    parameters_->SetSnapModeSource(std::move(source));
}

void CChildFrame::Refresh() {
    parameters_->UpdatePlayLocation();
    parameters_->UpdateSelectionFields();
    parameters_->UpdateLoopFields();
    parameters_->UpdateZoomSteps();
    fileInfo_->Refresh();
    waveform_->Redraw();
    UpdateStatusBar();
    UpdateTitle();
}

void CChildFrame::UpdateStatusBar() {
    const std::array<std::string, 4> texts = StatusPaneTexts(doc_);
    for (std::size_t i = 0; i < texts.size(); ++i) status_[i]->setText(QString::fromStdString(texts[i]));
}

void CChildFrame::UpdateTitle() {
    setWindowTitle(QString::fromStdString(doc_.Title()) +
                   (doc_.DataChanged() || doc_.LoopChanged() ? QStringLiteral(" *") : QString()));
}

}  // namespace pelmora
