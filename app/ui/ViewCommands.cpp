// The View menu's commands: they call the waveform view rules on the active document with its
// pane's width, then redraw that document's window.

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include "app/ui/MainFrame.h"
#include "base/Error.h"
#include "base/ui/Translate.h"
#include "display/DocumentWaveform.h"
#include "display/WaveformView.h"
#include "display/ui/ChildFrame.h"
#include "display/ui/PaneWForm.h"
#include "edit/Selection.h"

namespace pelmora {

namespace {

using ViewRule = bool (*)(COLMDoc&, const PaneContext&);

}  // namespace

void CMainFrame::BuildViewCommands() {
    auto hasDoc = [this] { return ActiveDocument() != nullptr; };
    // A rule over the active document and its pane; the window is redrawn when it acted.
    auto onView = [this](std::function<bool(COLMDoc&, const PaneContext&)> rule) {
        return [this, rule] {
            CChildFrame* child = ActiveChild();
            if (!child) return;
            // Only the active window is redrawn, and only when the rule acted.
            try {
                if (rule(child->Document(), child->WaveformPane()->Context())) child->Refresh();
            } catch (const Error& e) {
                prompter_->Message(e.Message());
            }
        };
    };
    auto rule = [&](ViewRule f) { return onView(f); };
    auto setting = [&](void (*f)(COLMDoc&)) {
        return onView([f](COLMDoc& d, const PaneContext&) { f(d); return true; });
    };
    auto reveal = [&](std::uint32_t (*frameOf)(const COLMDoc&)) {
        return onView([frameOf](COLMDoc& d, const PaneContext& p) { return RevealFrame(d, frameOf(d), p); });
    };
    auto viewFlag = [this](bool ViewSettings::*flag) {
        return [this, flag] { return ActiveDocument() && ActiveDocument()->view.*flag; };
    };
    auto rulerIs = [this](std::uint16_t ViewSettings::*ruler, std::uint16_t value) {
        return [this, ruler, value] { return ActiveDocument() && ActiveDocument()->view.*ruler == value; };
    };
    auto rulerShown = [this](std::uint16_t ViewSettings::*ruler) {
        return [this, ruler] { return ActiveDocument() && RulerShown(ActiveDocument()->view.*ruler); };
    };

    Register(CommandId::GoToTop, Tr("Top"), QKeySequence(), reveal([](const COLMDoc&) { return 0u; }), hasDoc);
    Register(CommandId::GoToEnd, Tr("End"), QKeySequence(),
             reveal([](const COLMDoc& d) { return d.Info().frames; }), hasDoc);
    Register(CommandId::GoToSelectionTop, Tr("Selection Top"), QKeySequence(),
             reveal([](const COLMDoc& d) { return d.selectionStart; }), hasDoc);
    Register(CommandId::GoToSelectionEnd, Tr("Selection End"), QKeySequence(),
             reveal([](const COLMDoc& d) { return d.selectionEnd; }), hasDoc);
    Register(CommandId::GoToPlayLocation, Tr("Play location"), QKeySequence(),
             reveal([](const COLMDoc& d) { return d.playCursor; }), hasDoc);
    Register(CommandId::GoToLoopTop, Tr("Loop Top"), QKeySequence(),
             reveal([](const COLMDoc& d) { return d.Info().loopStart; }), hasDoc);
    Register(CommandId::GoToLoopEnd, Tr("Loop End"), QKeySequence(),
             reveal([](const COLMDoc& d) { return d.Info().loopEnd; }), hasDoc);

    Register(CommandId::VerticalFullZoomIn, Tr("Vertical Full Zoom In"), QKeySequence(),
             rule(VerticalFullZoomIn), hasDoc);
    Register(CommandId::VerticalFullZoomOut, Tr("Vertical Full Zoom Out"), QKeySequence(),
             rule(VerticalFullZoomOut), hasDoc);
    Register(CommandId::HorizontalFullZoomIn, Tr("Horizontal Full Zoom In"), QKeySequence(),
             rule(HorizontalFullZoomIn), hasDoc);
    Register(CommandId::HorizontalFullZoomOut, Tr("Horizontal Full Zoom Out"), QKeySequence(),
             rule(HorizontalFullZoomOut), hasDoc);
    Register(CommandId::FitToSelection, Tr("Fit To Selection"), QKeySequence(),
             rule(FitToSelection),
             [this] { return ActiveDocument() && ActiveDocument()->selectionEnd > ActiveDocument()->selectionStart; });
    Register(CommandId::FitToLoop, Tr("Fit To Loop"), QKeySequence(), rule(FitToLoop),
             [this] { return ActiveDocument() && ActiveDocument()->Info().loopEnd > ActiveDocument()->Info().loopStart; });
    Register(CommandId::PreviousZoom, Tr("Previous Zoom"), QKeySequence(), rule(PreviousZoom), hasDoc);
    Register(CommandId::HorizontalZoomIn, Tr("Horizontal Zoom In"), QKeySequence(),
             onView([](COLMDoc& d, const PaneContext& p) { return ZoomHorizontalBy(d, 0.5, p); }), hasDoc);
    Register(CommandId::HorizontalZoomOut, Tr("Horizontal Zoom Out"), QKeySequence(),
             onView([](COLMDoc& d, const PaneContext& p) { return ZoomHorizontalBy(d, 2.0, p); }), hasDoc);
    Register(CommandId::VerticalZoomIn, Tr("Vertical Zoom In"), QKeySequence(),
             onView([](COLMDoc& d, const PaneContext& p) { return StepVerticalZoom(d, 1, p); }), hasDoc);
    Register(CommandId::VerticalZoomOut, Tr("Vertical Zoom Out"), QKeySequence(),
             onView([](COLMDoc& d, const PaneContext& p) { return StepVerticalZoom(d, -1, p); }), hasDoc);

    // "Auto Snap" is the application's, shared by every document.
    for (auto [id, text, mode] : {std::tuple{CommandId::AutoSnapNone, "None", SnapMode::None},
                                  std::tuple{CommandId::AutoSnapZeroCross, "Zero Cross", SnapMode::ZeroCross},
                                  std::tuple{CommandId::AutoSnapLevel, "Level", SnapMode::Level}}) {
        const SnapMode chosen = mode;
        Register(id, Tr(text), QKeySequence(), [this, chosen] { app_->snapMode = chosen; }, {},
                 [this, chosen] { return app_->snapMode == chosen; });
    }

    Register(CommandId::Waveform, Tr("Hide Waveform"), QKeySequence(), [this] {
        CChildFrame* child = ActiveChild();
        DocumentWaveform* waveform = child ? WaveformOf(child->Document()) : nullptr;
        if (!waveform) return;
        Guarded([&] { waveform->ShowWaveform(!waveform->Image().waveformShown); });
    }, [this] { return ActiveDocument() && WaveformOf(*ActiveDocument()); });
    Register(CommandId::Overview, Tr("Hide Overview"), QKeySequence(),
             setting([](COLMDoc& d) { d.view.overviewShown = !d.view.overviewShown; }), hasDoc);
    Register(CommandId::TimeRulerTime, Tr("Time"), QKeySequence(),
             setting([](COLMDoc& d) { SetTimeRulerMode(d, kTimeRulerTime); }), hasDoc,
             rulerIs(&ViewSettings::timeRulerSetting, kRulerShown | kTimeRulerTime));
    Register(CommandId::TimeRulerSample, Tr("Sample"), QKeySequence(),
             setting([](COLMDoc& d) { SetTimeRulerMode(d, kTimeRulerSample); }), hasDoc,
             rulerIs(&ViewSettings::timeRulerSetting, kRulerShown | kTimeRulerSample));
    Register(CommandId::TimeRulerHide, Tr("Hide"), QKeySequence(), setting(HideTimeRuler), hasDoc);
    Register(CommandId::TimeRulerRotate, Tr("Time Ruler (Rotate)"), QKeySequence(), setting(RotateTimeRuler), hasDoc);
    Register(CommandId::TimeRulerShowHide, Tr("Time Ruler Show/Hide"), QKeySequence(), setting(ToggleTimeRuler), hasDoc,
             rulerShown(&ViewSettings::timeRulerSetting));
    Register(CommandId::LevelRulerPercent, Tr("%"), QKeySequence(),
             setting([](COLMDoc& d) { SetLevelRulerMode(d, kLevelRulerPercent); }), hasDoc,
             rulerIs(&ViewSettings::levelRulerSetting, kRulerShown | kLevelRulerPercent));
    Register(CommandId::LevelRulerDecibel, Tr("dB"), QKeySequence(),
             setting([](COLMDoc& d) { SetLevelRulerMode(d, kLevelRulerDecibel); }), hasDoc,
             rulerIs(&ViewSettings::levelRulerSetting, kRulerShown | kLevelRulerDecibel));
    Register(CommandId::LevelRulerValue, Tr("Value"), QKeySequence(),
             setting([](COLMDoc& d) { SetLevelRulerMode(d, kLevelRulerValue); }), hasDoc,
             rulerIs(&ViewSettings::levelRulerSetting, kRulerShown | kLevelRulerValue));
    Register(CommandId::LevelRulerHide, Tr("Hide"), QKeySequence(), setting(HideLevelRuler), hasDoc);
    Register(CommandId::LevelRulerRotate, Tr("Level Ruler (Rotate)"), QKeySequence(), setting(RotateLevelRuler), hasDoc);
    Register(CommandId::LevelRulerShowHide, Tr("Level Ruler Show/Hide"), QKeySequence(), setting(ToggleLevelRuler), hasDoc,
             rulerShown(&ViewSettings::levelRulerSetting));
    Register(CommandId::ScrollDuringPlayback, Tr("Scroll During Playback"), QKeySequence(),
             setting([](COLMDoc& d) { d.view.scrollDuringPlayback = !d.view.scrollDuringPlayback; }), hasDoc,
             viewFlag(&ViewSettings::scrollDuringPlayback));
    Register(CommandId::ConnectDots, Tr("Connect dots"), QKeySequence(),
             setting([](COLMDoc& d) { d.view.connectDots = !d.view.connectDots; }), hasDoc,
             viewFlag(&ViewSettings::connectDots));
}

void CMainFrame::BuildViewMenu(QMenu* view) {
    auto add = [this](QMenu* menu, std::initializer_list<CommandId> ids) {
        for (CommandId id : ids) {
            if (id == CommandId{}) menu->addSeparator();
            else if (auto it = commands_.find(id); it != commands_.end()) menu->addAction(it->second.action);
        }
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
    };
    const CommandId separator{};
    add(view->addMenu(Tr("Go To")), {CommandId::GoToTop, CommandId::GoToEnd, CommandId::GoToSelectionTop,
                                     CommandId::GoToSelectionEnd, CommandId::GoToPlayLocation, CommandId::GoToLoopTop,
                                     CommandId::GoToLoopEnd});
    add(view, {separator, CommandId::VerticalFullZoomIn, CommandId::VerticalFullZoomOut,
               CommandId::HorizontalFullZoomIn, CommandId::HorizontalFullZoomOut, CommandId::FitToSelection,
               CommandId::FitToLoop, CommandId::PreviousZoom});
    add(view->addMenu(Tr("Zoom")), {CommandId::HorizontalZoomIn, CommandId::HorizontalZoomOut,
                                    CommandId::VerticalZoomIn, CommandId::VerticalZoomOut});
    add(view, {separator, CommandId::SelectLoop, CommandId::SelectionToLoop});
    add(view->addMenu(Tr("Auto Snap")), {CommandId::AutoSnapNone, CommandId::AutoSnapZeroCross, CommandId::AutoSnapLevel});
    add(view, {separator, CommandId::Waveform, CommandId::Overview});
    add(view->addMenu(Tr("Time Ruler")), {CommandId::TimeRulerTime, CommandId::TimeRulerSample, CommandId::TimeRulerHide,
                                          separator, CommandId::TimeRulerRotate});
    add(view->addMenu(Tr("Level Ruler")), {CommandId::LevelRulerPercent, CommandId::LevelRulerDecibel,
                                           CommandId::LevelRulerValue, CommandId::LevelRulerHide, separator,
                                           CommandId::LevelRulerRotate});
    add(view, {CommandId::ScrollDuringPlayback, CommandId::ConnectDots});
}

}  // namespace pelmora
