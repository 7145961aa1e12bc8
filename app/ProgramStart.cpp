#include "app/ProgramStart.h"

#include "app/AppTitle.h"
#include "app/ProgramFolders.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

#include <cstdlib>

namespace qm {

std::unique_ptr<ProgramWindow> startProgram(const std::function<void(TfmMainEnvironment&)>& adjust) {
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));
    // The desktop entry's name: how Wayland desktops match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));

    auto program = std::make_unique<ProgramWindow>();
    TfmMainEnvironment env;
    env.dialogs = &program->dialogs;
    env.clock = &program->clock;
    // Portable: everything beside the program, which runs in its own folder. Installed:
    // settings under the user's config folder, help and sample database in share/.
    const ProgramFolders folders =
        locateProgramFolders(executableDir(), std::getenv("XDG_CONFIG_HOME"), homeFolder());
    env.settingsDir = folders.settingsDir;
    if (!folders.portable) {
        QDir::setCurrent(QString::fromLocal8Bit(folders.dataDir.c_str()));
        env.dataDir = folders.dataDir;
        env.exportDir = folders.documentsDir;
    }
    if (adjust) adjust(env);

    program->fmMain = std::make_unique<TfmMain>(env);
    TfmMain& window = *program->fmMain;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    return program;
}

} // namespace qm
