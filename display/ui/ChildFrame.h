#pragma once
// CChildFrame: one document window. An outer splitter holds the parameter pane (90 pixels high)
// above an inner splitter of the file-information pane (200 pixels wide) and the waveform pane;
// a status bar of four panes shows the position and the selection.

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

#include "display/SnapEdge.h"
#include "document/COLMDoc.h"

class QLabel;

namespace pelmora {

class CPaneFInfo;
class CPaneWForm;
class CPaneWParam;

class CChildFrame : public QWidget {
    Q_OBJECT
public:
    explicit CChildFrame(COLMDoc& doc, QWidget* parent = nullptr);

    COLMDoc& Document() { return doc_; }
    CPaneWForm* WaveformPane() { return waveform_; }
    CPaneWParam* ParameterPane() { return parameters_; }
    CPaneFInfo* FileInfoPane() { return fileInfo_; }
    QLabel* StatusPane(int index) { return status_[std::size_t(index)]; }

    // The application's "Auto Snap" setting, for mouse selections and typed values.
    void SetSnapModeSource(std::function<SnapMode()> source);
    // Whether an operation is running: the panes then only repaint what they have drawn.
    void SetBusySource(std::function<bool()> busy);

    // Redraws every pane from the document.
    void Refresh();

signals:
    void SelectWorkingDirRequested();

private:
    void UpdateStatusBar();
    void UpdateTitle();

    COLMDoc& doc_;
    CPaneWParam* parameters_ = nullptr;
    CPaneFInfo* fileInfo_ = nullptr;
    CPaneWForm* waveform_ = nullptr;
    std::array<QLabel*, 4> status_{};
    QTimer refinement_;
    std::function<bool()> busy_;
};

}  // namespace pelmora
