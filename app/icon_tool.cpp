// Renders the program's logo for the installed icons: a PNG of the given size, or a
// Windows icon file holding it in the sizes Windows shows (16 to 256, PNG inside).
//   quillmark-icon SIZE FILE.png
//   quillmark-icon ico FILE.ico
#include "ui/Logo.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

QByteArray pngOf(int size) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    qm::drawLogo(size).save(&buffer, "PNG");
    return png;
}

void putLittleEndian(QByteArray& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// ICONDIR, one ICONDIRENTRY per size, then the images (a width of 0 means 256).
bool writeIcon(const QString& path) {
    const int sizes[] = {16, 24, 32, 48, 64, 256};
    const int count = int(std::size(sizes));
    QByteArray head, images;
    putLittleEndian(head, 0, 2);
    putLittleEndian(head, 1, 2);
    putLittleEndian(head, count, 2);
    uint32_t offset = 6 + 16 * count;
    for (const int size : sizes) {
        const QByteArray png = pngOf(size);
        head.append(char(size == 256 ? 0 : size)).append(char(size == 256 ? 0 : size));
        putLittleEndian(head, 0, 2); // no palette, reserved
        putLittleEndian(head, 1, 2); // planes
        putLittleEndian(head, 32, 2);
        putLittleEndian(head, uint32_t(png.size()), 4);
        putLittleEndian(head, offset, 4);
        offset += uint32_t(png.size());
        images += png;
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(head + images) == head.size() + images.size();
}

} // namespace

int main(int argc, char* argv[]) {
    const bool icon = argc == 3 && std::strcmp(argv[1], "ico") == 0;
    if (argc != 3 || (!icon && std::atoi(argv[1]) <= 0)) {
        std::fprintf(stderr, "usage: quillmark-icon SIZE FILE.png\n       quillmark-icon ico FILE.ico\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString file = QString::fromLocal8Bit(argv[2]);
    if (icon) return writeIcon(file) ? 0 : 1;
    return qm::drawLogo(std::atoi(argv[1])).save(file, "PNG") ? 0 : 1;
}
