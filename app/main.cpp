// pelmora: the desktop editor.

#include <QApplication>

#include "app/Profile.h"
#include "app/ui/MainFrame.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelmora"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pelmora"));

    pelmora::Profile profile(pelmora::Profile::DefaultPath());
    profile.Load();
    pelmora::CMainFrame frame;
    frame.LoadSettings(profile);
    frame.App().SetWorkDirAtStartup(profile.GetString("OLM App", "Work Dir").value_or(""));
    frame.App().CreateClipFile();
    frame.show();
    for (int i = 1; i < argc; ++i) frame.OpenSound(QString::fromLocal8Bit(argv[i]));
    const int status = QApplication::exec();

    profile.SetString("OLM App", "Work Dir", frame.App().WorkDir());
    frame.SaveSettings(profile);
    profile.Save();
    return status;
}
