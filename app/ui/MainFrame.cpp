#include "app/ui/MainFrame.h"

#include "app/ShortcutProfile.h"
#include "app/TransportLock.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QCloseEvent>
#include <QDialog>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>

#include "base/ui/Translate.h"
#include "app/ui/WorkingDirBrowser.h"
#include "base/Error.h"
#include "display/DocumentWaveform.h"
#include "display/ui/ChildFrame.h"
#include "display/ui/PaneWForm.h"
#include "document/LoopFlag.h"
#include "document/NewSoundFile.h"
#include "document/OpenDialogModel.h"
#include "document/ui/NewDialog.h"
#include "document/ui/OpenDialog.h"
#include "document/ui/SaveAsDialog.h"
#include "app/Mp3Documents.h"
#include "app/SamplerDocuments.h"
#include "sampler/ui/SamplerDialog.h"
#include "mp3/Mp3Export.h"
#include "mp3/ui/Mp3InOut.h"
#include "edit/AmplitudeOps.h"
#include "edit/ClipboardOps.h"
#include "edit/DcOffset.h"
#include "edit/Equalizer.h"
#include "edit/PitchShift.h"
#include "edit/TimeCompExp.h"
#include "edit/LoopCrossfade.h"
#include "edit/Reverse.h"
#include "edit/ui/DcOffsetDialog.h"
#include "edit/ui/EqDialog.h"
#include "edit/ui/PitchShiftDialog.h"
#include "edit/ui/TimeCompExpDialog.h"
#include "edit/ui/GainDialog.h"
#include "edit/ui/LoopCrossfadeDialog.h"
#include "edit/ui/NormalizeDialog.h"
#include "edit/Selection.h"

namespace pelmora {

namespace {

constexpr int kIdleMs = 250;
constexpr int kHandOverRetryMs = 250;


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
    connect(&idle_, &QTimer::timeout, this, [this] { UpdateCommands(); });
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
    auto hasDoc = [this] { return ActiveDocument() != nullptr; };
    auto hasSelection = [this] {
        COLMDoc* d = ActiveDocument();
        return d && d->selectionEnd > d->selectionStart;
    };
    auto hasClip = [this] { return ActiveDocument() && app_->GetClip().info.valid; };
    auto canOpen = [this] { return !app_->AtDocumentLimit(); };
    auto withDoc = [this](void (*op)(COLMDoc&, CMainFrame&)) {
        return [this, op] {
            if (COLMDoc* d = ActiveDocument()) Guarded([&] { op(*d, *this); });
        };
    };

    Register(CommandId::New, Tr("New(&N)..."), QKeySequence(), [this] {
        NewDialog dialog(newModel_, app_->WorkDir(), *prompter_, this);
        if (dialog.exec() != QDialog::Accepted) return;
        Guarded([&] {
            const std::string made = CreateNewSoundFile(newModel_.Request(), app_->WorkDir(), *progress_);
            ShowDocument(app_->OpenMadeFile(made));
        });
    }, canOpen);
    Register(CommandId::Open, Tr("Open(&O)..."), QKeySequence(), [this] {
        const QString path = OpenDialog::ChooseSoundFile(this);
        if (path.isEmpty()) return;
        Guarded([&] {
            CheckChosenSoundFile(path.toStdString());
            ShowDocument(app_->Open(path.toStdString()));
        });
    }, canOpen);
    Register(CommandId::Close, Tr("Close"), QKeySequence(), [this] {
        if (QMdiSubWindow* window = mdi_->activeSubWindow()) window->close();
    }, hasDoc);
    Register(CommandId::Save, Tr("Save"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { d.Save(); }),
             [this] { COLMDoc* d = ActiveDocument(); return d && d->CanSave(); });
    Register(CommandId::SaveAs, Tr("Save As..."), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { d.SaveAs(); }), hasDoc);
    Register(CommandId::Revert, Tr("Revert"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { d.Revert(); }),
             [this] { COLMDoc* d = ActiveDocument(); return d && d->CanRevert(); });
    Register(CommandId::ImportFromMp3, Tr("Import From MP3 File..."), QKeySequence(), [this] {
        const QString path = CMP3InOut::ChooseImportFile(this);
        if (path.isEmpty()) return;
        Guarded([&] { ShowDocument(ImportMp3(*app_, path.toStdString())); });
    }, canOpen);
    Register(CommandId::ExportToMp3, Tr("Export To MP3 File..."), QKeySequence(), [this] {
        COLMDoc* doc = ActiveDocument();
        if (!doc) return;
        CMP3InOut dialog(*doc, *prompter_, this);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
        const std::string path = dialog.selectedFiles().constFirst().toStdString();
        const Mp3ExportChoice choice = dialog.Options().Choice();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Guarded([&] { ExportMp3(*doc, path, choice); });
        QApplication::restoreOverrideCursor();
    }, hasDoc);
    Register(CommandId::ImportFromSampler, Tr(Text(StringId::ImportFromSampler)), QKeySequence(), [this] {
        Guarded([&] {
            const auto run = [this](smdi::SamplerDialogModel& model) { return CSamplerDlg::Run(model, this); };
            if (COLMDoc* doc = ImportFromSampler(*app_, run)) ShowDocument(*doc);
        });
    }, [this] { return ImportFromSamplerEnabled(*app_); });
    Register(CommandId::ExportToSampler, Tr(Text(StringId::ExportToSampler)), QKeySequence(), [this] {
        Guarded([&] {
            ExportToSampler(*app_, [this](smdi::SamplerDialogModel& model) { return CSamplerDlg::Run(model, this); });
        });
    }, [this] { return ExportToSamplerEnabled(*app_); });
    Register(CommandId::Quit, Tr("Quit(&X)"), QKeySequence(), [this] { close(); });

    Register(CommandId::Undo, Tr("Undo"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { d.Undo().UndoOrRedo(d); }),
             [this] { COLMDoc* d = ActiveDocument(); return d && d->Undo().Enabled(); });
    Register(CommandId::Cut, Tr("Cut"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame& f) { Cut(d, f.App().GetClip()); }), hasSelection);
    Register(CommandId::Copy, Tr("Copy"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame& f) { Copy(d, f.App().GetClip()); }), hasSelection);
    Register(CommandId::Paste, Tr("Paste"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame& f) { Paste(d, f.App().GetClip()); }), hasClip);
    Register(CommandId::Insert, Tr("Insert"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame& f) { Insert(d, f.App().GetClip()); }), hasClip);
    Register(CommandId::Clear, Tr("Clear"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { Clear(d); }), hasSelection);
    Register(CommandId::SelectAll, Tr("Select All"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { SelectAll(d); }), hasDoc);
    Register(CommandId::Trim, Tr("Trim"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { Trim(d); }), hasSelection);
    Register(CommandId::Mix, Tr("Mix"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame& f) { Mix(d, f.App().GetClip()); }), hasClip);
    Register(CommandId::SelectionToNew, Tr("Selection to New"), QKeySequence(), [this] {
        if (COLMDoc* d = ActiveDocument()) {
            Guarded([&] {
                COLMDoc& made = app_->OpenMadeFile(SelectionToNew(*d));
                ShowDocument(made);
            });
        }
    }, hasSelection);
    Register(CommandId::Gain, Tr("Gain..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        GainDialog dialog(app_->effectDialogs.gain, this);
        if (d && dialog.exec() == QDialog::Accepted && dialog.Rate())
            Guarded([&] { Gain(*d, *dialog.Rate()); });
    }, hasSelection);
    Register(CommandId::Normalize, Tr("Normalize..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        NormalizeDialog dialog(app_->effectDialogs.normalize, this);
        if (d && dialog.exec() == QDialog::Accepted)
            Guarded([&] { Normalize(*d, app_->effectDialogs.normalize.Rate()); });
    }, hasSelection);
    Register(CommandId::DcOffset, Tr("DC Offset..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        DcOffsetDialogModel& model = app_->effectDialogs.dcOffset;
        DcOffsetDialog dialog(model, this);
        if (d && dialog.exec() == QDialog::Accepted) Guarded([&] { DcOffset(*d, model.Mode(), model.Value()); });
    }, hasSelection);
    Register(CommandId::LoopCrossfade, Tr("Loop Crossfade..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        if (!d) return;
        CrossfadeDialogModel& model = app_->effectDialogs.crossfade;
        model.Open(d->Info());
        LoopCrossfadeDialog dialog(model, this);
        if (dialog.exec() != QDialog::Accepted) return;
        Guarded([&] {
            LoopCrossfade(*d, model.Type(), model.SustainPercent(), model.ReleasePercent(), model.Curve());
        });
    }, [this] { COLMDoc* d = ActiveDocument(); return d && d->Info().loopEnd != d->Info().loopStart; });
    Register(CommandId::Equalizer, Tr("EQ..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        if (!d) return;
        EqDialogModel& model = app_->effectDialogs.eq;
        model.Open(d->Info().sampleRate);
        EqDialog dialog(model, this);
        if (dialog.exec() == QDialog::Accepted) Guarded([&] { Equalize(*d, model.Bands()); });
    }, hasSelection);
    Register(CommandId::TimeCompExp, Tr("Time Comp/Exp..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        if (!d || !TimeCompExpApplies(*d)) return;
        TimeDialogModel& model = app_->effectDialogs.time;
        TimeCompExpDialog dialog(model, d->selectionEnd - d->selectionStart, this);
        if (dialog.exec() == QDialog::Accepted) Guarded([&] { TimeCompExp(*d, model.Modified()); });
    }, [this] { COLMDoc* d = ActiveDocument(); return d && TimeCompExpApplies(*d); });
    Register(CommandId::PitchShift, Tr("Pitch Shift..."), QKeySequence(), [this] {
        COLMDoc* d = ActiveDocument();
        if (!d) return;
        PitchDialogModel& model = app_->effectDialogs.pitch;
        PitchShiftDialog dialog(model, this);
        if (dialog.exec() == QDialog::Accepted) Guarded([&] { PitchShift(*d, model.Rate()); });
    }, hasSelection);
    Register(CommandId::FadeIn, Tr("Fade In"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { FadeIn(d); }), hasSelection);
    Register(CommandId::FadeOut, Tr("Fade Out"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { FadeOut(d); }), hasSelection);
    Register(CommandId::Invert, Tr("Invert"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { Invert(d); }), hasSelection);
    Register(CommandId::Reverse, Tr("Reverse"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { Reverse(d); }), hasSelection);
    Register(CommandId::Silence, Tr("Silence"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { Silence(d); }), hasSelection);
    auto hasLoop = [this] { COLMDoc* d = ActiveDocument(); return d && LoopFlagApplies(d->Info()); };
    Register(CommandId::SelectLoop, Tr("Select Loop"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { SelectLoop(d); }), hasLoop);
    Register(CommandId::SelectionToLoop, Tr("Select to Loop"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { SelectionToLoop(d); }), hasDoc);
    Register(CommandId::LoopOn, Tr("Loop On"), QKeySequence(),
             withDoc([](COLMDoc& d, CMainFrame&) { ToggleLoopOn(d.Info()); }), hasLoop,
             [this] { COLMDoc* d = ActiveDocument(); return d && LoopFlagApplies(d->Info()) && d->Info().loopOn; });

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

void CMainFrame::ConfirmWorkingDirectory() {
    app_->ConfirmWorkingDirectory(
        [this](const std::string& current) { return BrowseWorkingDirectory(this, current); });
    Guarded([&] {
        app_->CollectLeftovers();
        for (COLMDoc* doc : app_->OfferRecovery()) ShowDocument(*doc);
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

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !app_->AtDocumentLimit()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) OpenSound(url.toLocalFile());
    }
}

}  // namespace pelmora
