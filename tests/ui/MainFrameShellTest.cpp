// The main frame's shell: toolbars, placement in the profile, window commands, command line.

#include <gtest/gtest.h>

#include <QPointer>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <QToolBar>

#include "app/ui/MainFrame.h"
#include "display/ui/ChildFrame.h"
#include "support/EmulatorSupport.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

std::string MakeTone(const TempDir& dir, const std::string& name) {
    const std::string path = dir.File(name);
    const std::string command = "sox -n -r 8000 -b 16 -c 1 -t wavpcm '" + path + "' synth 0.2 sine 300 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return path;
}

QToolBar* Toolbar(CMainFrame& frame, const char* caption) {
    for (QToolBar* bar : frame.findChildren<QToolBar*>()) {
        if (bar->windowTitle() == QLatin1String(caption)) return bar;
    }
    return nullptr;
}

// The toolbar's buttons as their tool tips, separators as "|".
QStringList ButtonTips(QToolBar* bar) {
    QStringList names;
    for (QAction* action : bar->actions()) names << (action->isSeparator() ? QStringLiteral("|") : action->toolTip());
    return names;
}

// True when the icon draws something at toolbar size: the SVG made it through the resource and
// the image plugin.
bool Draws(const QIcon& icon) {
    const QImage image = icon.pixmap(16, 16).toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() > 0) return true;
        }
    }
    return false;
}

QMenu* MenuNamed(CMainFrame& frame, const QString& title) {
    for (QAction* action : frame.menuBar()->actions()) {
        if (action->menu() && action->text() == title) return action->menu();
    }
    return nullptr;
}

class MainFrameWithDocuments : public ::testing::Test {
protected:
    MainFrameWithDocuments() {
        frame.App().SetWorkDirAtStartup(dir.Path());
        EXPECT_TRUE(frame.App().CreateClipFile());
        frame.resize(900, 600);
        frame.show();
    }

    TempDir dir;
    CMainFrame frame;
};

}  // namespace

TEST(MainFrameShell, ThreeToolbarsInOneRowWithTheirButtonsIconsAndTips) {
    CMainFrame frame;
    frame.show();
    QToolBar* standard = Toolbar(frame, "Standard");
    QToolBar* transport = Toolbar(frame, "Transport");
    QToolBar* view = Toolbar(frame, "View");
    ASSERT_TRUE(standard && transport && view);
    for (QToolBar* bar : {standard, transport, view}) {
        EXPECT_EQ(frame.toolBarArea(bar), Qt::TopToolBarArea);
        EXPECT_FALSE(frame.toolBarBreak(bar));
        EXPECT_EQ(bar->y(), standard->y());
        for (QAction* action : bar->actions()) {
            if (!action->isSeparator()) {
                EXPECT_TRUE(Draws(action->icon())) << action->toolTip().toStdString();
            }
        }
    }
    EXPECT_LT(standard->x(), transport->x());
    EXPECT_LT(transport->x(), view->x());

    EXPECT_EQ(ButtonTips(standard), QStringList({"New", "Open", "Save", "|", "Cut", "Copy", "Paste", "|", "About Pelmora"}));
    EXPECT_EQ(ButtonTips(transport), QStringList({"Rewind", "Stop", "Play", "Record", "|", "RegionPlay"}));
    // The view commands come with the panes; whichever exist stand in this order.
    const QStringList viewOrder = {"Overview", "Waveform", "Level Ruler", "Time Ruler"};
    qsizetype last = -1;
    for (const QString& tip : ButtonTips(view)) {
        qsizetype at = viewOrder.size();
        while (at > 0 && !tip.contains(viewOrder[at - 1])) --at;
        EXPECT_GT(at - 1, last) << tip.toStdString();
        last = at - 1;
    }

    // No engine plays yet: the transport is disabled and Play and Record stay unpressed.
    for (CommandId id : {CommandId::Rewind, CommandId::Stop, CommandId::Play, CommandId::Record, CommandId::RegionPlay})
        EXPECT_FALSE(frame.IsEnabled(id));
    EXPECT_FALSE(transport->actions()[2]->isChecked());

    EXPECT_TRUE(frame.Run(CommandId::ToolbarTransport));
    EXPECT_TRUE(transport->isHidden());
    EXPECT_FALSE(standard->isHidden());
    EXPECT_TRUE(frame.Run(CommandId::ToolbarTransport));
    EXPECT_FALSE(transport->isHidden());
}

TEST(MainFrameShell, PlacementAndBarsAreSavedAndRestoredThroughTheProfile) {
    TempDir dir;
    const std::string path = dir.File("Pelmora.ini");
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    {
        CMainFrame frame;
        Profile profile(path);
        frame.LoadSettings(profile);  // nothing stored: the frame stays as made
        EXPECT_EQ(frame.size(), QSize(1000, 700));
        frame.show();
        frame.setGeometry(desktop.x() + 20, desktop.y() + 30, 400, 300);
        frame.Run(CommandId::ToolbarView);
        frame.SaveSettings(profile);
        ASSERT_TRUE(profile.Save());
    }
    {
        Profile profile(path);
        profile.Load();
        EXPECT_EQ(profile.GetInt("OLM MainFrame", "cx", 0), 400);
        EXPECT_EQ(profile.GetInt("OLM MainFrame", "State", 0), 1);
        CMainFrame frame;
        frame.LoadSettings(profile);
        frame.show();
        EXPECT_EQ(frame.geometry(), QRect(desktop.x() + 20, desktop.y() + 30, 400, 300));
        EXPECT_TRUE(Toolbar(frame, "View")->isHidden());
        EXPECT_FALSE(Toolbar(frame, "Standard")->isHidden());

        // Maximised at close: maximised again, and the normal rectangle kept.
        frame.showMaximized();
        frame.SaveSettings(profile);
        EXPECT_EQ(profile.GetInt("OLM MainFrame", "State", 0), 3);
        EXPECT_EQ(profile.GetInt("OLM MainFrame", "cx", 0), 400);
        CMainFrame maximised;
        maximised.LoadSettings(profile);
        maximised.show();
        EXPECT_TRUE(maximised.isMaximized());
    }
}

TEST_F(MainFrameWithDocuments, WindowCommandsOnTwoDocuments) {
    EXPECT_FALSE(frame.IsEnabled(CommandId::MinimizeAll));  // no document yet
    EXPECT_FALSE(frame.IsEnabled(CommandId::NextWindow));
    frame.OpenSound(QString::fromStdString(MakeTone(dir, "one.wav")));
    frame.OpenSound(QString::fromStdString(MakeTone(dir, "two.wav")));
    auto* mdi = qobject_cast<QMdiArea*>(frame.centralWidget());
    ASSERT_NE(mdi, nullptr);
    const QList<QMdiSubWindow*> windows = mdi->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(mdi->activeSubWindow(), windows[1]);

    EXPECT_TRUE(frame.Run(CommandId::NextWindow));
    EXPECT_EQ(mdi->activeSubWindow(), windows[0]);
    EXPECT_EQ(&frame.ActiveChild()->Document(), frame.App().Current());

    EXPECT_TRUE(frame.Run(CommandId::MinimizeAll));
    EXPECT_TRUE(windows[0]->isMinimized());
    EXPECT_TRUE(windows[1]->isMinimized());

    // Maximize All: every frame restored, then the active one maximised.
    mdi->setActiveSubWindow(windows[1]);
    EXPECT_TRUE(frame.Run(CommandId::MaximizeAll));
    EXPECT_TRUE(windows[1]->isMaximized());
    EXPECT_FALSE(windows[0]->isMinimized());
    EXPECT_FALSE(windows[0]->isMaximized());

    // The Window menu ends with the open windows, the active one checked.
    QMenu* menu = MenuNamed(frame, "&Window");
    ASSERT_NE(menu, nullptr);
    for (int shown = 0; shown < 2; ++shown) emit menu->aboutToShow();  // listed once, not twice
    const QList<QAction*> items = menu->actions();
    ASSERT_GE(items.size(), 3);
    EXPECT_TRUE(items[items.size() - 3]->isSeparator());
    EXPECT_EQ(items[items.size() - 2]->text(), "&1 " + windows[0]->windowTitle());
    EXPECT_EQ(items.back()->text(), "&2 " + windows[1]->windowTitle());
    EXPECT_TRUE(items.back()->isChecked());
    items[items.size() - 2]->trigger();
    EXPECT_EQ(mdi->activeSubWindow(), windows[0]);
}

TEST_F(MainFrameWithDocuments, ClosingWindowsTakesTheirPanesWithThem) {
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) frame.OpenSound(QString::fromStdString(MakeTone(dir, name)));
    auto* mdi = qobject_cast<QMdiArea*>(frame.centralWidget());
    ASSERT_EQ(frame.App().Documents().size(), 3u);
    QPointer<CChildFrame> closed = frame.ActiveChild();
    EXPECT_TRUE(frame.Run(CommandId::Close));
    EXPECT_TRUE(closed.isNull()) << "the closed window's panes are deleted, not left ticking";
    EXPECT_EQ(frame.App().Documents().size(), 2u);
    QTest::qWait(1100);  // a refinement tick of the remaining windows
    EXPECT_TRUE(frame.Run(CommandId::CloseAll));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
    EXPECT_TRUE(frame.App().Documents().empty());
    frame.OpenSound(QString::fromStdString(MakeTone(dir, "d.wav")));
    EXPECT_TRUE(frame.close());
    EXPECT_TRUE(frame.App().Documents().empty());
}

TEST_F(MainFrameWithDocuments, TheCommandLineSetsItsSwitchesAndOpensItsFile) {
    frame.ApplyCommandLine(ParseCommandLine(""));
    EXPECT_EQ(frame.ActiveChild(), nullptr);
    EXPECT_TRUE(frame.App().fileBackup);
    EXPECT_FALSE(frame.App().displayFlag);

    std::filesystem::create_directories(dir.File("My Sounds"));
    const std::string path = MakeTone(dir, "My Sounds/kick.wav");
    frame.ApplyCommandLine(ParseCommandLine("\"" + path + "\" -b /M"));
    ASSERT_NE(frame.ActiveChild(), nullptr);
    EXPECT_TRUE(frame.ActiveChild()->Document().RefersTo(path));
    EXPECT_FALSE(frame.App().fileBackup);
    EXPECT_TRUE(frame.App().displayFlag);
    auto* window = qobject_cast<QMdiSubWindow*>(frame.ActiveChild()->parentWidget());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isMaximized()) << "with \"m\" document windows open maximised";
}

TEST(MainFrameShell, RescanScsiInTheOptionsMenuFillsTheInstrumentList) {
    TempDir dir;
    // An emulated bus with every id taken, so no empty target's retries are waited out.
    const std::string bus = dir.File("bus");
    for (int id = 0; id <= 6; ++id)
        MakeInstrument(bus, std::to_string(id),
                       "vendor = ORBECK\nproduct = " + std::string(id == 3 ? "LORIC7" : "Other") +
                           "\nid = " + std::to_string(id) + "\n");
    ::setenv("PELMORA_SCSI", ("emulated:" + bus).c_str(), 1);
    CMainFrame frame;
    QMenu* options = MenuNamed(frame, "&Options");
    ASSERT_NE(options, nullptr);
    QAction* rescan = nullptr;
    for (QAction* action : options->actions())
        if (action->text() == "Rescan SCSI") rescan = action;
    ASSERT_NE(rescan, nullptr);
    EXPECT_TRUE(frame.App().Instruments().Empty());  // nothing before the first rescan
    rescan->trigger();
    ::unsetenv("PELMORA_SCSI");
    ASSERT_EQ(frame.App().Instruments().Entries().size(), 1u);
    const std::string line = DescribeInstrument(*frame.App().Instruments().CurrentInstrument());
    EXPECT_EQ(line.substr(line.find(':')), ":3 Sampler LORIC7");
}
