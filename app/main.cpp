// pelmora: the desktop editor.

#include <QApplication>

#include "app/Profile.h"
#include "app/ui/MainFrame.h"
#include "app/ui/SingleInstance.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelmora"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pelmora"));

    // A second start hands its file to the running editor and ends.
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    pelmora::SingleInstance instance;
    if (instance.HandOver(path) || !instance.Become()) return 0;

    pelmora::Profile profile(pelmora::Profile::DefaultPath());
    profile.Load();
    pelmora::CMainFrame frame;
    frame.LoadSettings(profile);
    frame.App().SetWorkDirAtStartup(profile.GetString("OLM App", "Work Dir").value_or(""));
    frame.App().CreateClipFile();
    frame.show();
    QObject::connect(&instance, &pelmora::SingleInstance::PathArrived, &frame, [&frame](const QString& handed) {
        frame.raise();
        frame.activateWindow();
        if (!handed.isEmpty()) frame.OpenFromShell(handed);
    });
    if (!path.isEmpty()) frame.OpenSound(path);
    const int status = QApplication::exec();

    profile.SetString("OLM App", "Work Dir", frame.App().WorkDir());
    frame.SaveSettings(profile);
    profile.Save();
    return status;
}
