// The main frame's shell: toolbars, window commands, the frame's placement, the command line.

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QToolBar>
#include <vector>

#include "base/ui/Translate.h"
#include "app/MenuText.h"
#include "display/ui/ChildFrame.h"
#include "display/ui/PaneWForm.h"
#include "app/ui/MainFrame.h"

namespace pelmora {

namespace {


constexpr auto kSeparator = static_cast<CommandId>(0);

struct ToolbarButton {
    CommandId id;
    const char* icon;  // under ":/icons"
};

struct ToolbarLayout {
    const char* caption;
    CommandId visibility;
    std::vector<ToolbarButton> buttons;
};

const ToolbarLayout kToolbars[] = {
    {"Standard",
     CommandId::ToolbarStandard,
     {{CommandId::New, "new"},
      {CommandId::Open, "open"},
      {CommandId::Save, "save"},
      {kSeparator, nullptr},
      {CommandId::Cut, "cut"},
      {CommandId::Copy, "copy"},
      {CommandId::Paste, "paste"},
      {kSeparator, nullptr},
      {CommandId::About, "about"}}},
    {"Transport",
     CommandId::ToolbarTransport,
     {{CommandId::Rewind, "rewind"},
      {CommandId::Stop, "stop"},
      {CommandId::Play, "play"},
      {CommandId::Record, "record"},
      {kSeparator, nullptr},
      {CommandId::RegionPlay, "regionplay"}}},
    {"View",
     CommandId::ToolbarView,
     {{CommandId::Overview, "overview"},
      {CommandId::Waveform, "waveform"},
      {CommandId::LevelRulerShowHide, "levelruler"},
      {CommandId::TimeRulerShowHide, "timeruler"}}},
};

FrameRect ToFrameRect(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

QRect ToQRect(const FrameRect& rect) { return {rect.x, rect.y, rect.cx, rect.cy}; }

}  // namespace

void CMainFrame::BuildShellCommands() {
    auto hasDoc = [this] { return ActiveDocument() != nullptr; };

    BuildTransportCommands();

    for (const ToolbarLayout& layout : kToolbars) {
        const CommandId id = layout.visibility;
        Register(id, Tr(layout.caption), QKeySequence(), [this, id] {
            if (QToolBar* bar = toolbarOf_[id]) bar->setVisible(bar->isHidden());
        }, {}, [this, id] { return toolbarOf_[id] && !toolbarOf_[id]->isHidden(); });
    }

    Register(CommandId::Cascade, Tr("Cascade"), QKeySequence(), [this] { mdi_->cascadeSubWindows(); }, hasDoc);
    Register(CommandId::TileHorizontally, Tr("Tile Horizontally"), QKeySequence(),
             [this] { Tile(TileDirection::Horizontally); }, hasDoc);
    Register(CommandId::TileVertically, Tr("Tile Vertically"), QKeySequence(),
             [this] { Tile(TileDirection::Vertically); }, hasDoc);
    Register(CommandId::ArrangeIcons, Tr("Arrange Icons"), QKeySequence(), [this] { ArrangeIcons(); }, hasDoc);
    Register(CommandId::MinimizeAll, Tr("Minimize All"), QKeySequence(), [this] {
        for (QMdiSubWindow* w : mdi_->subWindowList()) w->showMinimized();
    }, hasDoc);
    Register(CommandId::MaximizeAll, Tr("Maximize All"), QKeySequence(), [this] {
        QMdiSubWindow* active = mdi_->activeSubWindow();
        if (!active || active->isMaximized()) return;
        for (QMdiSubWindow* w : mdi_->subWindowList()) w->showNormal();
        active->showMaximized();
    }, hasDoc);
    Register(CommandId::CloseAll, Tr("Close All(&L)"), QKeySequence(), [this] {
        for (QMdiSubWindow* w : mdi_->subWindowList()) {
            if (!w->close()) break;
        }
    });
    Register(CommandId::NextWindow, Tr("Next Window"), QKeySequence(),
             [this] { mdi_->activateNextSubWindow(); }, hasDoc);
}

void CMainFrame::BuildToolbars() {
    for (const ToolbarLayout& layout : kToolbars) {
        QToolBar* bar = addToolBar(Tr(layout.caption));
        bar->setObjectName(QString::fromLatin1(layout.caption));  // names the bar in the saved state
        toolbarOf_[layout.visibility] = bar;
        for (const ToolbarButton& button : layout.buttons) {
            if (button.id == kSeparator) {
                bar->addSeparator();
                continue;
            }
            // A command registered later gets its button then.
            auto found = commands_.find(button.id);
            if (found == commands_.end()) continue;
            QAction* action = found->second.action;
            action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(button.icon))));
            // The tip follows the text, which some commands change ("Hide Overview").
            auto setTip = [action] {
                const QString tip = QString::fromStdString(ToolTipText(action->text().toStdString()));
                action->setToolTip(tip);
                action->setStatusTip(tip);
            };
            setTip();
            connect(action, &QAction::changed, action, setTip);
            bar->addAction(action);
        }
    }
}

void CMainFrame::BuildRecentFileItems(QMenu& fileMenu, QAction* before) {
    for (std::size_t i = 0; i < kRecentFiles; ++i) {
        auto* item = new QAction(&fileMenu);
        connect(item, &QAction::triggered, this, [this, i] {
            const std::vector<std::string>& paths = app_->recentFiles.Paths();
            if (i < paths.size()) OpenSound(QString::fromStdString(paths[i]));
        });
        fileMenu.insertAction(before, item);
        recentItems_.push_back(item);
    }
    recentSeparator_ = fileMenu.insertSeparator(before);
    connect(&fileMenu, &QMenu::aboutToShow, this, &CMainFrame::ShowRecentFiles);
    ShowRecentFiles();
}

void CMainFrame::ShowRecentFiles() {
    const std::vector<std::string>& paths = app_->recentFiles.Paths();
    for (std::size_t i = 0; i < recentItems_.size(); ++i) {
        recentItems_[i]->setVisible(i < paths.size());
        if (i < paths.size())
            recentItems_[i]->setText(QStringLiteral("&%1 ").arg(i + 1) + QString::fromStdString(paths[i]));
        recentItems_[i]->setEnabled(!app_->AtDocumentLimit());
    }
    recentSeparator_->setVisible(!paths.empty());
}

void CMainFrame::ListWindows(QMenu& windowMenu) {
    qDeleteAll(windowList_);
    windowList_.clear();
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (windows.isEmpty()) return;
    windowList_ << windowMenu.addSeparator();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QString::number(i + 1);
        QAction* item = windowMenu.addAction(number + QLatin1Char(' ') + window->windowTitle());
        item->setCheckable(true);
        item->setChecked(window == mdi_->activeSubWindow());
        connect(item, &QAction::triggered, this, [this, window] { mdi_->setActiveSubWindow(window); });
        windowList_ << item;
    }
}

void CMainFrame::Tile(TileDirection direction) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        if (w->isMinimized()) continue;
        if (w->isMaximized()) w->showNormal();
        windows << w;
    }
    const std::vector<FrameRect> rects =
        TileRects(ToFrameRect(mdi_->viewport()->rect()), static_cast<int>(windows.size()), direction);
    for (std::size_t i = 0; i < rects.size(); ++i) windows[static_cast<qsizetype>(i)]->setGeometry(ToQRect(rects[i]));
}

void CMainFrame::ArrangeIcons() {
    QList<QMdiSubWindow*> icons;
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        if (w->isMinimized()) icons << w;
    }
    if (icons.isEmpty()) return;
    const QSize size = icons.front()->size();
    const std::vector<FrameRect> rects = IconRects(ToFrameRect(mdi_->viewport()->rect()),
                                                   static_cast<int>(icons.size()), size.width(), size.height());
    for (std::size_t i = 0; i < rects.size(); ++i) icons[static_cast<qsizetype>(i)]->move(rects[i].x, rects[i].y);
}

FramePlacement CMainFrame::CurrentPlacement() const {
    FramePlacement placement;
    const bool normal = !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    placement.rect = ToFrameRect(normal ? geometry() : normalGeometry());
    placement.state = isMinimized() ? kShowMinimized : isMaximized() ? kShowMaximized : kShowNormal;
    return placement;
}

void CMainFrame::RestoreFrame(const Profile& profile) {
    restoreState(QByteArray::fromBase64(QByteArray::fromStdString(LoadBarState(profile))));
    if (!HasStoredPlacement(profile)) return;
    const FramePlacement stored =
        LoadPlacement(profile, CurrentPlacement(), ToFrameRect(screen()->availableGeometry()));
    setGeometry(ToQRect(stored.rect));
    if (stored.state == kShowMaximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::SaveFrame(Profile& profile) const {
    SaveBarState(profile, saveState().toBase64().toStdString());
    SavePlacement(profile, CurrentPlacement());
}

void CMainFrame::ApplyCommandLine(const CommandLine& commandLine) {
    if (!commandLine.fileBackup) app_->fileBackup = false;
    if (commandLine.displayFlag) app_->displayFlag = true;
    if (commandLine.devices) {
        app_->EnumerateDevices();
        app_->devices.SelectByNames(commandLine.devices->input, commandLine.devices->output);
    }
    if (commandLine.file.empty()) return;
    const QFileInfo file(QString::fromStdString(commandLine.file));
    OpenSound(file.exists() ? file.canonicalFilePath() : file.absoluteFilePath());
}

void CMainFrame::UpdateMainTitle() {
    QString title = QStringLiteral("Pelmora");
    if (QMdiSubWindow* window = mdi_->activeSubWindow()) {
        const QString document = window->windowTitle();
        title += window->isMaximized() ? QStringLiteral(" - [%1]").arg(document) : QStringLiteral(" - ") + document;
    }
    if (windowTitle() != title) setWindowTitle(title);
}

void CMainFrame::FocusActiveDocument() {
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
    CChildFrame* child = ActiveChild();
    if (!child) return;
    QWidget* focus = QApplication::focusWidget();
    if (focus && child->isAncestorOf(focus)) return;
    activateWindow();
    child->WaveformPane()->setFocus(Qt::OtherFocusReason);
}

}  // namespace pelmora
