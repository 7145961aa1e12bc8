#include "app/AppTitle.h"
#include "app/ProgramStart.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "usage: quillmark [--help | --version] [Qt's options, such as -platform NAME]\n"
    "Opens Quillmark's window: a checked list of Half-Life and Counter-Strike servers,\n"
    "filled from the game's favourites, Steam's favourites, a server database, master\n"
    "servers and Steam's server list, and written back with Overwrite.\n";

} // namespace

int main(int argc, char* argv[]) {
    // Answered before any window system is needed, so that they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", qm::kApplicationTitle, qm::kProgramVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    const auto program = qm::startProgram();
    return QApplication::exec();
}
