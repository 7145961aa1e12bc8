// Quillmark started as a user starts it, ended at its window's first paint: the start-up
// row of the speed table runs it as a separate program.
#include "app/ProgramStart.h"
#include "bench/FirstPaint.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qm::bench::QuitOnFirstPaint quit;
    // The update check and the rest that follow the first show are no part of the start.
    const auto program =
        qm::startProgram([](qm::TfmMainEnvironment& env) { env.startupChecksOnShow = false; });
    program->fmMain->installEventFilter(&quit);
    return QApplication::exec();
}
