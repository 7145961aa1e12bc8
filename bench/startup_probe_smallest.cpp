// Qt's smallest window, ended at its first paint: the floor of the start-up row.
#include "bench/FirstPaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qm::bench::QuitOnFirstPaint quit;
    QWidget window;
    window.installEventFilter(&quit);
    window.show();
    return QApplication::exec();
}
