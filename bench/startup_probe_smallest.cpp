// Qt's smallest window, ended at its first paint: the floor of the start-up row. With
// --label it shows one line of text, which makes Qt read the system's fonts first.
#include "bench/FirstPaint.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qm::bench::QuitOnFirstPaint quit;
    const bool label = argc > 1 && std::strcmp(argv[1], "--label") == 0;
    std::unique_ptr<QWidget> window =
        label ? std::make_unique<QLabel>(QStringLiteral("Quillmark")) : std::make_unique<QWidget>();
    window->installEventFilter(&quit);
    window->show();
    return QApplication::exec();
}
