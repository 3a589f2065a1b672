// The main frame: command registration and enabling, settings, menus, and the frame's events.

#include "app/ui/MainFrame.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

#include "app/ShortcutProfile.h"
#include "app/TransportLock.h"
#include "app/ui/WorkingDirBrowser.h"
#include "base/Error.h"
#include "base/ui/Translate.h"
#include "display/DocumentWaveform.h"
#include "display/ui/ChildFrame.h"
#include "document/ui/SaveAsDialog.h"

namespace pelmora {

namespace {

constexpr int kIdleMs = 250;

}  // namespace

CMainFrame::CMainFrame() {
    setWindowTitle(QStringLiteral("Pelmora"));
    setAcceptDrops(true);
    // Keys typed into an edit field are the field's, not the shortcuts'.
    qApp->installEventFilter(this);
    mdi_ = new QMdiArea(this);
    setCentralWidget(mdi_);
    prompter_ = std::make_unique<QtPrompter>(this);
    progress_ = std::make_unique<StatusBarProgress>(statusBar());
    app_ = std::make_unique<ApplicationState>(
        *prompter_, *progress_, [this](const COLMDoc& doc) { return ChooseSaveAsPath(this, doc); });
    app_->LoadAspiManager();
    BuildCommands();
    BuildViewCommands();
    BuildConversionCommands();
    BuildShellCommands();
    BuildShortcutCommands();
    BuildMenus();
    BuildToolbars();
    BuildStatusBar();
    ApplyShortcuts();
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, [this] { RefreshMenuTexts(); });
    connect(&idle_, &QTimer::timeout, this, [this] {
        UpdateCommands();
        // Loop points set in the panes change no command; the manifest keeps up here. It is
        // rewritten only when its text changes.
        if (!progress_->IsActive()) app_->RefreshManifest();
    });
    idle_.start(kIdleMs);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        ConfirmLeavingRecording(window);
        if (auto* child = window ? qobject_cast<CChildFrame*>(window->widget()) : nullptr)
            app_->Activate(child->Document());
        UpdateCommands();
    });
    resize(1000, 700);
}

CMainFrame::~CMainFrame() {
    idle_.stop();
    app_->audio.SetView(nullptr);
    // Windows first: they refer to the documents the application state owns. Quitting asked
    // its questions in closeEvent; here the windows just go.
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        window->removeEventFilter(this);
        delete window;
    }
}

QAction* CMainFrame::Register(CommandId id, const QString& text, const QKeySequence& shortcut,
                              std::function<void()> run, std::function<bool()> enabled,
                              std::function<bool()> checked) {
    auto* action = new QAction(text, this);
    // A command with a shortcut record takes its key from the records, through the frame's
    // accelerator table; the others keep the shortcut given here.
    if (!FindShortcut(DefaultShortcuts(), id)) action->setShortcut(shortcut);
    addAction(action);  // its shortcut works whether or not a menu or toolbar shows it
    action->setCheckable(static_cast<bool>(checked));
    connect(action, &QAction::triggered, this, [this, id] { Run(id); });
    commands_[id] = Command{action, std::move(run), std::move(enabled), std::move(checked)};
    return action;
}

bool CMainFrame::IsEnabled(CommandId id) {
    auto it = commands_.find(id);
    if (SoundRuns() && RefusedWhileSoundRuns(id)) return false;
    return it != commands_.end() && (!it->second.enabled || it->second.enabled());
}

bool CMainFrame::Run(CommandId id) {
    if (!IsEnabled(id)) return false;
    commands_[id].run();
    UpdateCommands();
    return true;
}

void CMainFrame::UpdateCommands() {
    for (auto& [id, command] : commands_) {
        command.action->setEnabled(IsEnabled(id));
        if (command.checked) command.action->setChecked(command.checked());
    }
    if (COLMDoc* doc = ActiveDocument()) {
        // The shortcut after the tab stays.
        auto setText = [this](CommandId id, const QString& text) {
            QAction* action = commands_[id].action;
            const qsizetype tab = action->text().indexOf(QLatin1Char('\t'));
            action->setText(tab < 0 ? text : text + action->text().mid(tab));
        };
        setText(CommandId::Undo, Tr(Text(doc->Undo().NextIsRedo() ? StringId::Redo : StringId::Undo)));
        DocumentWaveform* waveform = WaveformOf(*doc);
        setText(CommandId::Waveform, Tr(waveform && !waveform->Image().waveformShown ? "Show Waveform" : "Hide Waveform"));
        setText(CommandId::Overview, Tr(doc->view.overviewShown ? "Hide Overview" : "Show Overview"));
    }
    UpdateMainTitle();
}

COLMDoc* CMainFrame::ActiveDocument() const {
    CChildFrame* child = ActiveChild();
    return child ? &child->Document() : nullptr;
}

CChildFrame* CMainFrame::ActiveChild() const {
    QMdiSubWindow* window = mdi_->activeSubWindow();
    return window ? qobject_cast<CChildFrame*>(window->widget()) : nullptr;
}

std::function<void()> CMainFrame::OnActiveDocument(void (*op)(COLMDoc&, CMainFrame&)) {
    return [this, op] {
        if (COLMDoc* d = ActiveDocument()) Guarded([&] { op(*d, *this); });
    };
}

void CMainFrame::Guarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const Error& e) {
        prompter_->Message(e.Message());
    } catch (const Cancelled&) {
    } catch (const std::bad_alloc&) {
        prompter_->Message(Text(StringId::MemoryError));
    }
    app_->RefreshManifest();
    RefreshAll();
}

void CMainFrame::RefreshAll() {
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        if (auto* child = qobject_cast<CChildFrame*>(window->widget())) {
            child->Refresh();
            window->setWindowTitle(child->windowTitle());
        }
    }
}

void CMainFrame::BuildCommands() {
    BuildFileCommands();
    BuildEditCommands();

    // Enabled while no sound plays or records.
    Register(CommandId::RescanScsi, Tr(Text(StringId::RescanScsi)), QKeySequence(), [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        app_->RescanScsi();
        QApplication::restoreOverrideCursor();
    });
    Register(CommandId::SelectWorkingDir, Tr(Text(StringId::SelectWorkingDir)), QKeySequence(), [this] {
        Guarded([&] {
            app_->SelectWorkingDirectory(
                [this](const std::string& current) { return BrowseWorkingDirectory(this, current); });
        });
    });
    Register(CommandId::FileBackup, Tr("File Backup"), QKeySequence(),
             [this] { app_->fileBackup = !app_->fileBackup; }, {},
             [this] { return app_->fileBackup; });

    Register(CommandId::About, Tr("About Pelmora(&A)..."), QKeySequence(), [this] {
        QMessageBox::about(this, Tr("About Pelmora"),
                           Tr("Pelmora\nA sample editor for hardware samplers."));
    });
}

void CMainFrame::LoadSettings(const Profile& profile) {
    NewDialogSettings settings;
    for (const NewDialogKey& key : kNewDialogKeys)
        settings.*key.field = profile.GetInt(kNewSection, key.name, settings.*key.field);
    newModel_ = NewDialogModel(settings);
    app_->recentFiles.Load(profile);
    app_->soundDevices.Load(profile);
    app_->EnumerateDevices();
    RestoreFrame(profile);
    app_->shortcuts = LoadShortcuts(profile);
    ApplyShortcuts();
}

void CMainFrame::SaveSettings(Profile& profile) const {
    const NewDialogSettings settings = newModel_.Settings();
    for (const NewDialogKey& key : kNewDialogKeys) profile.SetInt(kNewSection, key.name, settings.*key.field);
    app_->recentFiles.Save(profile);
    if (app_->devices.Enumerated()) {
        const DeviceIdPairs ids = app_->devices.SelectedIds();
        app_->soundDevices = {ids.inMid, ids.inPid, ids.outMid, ids.outPid};
    }
    app_->soundDevices.Save(profile);
    SaveFrame(profile);
    SaveShortcuts(app_->shortcuts, profile);
}

void CMainFrame::BuildMenus() {
    auto add = [this](QMenu* menu, std::initializer_list<CommandId> ids) {
        for (CommandId id : ids) {
            if (static_cast<int>(id) == 0) {
                menu->addSeparator();
            } else {
                menu->addAction(commands_[id].action);
            }
        }
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });
    };
    constexpr auto kSeparator = static_cast<CommandId>(0);
    QMenu* file = menuBar()->addMenu(Tr("&File"));
    add(file, {CommandId::New, CommandId::Open, CommandId::Close, CommandId::Save, CommandId::SaveAs, CommandId::Revert,
               kSeparator, CommandId::ConvertBitSize, CommandId::AddChannel, CommandId::DeleteChannel,
               CommandId::SwapChannels, CommandId::FormatConversion, CommandId::Resample,
               kSeparator, CommandId::ImportFromSampler, CommandId::ExportToSampler, kSeparator, CommandId::ImportFromMp3,
               CommandId::ExportToMp3, kSeparator, CommandId::Quit});
    BuildRecentFileItems(*file, commands_[CommandId::Quit].action);
    add(menuBar()->addMenu(Tr("&Edit")),
        {CommandId::Undo, kSeparator, CommandId::Cut, CommandId::Copy, CommandId::Paste,
         CommandId::Insert, CommandId::Clear, CommandId::SelectAll, CommandId::Trim, CommandId::Mix,
         kSeparator, CommandId::Reverse, CommandId::Invert, CommandId::FadeIn, CommandId::FadeOut,
         CommandId::LoopCrossfade, CommandId::Equalizer, CommandId::TimeCompExp, CommandId::PitchShift, kSeparator, CommandId::Gain, CommandId::Normalize,
         CommandId::Silence, CommandId::DcOffset, kSeparator, CommandId::SelectLoop, CommandId::SelectionToLoop,
         CommandId::LoopOn, kSeparator, CommandId::SelectionToNew});
    BuildViewMenu(menuBar()->addMenu(Tr("&View")));
    add(menuBar()->addMenu(Tr("&Transport")), {CommandId::Rewind, CommandId::Stop, CommandId::Play, CommandId::Record,
                                                 CommandId::RegionPlay, kSeparator, CommandId::LoopMode});
    QMenu* options = menuBar()->addMenu(Tr("&Options"));
    add(options, {CommandId::RescanScsi, CommandId::SelectWorkingDir, CommandId::SoundDeviceConfiguration,
                  CommandId::FileBackup, CommandId::Preference});
    add(options->addMenu(Tr("&Toolbars")),
        {CommandId::ToolbarStandard, CommandId::ToolbarTransport, CommandId::ToolbarView});
    QMenu* window = menuBar()->addMenu(Tr("&Window"));
    add(window, {CommandId::Cascade, CommandId::TileHorizontally, CommandId::TileVertically, CommandId::ArrangeIcons,
                 kSeparator, CommandId::MinimizeAll, CommandId::MaximizeAll, CommandId::CloseAll,
                 CommandId::NextWindow});
    connect(window, &QMenu::aboutToShow, this, [this, window] { ListWindows(*window); });
    add(menuBar()->addMenu(Tr("&Help")), {CommandId::About});
}

void CMainFrame::BuildStatusBar() {
    for (const char* indicator : {"", "CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(Tr(indicator), statusBar());
        label->setEnabled(false);
        statusBar()->addPermanentWidget(label);
    }
}

void CMainFrame::ConfirmWorkingDirectory() {
    app_->ConfirmWorkingDirectory(
        [this](const std::string& current) { return BrowseWorkingDirectory(this, current); });
    Guarded([&] {
        app_->CollectLeftovers();
        for (COLMDoc* doc : app_->OfferRecovery()) ShowDocument(*doc);
    });
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && TranslateAccelerator(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::ShortcutOverride &&
        (qobject_cast<QLineEdit*>(watched) || qobject_cast<QAbstractSpinBox*>(watched))) {
        event->accept();
        return false;
    }
    // The MDI area writes its own title for a maximised window; ours follows it at once.
    if (watched == this && event->type() == QEvent::WindowTitleChange)
        QMetaObject::invokeMethod(this, [this] { UpdateMainTitle(); }, Qt::QueuedConnection);
    if (event->type() == QEvent::Hide && qobject_cast<QDialog*>(watched))
        QTimer::singleShot(0, this, [this] { FocusActiveDocument(); });
    if (event->type() == QEvent::Close) {
        if (auto* window = qobject_cast<QMdiSubWindow*>(watched)) {
            if (SoundRuns()) {
                event->ignore();
                return true;
            }
            if (!CloseDocumentWindow(window)) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The frame stays while a sound plays or records.
    if (SoundRuns()) {
        event->ignore();
        return;
    }
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

}  // namespace pelmora
