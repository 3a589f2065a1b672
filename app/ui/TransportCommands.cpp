// The Transport menu and toolbar, the messages of the audio engine, and what the windows do when
// a sound starts, moves and ends.

#include <QKeySequence>
#include <QMdiSubWindow>
#include <QSocketNotifier>

#include "app/ui/MainFrame.h"
#include "audio/TransportRules.h"
#include "audio/ui/SoundDeviceDialog.h"
#include "base/ui/Translate.h"
#include "display/ui/ChildFrame.h"
#include "display/ui/PaneFInfo.h"
#include "display/ui/PaneWForm.h"
#include "display/ui/PaneWParam.h"

namespace pelmora {

namespace {

class WindowsView : public TransportView {
public:
    explicit WindowsView(CMainFrame& frame) : frame_(frame) {}
    void RunStarted(COLMDoc& doc) override { frame_.TransportChanged(doc, false); }
    void CursorMoved(COLMDoc& doc) override { frame_.PlayCursorMoved(doc); }
    void RunEnded(COLMDoc& doc, bool) override { frame_.TransportChanged(doc, true); }

private:
    CMainFrame& frame_;
};

}  // namespace

void CMainFrame::BuildTransportCommands() {
    AudioEngine& engine = app_->audio;
    transportView_ = std::make_unique<WindowsView>(*this);
    engine.SetView(transportView_.get());
    auto* notifier = new QSocketNotifier(engine.Messages().ReadFd(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] { app_->audio.PumpMessages(); });

    auto onDoc = [this](void (*op)(AudioEngine&, COLMDoc&)) {
        return [this, op] {
            if (COLMDoc* d = ActiveDocument()) Guarded([&] { op(app_->audio, *d); });
        };
    };
    auto longOperation = [this] { return progress_->IsActive(); };
    Register(CommandId::Rewind, Tr("Rewind"), QKeySequence(),
             onDoc([](AudioEngine& e, COLMDoc& d) { e.Rewind(d); }),
             [this] { return ActiveDocument() && !WhyRewindDisabled(app_->audio); });
    Register(CommandId::Stop, Tr("Stop"), QKeySequence(),
             onDoc([](AudioEngine& e, COLMDoc& d) { e.Stop(d); }), [this] { return ActiveDocument() != nullptr; });
    Register(CommandId::Play, Tr("Play"), QKeySequence(), onDoc([](AudioEngine& e, COLMDoc& d) { e.Play(d); }),
             [this, longOperation] {
                 COLMDoc* d = ActiveDocument();
                 return d && !WhyPlayDisabled(app_->audio, *d, longOperation());
             },
             [this] {
                 COLMDoc* d = ActiveDocument();
                 return d && PlayPressed(app_->audio, *d);
             });
    Register(CommandId::Record, Tr("Record"), QKeySequence(), onDoc([](AudioEngine& e, COLMDoc& d) { e.Record(d); }),
             [this] {
                 COLMDoc* d = ActiveDocument();
                 return d && !WhyRecordDisabled(app_->audio, *d);
             },
             [this] {
                 // The Record button's update settles a finished recording once it is released.
                 for (const auto& doc : app_->Documents())
                     if (app_->audio.RecordPending(*doc) && !RecordPressed(app_->audio, *doc)) {
                         app_->audio.SettleRecording(*doc);
                         if (CChildFrame* child = WindowFor(*doc)) child->Refresh();
                     }
                 COLMDoc* d = ActiveDocument();
                 return d && RecordPressed(app_->audio, *d);
             });
    Register(CommandId::RegionPlay, Tr("RegionPlay"), QKeySequence(),
             onDoc([](AudioEngine& e, COLMDoc& d) { e.RegionPlay(d); }), [this, longOperation] {
                 COLMDoc* d = ActiveDocument();
                 return d && !WhyRegionPlayDisabled(app_->audio, *d, longOperation());
             });
    Register(CommandId::LoopMode, Tr("Loop Mode (Num /)"), QKeySequence(), [this] {
        if (CChildFrame* child = ActiveChild()) {
            app_->audio.SetLoopMode(child->Document(), !child->Document().loopMode);
            child->Refresh();
        }
    }, [this] { return ActiveDocument() != nullptr; }, [this] { return ActiveDocument() && ActiveDocument()->loopMode; });
    Register(CommandId::SoundDeviceConfiguration, Tr("Sound Device Configuration..."), QKeySequence(), [this] {
        app_->EnumerateDevices();
        SoundDeviceDialog dialog(app_->devices, this);
        if (dialog.exec() != QDialog::Accepted) return;
        for (QMdiSubWindow* w : mdi_->subWindowList())
            if (auto* child = qobject_cast<CChildFrame*>(w->widget())) ShowDeviceNames(*child);
    }, [this] { return !app_->devices.NoDevice(); });
}

void CMainFrame::TransportChanged(COLMDoc& doc, bool ended) {
    if (CChildFrame* child = WindowFor(doc)) {
        if (ended) child->Refresh();
        else child->WaveformPane()->update();
    }
    UpdateCommands();
}

void CMainFrame::PlayCursorMoved(COLMDoc& doc) {
    if (CChildFrame* child = WindowFor(doc)) {
        child->WaveformPane()->ShowPlayCursor();
        child->ParameterPane()->UpdatePlayLocation();
    }
}

void CMainFrame::ShowDeviceNames(CChildFrame& child) {
    child.FileInfoPane()->SetDeviceNames(QString::fromStdString(app_->devices.InputName()),
                                         QString::fromStdString(app_->devices.OutputName()));
}

void CMainFrame::ConnectTransport(CChildFrame& child) {
    COLMDoc& doc = child.Document();
    child.WaveformPane()->SetTransportSource([this, &doc](PaneContext context) {
        context.document = app_->audio.TransportOf(doc);
        context.anySoundActive = app_->audio.Active() != nullptr;
        return context;
    });
    connect(child.ParameterPane(), &CPaneWParam::PlaybackRestartRequested, this,
            [this, &doc] { app_->audio.RestartPlayback(doc); });
    connect(child.ParameterPane(), &CPaneWParam::LoopModeSwitched, this,
            [this, &doc](bool on) { app_->audio.SetLoopMode(doc, on); });
    ShowDeviceNames(child);
}

bool CMainFrame::SoundRuns() const { return app_->audio.Active() != nullptr; }

}  // namespace pelmora
