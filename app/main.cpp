#include "app/AppTitle.h"
#include "app/ProgramFolders.h"
#include "app/TfmMain.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qm::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(qm::kProgramVersion));
    // The desktop entry's name: how Wayland desktops match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(qm::kDesktopId));

    qm::QtDialogs dialogs;
    qm::SteadyClock clock;
    qm::TfmMainEnvironment env;
    env.dialogs = &dialogs;
    env.clock = &clock;
    // Portable: everything beside the program, which runs in its own folder. Installed:
    // settings under the user's config folder, help and sample database in share/.
    const qm::ProgramFolders folders =
        qm::locateProgramFolders(qm::executableDir(), std::getenv("XDG_CONFIG_HOME"), qm::homeFolder());
    env.settingsDir = folders.settingsDir;
    if (!folders.portable) QDir::setCurrent(QString::fromLocal8Bit(folders.dataDir.c_str()));

    qm::TfmMain fmMain(env);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        fmMain.move(screen->availableGeometry().center() - fmMain.rect().center());
    fmMain.show();
    return QApplication::exec();
}
