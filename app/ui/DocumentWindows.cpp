// The document windows in the MDI area: showing, opening from a path, closing, and the
// question when the user leaves a window that records.

#include <QDragEnterEvent>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTimer>

#include "app/ui/MainFrame.h"
#include "base/Error.h"
#include "display/ui/ChildFrame.h"
#include "display/ui/PaneWForm.h"

namespace pelmora {

namespace {

constexpr int kHandOverRetryMs = 250;

}  // namespace

CChildFrame* CMainFrame::WindowFor(COLMDoc& doc) {
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        auto* child = qobject_cast<CChildFrame*>(window->widget());
        if (child && &child->Document() == &doc) return child;
    }
    return nullptr;
}

void CMainFrame::ShowDocument(COLMDoc& doc) {
    if (CChildFrame* existing = WindowFor(doc)) {
        mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(existing->parentWidget()));
        return;
    }
    auto* child = new CChildFrame(doc);
    QMdiSubWindow* window = mdi_->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(child->windowTitle());
    window->installEventFilter(this);
    connect(child->WaveformPane(), &CPaneWForm::SelectionChanged, this, [this] { UpdateCommands(); });
    child->WaveformPane()->SetLoopMenuActions({commands_[CommandId::LoopOn].action,
                                              commands_[CommandId::SelectLoop].action});
    connect(child->WaveformPane(), &CPaneWForm::LoopMenuRequested, this, [this] { UpdateCommands(); });
    child->SetSnapModeSource([this] { return app_->snapMode; });
    child->SetBusySource([this] { return progress_->IsActive(); });
    app_->EnumerateDevices();
    ConnectTransport(*child);
    connect(child, &CChildFrame::SelectWorkingDirRequested, this, [this] { Run(CommandId::SelectWorkingDir); });
    window->resize(mdi_->viewport()->size().boundedTo(QSize(700, 500)));
    // The "m" start-up switch asks for document windows that open maximised.
    if (app_->displayFlag) window->showMaximized();
    else window->show();
    // A new document comes to the front and takes the keyboard, whichever window was maximised.
    mdi_->setActiveSubWindow(window);
    window->raise();
    FocusActiveDocument();
}

void CMainFrame::OpenSound(const QString& path) {
    Guarded([&] { ShowDocument(app_->Open(path.toStdString())); });
}

void CMainFrame::OpenFromShell(const QString& path) {
    if (progress_->IsActive()) {
        // An operation lets events through for its progress display: open once it is done.
        QTimer::singleShot(kHandOverRetryMs, this, [this, path] { OpenFromShell(path); });
        return;
    }
    Guarded([&] {
        if (COLMDoc* doc = app_->OpenFromShell(path.toStdString())) ShowDocument(*doc);
    });
}

bool CMainFrame::CloseDocumentWindow(QMdiSubWindow* window) {
    auto* child = qobject_cast<CChildFrame*>(window->widget());
    if (!child) return true;
    bool closed = false;
    try {
        closed = app_->Close(child->Document());
    } catch (const Error& e) {
        prompter_->Message(e.Message());
    } catch (const Cancelled&) {
    }
    if (!closed) {
        RefreshAll();  // a question may have saved it
        return false;
    }
    // The document is gone: its panes must not draw or tick again.
    window->setWidget(nullptr);
    delete child;
    return true;
}

void CMainFrame::ConfirmLeavingRecording(QMdiSubWindow* window) {
    COLMDoc* recording = app_->audio.Active();
    if (!window || askingAboutRecording_ || !recording ||
        app_->audio.TransportOf(*recording) != Transport::Recording)
        return;
    auto* child = qobject_cast<CChildFrame*>(window->widget());
    if (!child || &child->Document() == recording) return;
    askingAboutRecording_ = true;
    if (prompter_->Ask(Text(StringId::RecordingWillStop), Buttons::OkCancel) == Answer::Ok) {
        app_->audio.Stop(*recording);
    } else if (CChildFrame* back = WindowFor(*recording)) {
        mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(back->parentWidget()));
    }
    askingAboutRecording_ = false;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !app_->AtDocumentLimit()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) OpenSound(url.toLocalFile());
    }
}

}  // namespace pelmora
