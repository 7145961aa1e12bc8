// Renders the program's logo as a PNG of the given size, for the installed icons:
//   quillmark-icon SIZE FILE.png
#include "ui/Logo.h"

#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 3 || std::atoi(argv[1]) <= 0) {
        std::fprintf(stderr, "usage: quillmark-icon SIZE FILE.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return qm::drawLogo(std::atoi(argv[1])).save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
