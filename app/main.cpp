#include "app/ProgramStart.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const auto program = qm::startProgram();
    return QApplication::exec();
}
