// pelmora: the desktop editor.

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Profile.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SingleInstance.h"

namespace {

constexpr const char* kUsage =
    "usage: pelmora [/b] [/m] [windows IN OUT] [FILE]\n"
    "Opens FILE (a WAV or AIFF sound) in the running editor of this display, or starts one.\n"
    "  /b, -b            File Backup off: edits change the file directly\n"
    "  /m, -m            open document windows maximised\n"
    "  windows IN OUT    the input and output sound devices, by name\n"
    "  --help            this text\n"
    "  --version         the version\n"
    "pelmora-cli runs the same commands without a display.\n";

// --help and --version answer before anything needs a display.
bool AnswersAlone(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string word = argv[1];
    if (word == "--help" || word == "-h") std::fputs(kUsage, stdout);
    else if (word == "--version") std::printf("pelmora %s\n", PELMORA_VERSION);
    else return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnswersAlone(argc, argv)) return 0;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelmora"));
    // No display name: the platform would append it to every title, and the main title names
    // the program already.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/pelmora.svg")));

    // The shell has already split the command line into words; joined again with single blanks
    // it is the line the file-name rule reads, so an unquoted path with blanks still names one file.
    const std::string line = pelmora::JoinArguments(std::vector<std::string>(argv + 1, argv + argc));
    const pelmora::CommandLine commandLine = pelmora::ParseCommandLine(line);

    // A second start hands its file to the running editor and ends.
    pelmora::SingleInstance instance;
    if (instance.HandOver(QString::fromLocal8Bit(commandLine.file)) || !instance.Become()) return 0;

    pelmora::Profile profile(pelmora::Profile::DefaultPath());
    profile.Load();
    pelmora::CMainFrame frame;
    frame.LoadSettings(profile);
    frame.App().SetWorkDirAtStartup(profile.GetString("OLM App", "Work Dir").value_or(""));
    frame.show();
    QObject::connect(&instance, &pelmora::SingleInstance::PathArrived, &frame, [&frame](const QString& handed) {
        if (frame.isMinimized()) frame.showNormal();
        frame.raise();
        frame.activateWindow();
        if (!handed.isEmpty()) frame.OpenFromShell(handed);
    });
    // The first idle moment: the working directory is confirmed (and the clip file made there)
    // before the command line's file opens in it.
    QTimer::singleShot(0, &frame, [&frame, commandLine] {
        frame.ConfirmWorkingDirectory();
        frame.ApplyCommandLine(commandLine);
    });
    const int status = QApplication::exec();

    profile.SetString("OLM App", "Work Dir", frame.App().WorkDir());
    frame.SaveSettings(profile);
    profile.Save();
    return status;
}
