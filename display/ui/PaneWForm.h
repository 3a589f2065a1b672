#pragma once
// CPaneWForm: the waveform of each channel in its strip, with the selection and loop markers.
// Column extents come from the core (the image, or the samples at fine zooms); the pane draws
// them and turns mouse drags into selections.

#include <QWidget>

#include "display/WaveformView.h"
#include "document/COLMDoc.h"

namespace pelmora {

class CPaneWForm : public QWidget {
    Q_OBJECT
public:
    explicit CPaneWForm(COLMDoc& doc, QWidget* parent = nullptr);

    // Frames per pixel column that fit the whole sound into the pane.
    double Zoom() const;
    // The frame under a pixel column, limited to the sound.
    std::uint32_t FrameAt(int x) const;

    // The pane's width and the transport, for the view rules.
    PaneContext Context() const;
    // Redraws everything after the document's view, selection or loop changed elsewhere.
    void Redraw();

signals:
    void SelectionChanged();
    void LoopChanged();
    // The play cursor or the current position moved.
    void PositionChanged();
    // Zoom or visible range changed.
    void ViewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DragTo(int x);

    COLMDoc& doc_;
    bool dragging_ = false;
    std::uint32_t anchor_ = 0;
};

}  // namespace pelmora
