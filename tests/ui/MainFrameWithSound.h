#pragma once
// A main frame on the offscreen platform with a tone open in a document window, for the widget
// tests.

#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <string>

#include "app/ui/MainFrame.h"
#include "display/ui/ChildFrame.h"
#include "display/ui/PaneWForm.h"
#include "support/TempDir.h"

namespace pelmora::test {

// A 200 Hz sine, 16-bit at 8000 Hz, `volume` of full scale.
inline std::string MakeTone(const TempDir& dir, int channels, double seconds, double volume = 1.0) {
    const std::string path = dir.File("tone.wav");
    const std::string command = "sox -n -r 8000 -b 16 -c " + std::to_string(channels) + " -t wavpcm '" + path +
                                "' synth " + std::to_string(seconds) + " sine 200 vol " +
                                std::to_string(volume) + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return path;
}

inline std::string MakeStereoTone(const TempDir& dir) { return MakeTone(dir, 2, 1.0); }

// A shown frame with a quarter-scale tone open, for tests that drive a command and its dialog.
struct OpenedSound {
    TempDir dir;
    std::string path;
    CMainFrame frame;
    COLMDoc* doc = nullptr;

    explicit OpenedSound(int channels = 2, double seconds = 1.0) : path(MakeTone(dir, channels, seconds, 0.25)) {
        frame.App().SetWorkDirAtStartup(dir.Path());
        EXPECT_TRUE(frame.App().CreateClipFile());
        frame.show();  // only a shown frame has an active document window
        frame.OpenSound(QString::fromStdString(path));
        if (CChildFrame* child = frame.ActiveChild()) doc = &child->Document();
    }
};

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
