#pragma once
// CPaneWParam: the play location, selection and loop as numbers across the top of a document
// window, with the lock, catch and zoom buttons. A clicked field opens an edit box over it; the
// rules of what a typed value does live in the core.

#include <QWidget>

#include <array>
#include <functional>

#include "display/ParameterFields.h"
#include "display/ui/PaneGlyphs.h"

class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class QGridLayout;
class QScrollArea;

namespace pelmora {

class CPaneWParam : public QWidget {
    Q_OBJECT
public:
    explicit CPaneWParam(COLMDoc& doc, QWidget* parent = nullptr);

    // The waveform pane's width and the transport, for zoom changes and snapping.
    void SetContextSource(std::function<PaneContext()> source) { context_ = std::move(source); }
    // The application's "Auto Snap" setting.
    void SetSnapModeSource(std::function<SnapMode()> source) { snapMode_ = std::move(source); }

    QLabel* Field(int field) const { return fields_[std::size_t(field)]; }
    QToolButton* LoopModeButton() const { return loopMode_; }
    // The pane scrolls sideways when the window is narrower than its fields.
    QScrollArea* Scroller() const { return scroller_; }
    QLineEdit* Editor() const { return editor_; }
    // The field whose edit box is open; -1 when none is.
    int EditedField() const { return editedField_; }

public slots:
    void UpdateSelectionFields();
    void UpdateLoopFields();
    void UpdatePlayLocation();
    void UpdateZoomSteps();

signals:
    void SelectionEdited();
    void LoopEdited();
    void PlayLocationEdited();
    // Catch Loop moved the loop while the sound plays: playback goes on from the play cursor.
    void PlaybackRestartRequested();
    // The "Loop" button: the audio engine follows while the sound plays.
    void LoopModeSwitched(bool on);
    void ZoomChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* MakeField(int field);
    QToolButton* MakeButton(PaneGlyph glyph, const char* toolTip);
    QWidget* PlayLocationSection();
    QWidget* GroupSection(const char* caption, FieldGroup first, QGridLayout*& grid);
    QWidget* ZoomSection();
    void AddFieldRow(QGridLayout* grid, int row, FieldGroup group);
    QToolButton* MakeStepField(int steps, bool horizontal);

    void UpdateGroups(FieldGroup first, FieldGroup last);
    void UpdateLockButtons();
    void OpenEditor(int field);
    void CloseEditor();
    bool HandleEditorKey(int key, Qt::KeyboardModifiers modifiers);
    void Commit();
    void Guarded(const std::function<void()>& body);
    PaneContext Context() const;
    SnapMode Snap() const { return snapMode_ ? snapMode_() : SnapMode::None; }

    void ToggleLock(const std::function<bool()>& toggle);
    void CatchLoop(bool start);
    void Zoomed(bool changed);

    COLMDoc& doc_;
    std::function<PaneContext()> context_;
    std::function<SnapMode()> snapMode_;
    std::array<QLabel*, kParameterFieldCount> fields_{};
    QLineEdit* editor_ = nullptr;
    int editedField_ = -1;
    QToolButton* selectionPositionLock_ = nullptr;
    QToolButton* selectionLengthLock_ = nullptr;
    QToolButton* loopPositionLock_ = nullptr;
    QToolButton* loopLengthLock_ = nullptr;
    QToolButton* catchLoopStart_ = nullptr;
    QToolButton* catchLoopEnd_ = nullptr;
    QToolButton* loopMode_ = nullptr;
    QScrollArea* scroller_ = nullptr;
    QWidget* content_ = nullptr;
    QToolButton* horizontalStep_ = nullptr;
    QToolButton* verticalStep_ = nullptr;
};

}  // namespace pelmora
