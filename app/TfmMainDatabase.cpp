// The database browser on the Import page, and Export List.
#include "app/TfmMain.h"

#include "database/DatabaseBrowser.h"
#include "database/ListExport.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "serverlist/Collation.h"
#include "ui/CheckListBox.h"
#include "ui/TextCodec.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace qm {

std::string TfmMain::databasePath() const {
    return fromDisplay(edPath2DB->text());
}

bool TfmMain::loadDatabaseIntoBrowser() {
    const auto summary = loadDatabase(databasePath());
    if (!summary) return false;
    cbCountry->clear();
    cbCountry->setEditText(QString());
    m_dbServers.clear();
    lbBuild->setText(QStringLiteral("Build ") + toDisplay(summary->build));
    lbDBDate->setText(toDisplay(summary->date));
    lbDBCount->setText(toDisplay(summary->count));
    std::vector<std::string> countries = summary->countries;
    std::stable_sort(countries.begin(), countries.end(), foldedLess);
    for (const std::string& name : countries)
        cbCountry->addItem(toDisplay(name), QByteArray::fromStdString(name));
    cbCountry->setEditText(countries.empty() ? QString() : toDisplay(countries.front()));
    setStatusText("Importing complete");
    return true;
}

std::string TfmMain::countryName() const {
    // The item's own bytes when the box shows an item, so names that are not UTF-8 match.
    const QString shown = cbCountry->currentText();
    const int item = cbCountry->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item >= 0) return cbCountry->itemData(item).toByteArray().toStdString();
    return fromDisplay(shown);
}

void TfmMain::autoLoadDatabase() {
    if (databasePath().empty()) return;
    try {
        loadDatabaseIntoBrowser();
    } catch (const std::exception&) {
        // The automatic load at start-up stays silent about a missing or broken file.
    }
}

void TfmMain::bbOpenDBClick() {
    if (const auto picked = m_env.dialogs->openFile(
            "Quillmark Database v2 (*.db2)", "*.db2",
            m_databaseDialogFolder.empty() ? m_env.dataDir : m_databaseDialogFolder)) {
        moveCurrentDirectoryTo(*picked);
        m_databaseDialogFolder = folderOf(*picked);
        edPath2DB->setText(toDisplay(*picked));
    }
    if (!loadDatabaseIntoBrowser()) {
        setStatusText("DataBase2 file is corrupted");
        showMessage("File is incorrect");
    }
}

void TfmMain::bbAddCountryClick() {
    m_dbServers.addAndCheckAll(countryEntries(databasePath(), countryName()));
    setStatusText("Country was added");
}

void TfmMain::bbDeleteCountryIPClick() {
    m_dbServers.removeMarked();
    setStatusText("Selected IPs deleted");
}

void TfmMain::bbCountryClearClick() {
    m_dbServers.clear();
    setStatusText("List cleared");
}

void TfmMain::bbMoveClick() {
    beforeListCommand();
    m_servers.addAndCheckAll(m_dbServers.texts());
    m_dbServers.clear();
    refreshCountLabel();
    setStatusText("IPs were moved");
}

void TfmMain::bbSaveListClick() {
    ExportOptions options{fromDisplay(edExportName->text()), fromDisplay(edExportBuild->text()),
                          fromDisplay(edExportDate->text())};
    // A bare name goes into the export folder; an installed program's own folder is no
    // place for the user's files.
    if (!options.fileName.empty() && !isAbsolutePath(options.fileName))
        options.fileName = m_env.exportDir + options.fileName;
    try {
        report(exportList(options, fromDisplay(lbCount->text()), m_servers.texts()));
    } catch (const FileError& e) {
        throw FileError(e.code(), std::string(e.what()) + " (" + absolutePath(options.fileName) + ")");
    }
}

} // namespace qm
