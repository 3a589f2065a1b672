#pragma once
// CChildFrame: one document window. An outer splitter holds the parameter pane (90 pixels high)
// above an inner splitter of the file-information pane (200 pixels wide) and the waveform pane;
// a status bar shows the position and the selection.

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "document/COLMDoc.h"

namespace pelmora {

class CPaneWForm;

class CChildFrame : public QWidget {
    Q_OBJECT
public:
    explicit CChildFrame(COLMDoc& doc, QWidget* parent = nullptr);

    COLMDoc& Document() { return doc_; }
    CPaneWForm* WaveformPane() { return waveform_; }
    // Redraws every pane from the document.
    void Refresh();

private:
    void RefreshTexts();

    COLMDoc& doc_;
    QLabel* parameters_ = nullptr;
    QLabel* fileInfo_ = nullptr;
    CPaneWForm* waveform_ = nullptr;
    QLabel* statusPosition_ = nullptr;
    QLabel* statusSelection_ = nullptr;
    QTimer refinement_;
};

}  // namespace pelmora
