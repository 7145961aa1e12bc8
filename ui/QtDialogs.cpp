#include "ui/Dialogs.h"

#include "ui/TextCodec.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QUrl>

namespace qm {

namespace {

// A picked path as the system writes it: with backslashes on Windows.
std::string pathPicked(const QString& picked) {
    return QFile::encodeName(QDir::toNativeSeparators(picked)).toStdString();
}

} // namespace

std::unique_ptr<QMessageBox> QtDialogs::makeBox(const std::string& caption, const std::string& text,
                                                bool error) {
    // A plain message has no icon; only errors carry one.
    return std::make_unique<QMessageBox>(error ? QMessageBox::Critical : QMessageBox::NoIcon,
                                         toDisplay(caption), toDisplay(text), QMessageBox::Ok,
                                         QApplication::activeWindow());
}

void QtDialogs::showMessage(const std::string& caption, const std::string& text) {
    makeBox(caption, text, false)->exec();
}

void QtDialogs::showError(const std::string& caption, const std::string& text) {
    makeBox(caption, text, true)->exec();
}

std::optional<std::string> QtDialogs::openFile(const std::string& filterDescription,
                                               const std::string& pattern, const std::string& start) {
    // The filter shows just its description when it already names the pattern.
    QString filter = toDisplay(filterDescription);
    if (!filter.contains(toDisplay(pattern)))
        filter += QStringLiteral(" (%1)").arg(toDisplay(pattern));
    else if (!filter.contains('('))
        filter = QStringLiteral("%1 (%1)").arg(toDisplay(pattern));
    // The system's own dialog where it has one: Windows' Open dialog, a Linux desktop's
    // portal; Qt's dialog otherwise.
    const QString picked = QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QString(),
        start.empty() ? QDir::currentPath() : QFile::decodeName(start.c_str()), filter);
    if (picked.isEmpty()) return std::nullopt;
    return pathPicked(picked);
}

std::optional<std::string> QtDialogs::saveFile(const std::string& filterDescription,
                                               const std::string& pattern, const std::string& start) {
    const QString filter = QStringLiteral("%1 (%2)").arg(toDisplay(filterDescription), toDisplay(pattern));
    const QString picked = QFileDialog::getSaveFileName(
        QApplication::activeWindow(), QString(),
        start.empty() ? QDir::currentPath() : QFile::decodeName(QByteArray::fromStdString(start)), filter);
    if (picked.isEmpty()) return std::nullopt;
    return pathPicked(picked);
}

std::optional<std::string> QtDialogs::chooseFolder(const std::string& caption, const std::string& start) {
    const QString picked = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), toDisplay(caption), QFile::decodeName(QByteArray::fromStdString(start)),
        QFileDialog::ShowDirsOnly);
    if (picked.isEmpty()) return std::nullopt;
    return pathPicked(picked);
}

bool QtDialogs::openDocument(const std::string& target) {
    const QString t = toDisplay(target);
    // A URL of any scheme (http, https, steam) goes to its handler; the rest are files.
    if (t.contains(QLatin1String("://"))) return QDesktopServices::openUrl(QUrl(t));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath()));
}

std::string QtDialogs::launchProgram(const ProgramLaunch& launch) {
    return startProgram(launch, systemSearchPath());
}

std::optional<std::string> QtDialogs::askPassword(const std::string& caption, const std::string& prompt) {
    bool ok = false;
    const QString typed = QInputDialog::getText(QApplication::activeWindow(), toDisplay(caption),
                                                toDisplay(prompt), QLineEdit::Password, QString(), &ok);
    if (!ok) return std::nullopt;
    return fromDisplay(typed);
}

bool QtDialogs::notify(const std::string& caption, const std::string& text) {
    if (!QSystemTrayIcon::isSystemTrayAvailable() || !QSystemTrayIcon::supportsMessages()) return false;
    // One icon for the program's life, shown while a message is up.
    static QSystemTrayIcon* tray = [] {
        auto* icon = new QSystemTrayIcon(QApplication::windowIcon(), qApp);
        QObject::connect(icon, &QSystemTrayIcon::messageClicked, icon, &QSystemTrayIcon::hide);
        return icon;
    }();
    tray->show();
    tray->showMessage(toDisplay(caption), toDisplay(text), QSystemTrayIcon::Information);
    return true;
}

} // namespace qm
