#include "app/AppTitle.h"
#include "app/TfmMain.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qm::kApplicationTitle));

    qm::QtDialogs dialogs;
    qm::SteadyClock clock;
    qm::TfmMainEnvironment env;
    env.dialogs = &dialogs;
    env.clock = &clock;
    env.settingsDir = qm::executableDir();

    qm::TfmMain fmMain(env);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        fmMain.move(screen->availableGeometry().center() - fmMain.rect().center());
    fmMain.show();
    return QApplication::exec();
}
