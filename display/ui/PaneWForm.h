#pragma once
// CPaneWForm: the overview strip, the time ruler, the level ruler and the channels' waveforms with
// the selection, the loop markers and the play cursor. The view rules are the core's; the pane
// lays out its areas, draws, and turns mouse gestures into calls of those rules.

#include <QAction>
#include <QImage>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "display/SelectionGesture.h"
#include "display/SnapEdge.h"
#include "display/WaveformView.h"
#include "document/COLMDoc.h"

namespace pelmora {

class CPaneWForm : public QWidget {
    Q_OBJECT
public:
    explicit CPaneWForm(COLMDoc& doc, QWidget* parent = nullptr);

    // The pane's width and the transport, for the view rules.
    PaneContext Context() const;
    // Redraws everything after the document's view, selection or loop changed elsewhere.
    void Redraw();
    // The image was refined: the overview, and the view when drawn from the image, are redrawn.
    void ImageRefined();
    // Where the application's "Auto Snap" setting and the transport come from.
    void SetSnapModeSource(std::function<SnapMode()> source) { snapMode_ = std::move(source); }
    void SetTransportSource(std::function<PaneContext(PaneContext)> source) { transport_ = std::move(source); }
    // While an operation runs the document is half changed: the pane shows what it drew last.
    void SetBusySource(std::function<bool()> busy) { busy_ = std::move(busy); }

    // The context menu on the loop marker lines ("Loop On" and the other loop commands); the
    // right button opens it within a few columns of either line.
    void SetLoopMenuActions(QList<QAction*> actions) { loopMenuActions_ = std::move(actions); }
    const QList<QAction*>& LoopMenuActions() const { return loopMenuActions_; }
    bool OnLoopMarker(QPoint at) const;

    // `ShowPlayCursor`: follows the play position when asked to, and moves the cursor line.
    void ShowPlayCursor();

    // The areas, in pane coordinates (empty when hidden).
    QRect OverviewRect() const;
    QRect TimeRulerRect() const;
    QRect LevelRulerRect() const;
    QRect WaveformRect() const;
    // The frame under a pane x coordinate, and the channel strip under a y coordinate.
    std::uint32_t FrameAt(int x) const;
    std::uint16_t ChannelAt(int y) const;
    // The pane x of a frame.
    int XOfFrame(std::uint32_t frame) const;

signals:
    void SelectionChanged();
    void LoopChanged();
    // The loop menu is about to open: its items' states should be brought up to date.
    void LoopMenuRequested();
    // The play cursor or the current position moved.
    void PositionChanged();
    // Zoom or visible range changed.
    void ViewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    enum class DragKind { None, Selection, Cursor, LoopMarker, Band };

    void LayOut();
    void SyncScrollBars();
    void ScrollBarMoved(int value);
    void LevelScrolled(int value);
    double LevelCenter() const;
    void RenderWaveform();
    void RenderOverview();
    void DrawChannels(QPainter& painter, const QRect& area, std::uint32_t first, double zoom,
                      bool mainView, double verticalZoom, double center);
    void DrawTimeRuler(QPainter& painter);
    void DrawLevelRuler(QPainter& painter);
    void DrawSelectionAndMarkers(QPainter& painter);
    void DrawOverviewFrame(QPainter& painter);
    void ContinueDrag(QPoint at);
    void AutoScrollTick();
    void ShowFailure(const QString& text);

    COLMDoc& doc_;
    std::function<SnapMode()> snapMode_;
    std::function<PaneContext(PaneContext)> transport_;
    std::function<bool()> busy_;
    QScrollBar* horizontal_ = nullptr;
    QScrollBar* vertical_ = nullptr;
    QImage waveformImage_;
    QImage overviewImage_;
    bool waveformStale_ = true;
    bool overviewStale_ = true;
    bool started_ = false;
    bool syncing_ = false;
    QString drawingFailure_;  // shown instead of the waveform until the next full redraw

    DragKind drag_ = DragKind::None;
    std::optional<SelectionGesture> selection_;
    std::optional<LoopMarkerGesture> loopMarker_;
    int bandFrom_ = 0, bandTo_ = 0;
    std::uint32_t bandViewFirst_ = 0;
    double bandViewZoom_ = 0;
    QPoint lastPointer_;
    QTimer autoScroll_;
    QList<QAction*> loopMenuActions_;
};

}  // namespace pelmora
