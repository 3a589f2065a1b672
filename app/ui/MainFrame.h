#pragma once
// CMainFrame: the MDI main window with its menus, toolbars and status bar. Every command is
// registered once with its handler and its enable and check rules, evaluated when a menu opens
// and on idle.

#include <QMainWindow>
#include <QMdiArea>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "app/Accelerators.h"
#include "app/ApplicationState.h"
#include "app/CommandLine.h"
#include "app/FramePlacement.h"
#include "app/WindowLayout.h"
#include "app/Profile.h"
#include "document/NewDialogModel.h"
#include "app/CommandId.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/StatusBarProgress.h"

class QKeyEvent;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace pelmora {

class CChildFrame;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    ApplicationState& App() { return *app_; }
    // Opens a sound in a document window (or brings its window forward); shows failures.
    void OpenSound(const QString& path);
    // A file from the shell or a second instance: refused with one message at the limit.
    void OpenFromShell(const QString& path);
    // The working directory confirmed with the folder browser and the clip file made there,
    // then the unsaved documents of runs that ended without closing offered for recovery;
    // once per run, at the first idle moment.
    void ConfirmWorkingDirectory();
    // Runs a command as its menu item would; false when it is disabled.
    bool Run(CommandId id);
    bool IsEnabled(CommandId id);
    CChildFrame* ActiveChild() const;
    // The audio engine's notices: a run started or ended, the play cursor moved.
    void TransportChanged(COLMDoc& doc, bool ended);
    void PlayCursorMoved(COLMDoc& doc);
    // The command line of the first instance: its switches set, then its file opened.
    void ApplyCommandLine(const CommandLine& commandLine);
    // The profile's settings of the frame: the "New" section, the frame's placement and the
    // toolbars' state.
    void LoadSettings(const Profile& profile);
    void SaveSettings(Profile& profile) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Command {
        QAction* action = nullptr;
        std::function<void()> run;
        std::function<bool()> enabled;
        std::function<bool()> checked;
    };

    QAction* Register(CommandId id, const QString& text, const QKeySequence& shortcut,
                      std::function<void()> run, std::function<bool()> enabled = {},
                      std::function<bool()> checked = {});
    // The menus' commands: File (FileCommands.cpp), Edit (EditCommands.cpp), Options and Help.
    void BuildCommands();
    void BuildFileCommands();
    void BuildEditCommands();
    // The View menu's commands and the menu itself (ViewCommands.cpp).
    void BuildViewCommands();
    void BuildViewMenu(QMenu* view);
    // The File menu's whole-file conversions and Resample (ConversionCommands.cpp).
    void BuildConversionCommands();
    void BuildMenus();
    // The window, transport and toolbar commands, and the toolbars (MainFrameShell.cpp).
    void BuildShellCommands();
    void BuildToolbars();
    // The Transport commands, the engine's messages and the device dialog (TransportCommands.cpp).
    void BuildTransportCommands();
    void ConnectTransport(CChildFrame& child);
    void ShowDeviceNames(CChildFrame& child);
    bool SoundRuns() const;
    // The shortcut records at work: "Preferences...", the accelerator table made from the records,
    // the menu texts with their shortcuts, and the key presses the table takes (ShortcutCommands.cpp).
    void BuildShortcutCommands();
    void ApplyShortcuts();
    void RefreshMenuTexts();
    bool TranslateAccelerator(QObject* watched, QKeyEvent* event);
    // Activating another window while a recording runs asks whether to stop it.
    void ConfirmLeavingRecording(QMdiSubWindow* window);
    void ListWindows(QMenu& windowMenu);
    // The recently opened sounds, numbered, above `before` in the File menu.
    void BuildRecentFileItems(QMenu& fileMenu, QAction* before);
    void ShowRecentFiles();
    void Tile(TileDirection direction);
    void ArrangeIcons();
    FramePlacement CurrentPlacement() const;
    void RestoreFrame(const Profile& profile);
    void SaveFrame(Profile& profile) const;
    void BuildStatusBar();
    void UpdateCommands();
    // "Pelmora - x.wav" for the active document ("Pelmora - [x.wav]" while it is maximised, as
    // the MDI area writes it), "Pelmora" without one (MainFrameShell.cpp).
    void UpdateMainTitle();
    // The keyboard back to the active document window, once no dialog or menu holds it.
    void FocusActiveDocument();
    COLMDoc* ActiveDocument() const;
    // The document windows (DocumentWindows.cpp).
    CChildFrame* WindowFor(COLMDoc& doc);
    void ShowDocument(COLMDoc& doc);
    void RefreshAll();
    // Runs a document command: failures are shown, and the panes redrawn afterwards.
    void Guarded(const std::function<void()>& body);
    // A command's handler that runs `op` on the active document, guarded.
    std::function<void()> OnActiveDocument(void (*op)(COLMDoc&, CMainFrame&));
    bool CloseDocumentWindow(QMdiSubWindow* window);

    QMdiArea* mdi_ = nullptr;
    std::unique_ptr<QtPrompter> prompter_;
    std::unique_ptr<StatusBarProgress> progress_;
    std::unique_ptr<ApplicationState> app_;
    std::map<CommandId, Command> commands_;
    NewDialogModel newModel_;
    QTimer idle_;
    bool closingWindow_ = false;
    std::unique_ptr<TransportView> transportView_;
    bool askingAboutRecording_ = false;
    std::map<CommandId, QToolBar*> toolbarOf_;  // by its visibility command
    std::vector<QAction*> recentItems_;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> windowList_;                // the Window menu's open windows
    AcceleratorTable accelerators_;
};

}  // namespace pelmora
