// The waveform pane's drawing speed on one sound, offscreen: the first paint, page scrolls at
// the default zoom (drawn from the samples), the zoom-out that builds the image, page scrolls
// drawn from the image, and the zoom to the finest step. Prints milliseconds per step.
//
//   pelmora-pane-bench SOUND.wav

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>
#include <filesystem>

#include "app/ApplicationState.h"
#include "base/SilentProgress.h"
#include "display/WaveformView.h"
#include "display/ui/PaneWForm.h"

namespace {

class QuietPrompter : public pelmora::Prompter {
public:
    void Message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    pelmora::Answer Ask(const std::string&, pelmora::Buttons) override { return pelmora::Answer::Cancel; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelmora-pane-bench SOUND.wav\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    using namespace pelmora;
    QuietPrompter prompter;
    SilentProgress progress;
    ApplicationState app(prompter, progress);
    const std::string work = std::filesystem::temp_directory_path() / "pelmora-pane-bench";
    std::filesystem::create_directories(work);
    app.SetWorkDirAtStartup(work);
    if (!app.CreateClipFile()) return 1;
    app.fileBackup = false;  // the sound is read where it lies, as on a working copy
    COLMDoc& doc = app.Open(argv[1]);

    CPaneWForm pane(doc);
    pane.resize(1200, 500);
    pane.show();
    QElapsedTimer timer;
    auto report = [&](const char* what, int steps) {
        std::printf("%-34s %8.2f ms\n", what, static_cast<double>(timer.nsecsElapsed()) / 1e6 / steps);
        timer.restart();
    };
    auto draw = [&] {
        pane.Redraw();
        (void)pane.grab();
    };
    // Scrolling goes through the scroll bar, as the user's does: only the view is redrawn.
    QScrollBar* scrollBar = nullptr;
    for (QScrollBar* bar : pane.findChildren<QScrollBar*>())
        if (bar->orientation() == Qt::Horizontal) scrollBar = bar;
    auto scroll = [&] {
        scrollBar->setValue(scrollBar->value() + kScrollPageUnits);
        (void)pane.grab();
    };
    constexpr int kScrolls = 50;
    timer.start();
    draw();
    report("first paint, 128 frames/column", 1);
    for (int i = 0; i < kScrolls; ++i) scroll();
    report("page scroll, 128 (samples)", kScrolls);
    SetZoom(doc, 1024, doc.view.verticalZoom, pane.Context());
    draw();
    report("zoom out to 1024 (builds image)", 1);
    for (int i = 0; i < kScrolls; ++i) scroll();
    report("page scroll, 1024 (image)", kScrolls);
    HorizontalFullZoomIn(doc, pane.Context());
    draw();
    report("zoom in to 0.0625", 1);
    app.Discard(doc);
    std::filesystem::remove_all(work);
    return 0;
}
