#pragma once
// A main frame on the offscreen platform with a one-second 8000 Hz stereo tone open in a
// document window, for the widget tests.

#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <string>

#include "app/ui/MainFrame.h"
#include "display/ui/ChildFrame.h"
#include "display/ui/PaneWForm.h"
#include "support/TempDir.h"

namespace pelmora::test {

inline std::string MakeStereoTone(const TempDir& dir) {
    const std::string path = dir.File("tone.wav");
    const std::string command =
        "sox -n -r 8000 -b 16 -c 2 -t wavpcm '" + path + "' synth 1 sine 200 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return path;
}

class MainFrameWithSound : public ::testing::Test {
protected:
    void SetUp() override {
        path = MakeStereoTone(dir);
        frame.App().SetWorkDirAtStartup(dir.Path());
        ASSERT_TRUE(frame.App().CreateClipFile());
        frame.resize(1100, 700);
        frame.show();
        frame.OpenSound(QString::fromStdString(path));
        child = frame.ActiveChild();
        ASSERT_NE(child, nullptr);
        pane = child->WaveformPane();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(pane));
    }

    TempDir dir;
    std::string path;
    CMainFrame frame;
    CChildFrame* child = nullptr;
    CPaneWForm* pane = nullptr;
};

}  // namespace pelmora::test
