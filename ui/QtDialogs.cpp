#include "ui/Dialogs.h"

#include "ui/TextCodec.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace qm {

void QtDialogs::showMessage(const std::string& caption, const std::string& text) {
    QMessageBox::information(QApplication::activeWindow(), toDisplay(caption), toDisplay(text));
}

void QtDialogs::showError(const std::string& caption, const std::string& text) {
    QMessageBox::critical(QApplication::activeWindow(), toDisplay(caption), toDisplay(text));
}

std::optional<std::string> QtDialogs::openFile(const std::string& filterDescription, const std::string& pattern) {
    // The filter shows just its description when it already names the pattern.
    QString filter = toDisplay(filterDescription);
    if (!filter.contains(toDisplay(pattern)))
        filter += QStringLiteral(" (%1)").arg(toDisplay(pattern));
    else if (!filter.contains('('))
        filter = QStringLiteral("%1 (%1)").arg(toDisplay(pattern));
    const QString picked = QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QDir::currentPath(),
                                                        filter, nullptr, QFileDialog::DontUseNativeDialog);
    if (picked.isEmpty())
        return std::nullopt;
    return QFile::encodeName(picked).toStdString();
}

void QtDialogs::openDocument(const std::string& target) {
    const QString t = toDisplay(target);
    if (t.startsWith(QLatin1String("http://")) || t.startsWith(QLatin1String("https://")))
        QDesktopServices::openUrl(QUrl(t));
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath()));
}

} // namespace qm
