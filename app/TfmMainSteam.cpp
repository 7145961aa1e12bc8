// Steam's favourites: the Steam folder and account, Import, Overwrite, Back Up, Restore.
#include "app/TfmMain.h"

#include "favourites/SteamFavouritesFile.h"
#include "favourites/SteamLocation.h"
#include "ui/TextCodec.h"

#include <QComboBox>
#include <QLineEdit>

namespace qm {

namespace {
// What the drop-down arrow and the frame of a combo box take of its width.
constexpr int kComboArrowWidth = 26;
} // namespace

namespace {

std::string steamFolderText(const QLineEdit* edit) {
    std::string folder = fromDisplay(edit->text().trimmed());
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

} // namespace

void TfmMain::detectSteam() {
    // The first folder with an account wins; the others can still be browsed to.
    const std::vector<std::string> folders = findSteamFolders(m_env.steamFolderPlaces(m_env.homeFolder));
    for (const std::string& folder : folders) {
        if (steamAccountsIn(folder).empty()) continue;
        edSteamFolder->setText(toDisplay(folder));
        break;
    }
    if (edSteamFolder->text().isEmpty() && !folders.empty())
        edSteamFolder->setText(toDisplay(folders.front()));
    fillSteamAccounts();
}

void TfmMain::fillSteamAccounts() {
    cbSteamAccount->clear();
    const std::string folder = steamFolderText(edSteamFolder);
    if (folder.empty()) return;
    // The box is narrow: a long persona name is cut with an ellipsis, whole in the tooltip.
    const int room = cbSteamAccount->width() - kComboArrowWidth;
    for (const SteamAccount& account : steamAccountsIn(folder)) {
        const QString label = toDisplay(account.label());
        cbSteamAccount->addItem(cbSteamAccount->fontMetrics().elidedText(label, Qt::ElideRight, room),
                                toDisplay(account.accountId));
        cbSteamAccount->setItemData(cbSteamAccount->count() - 1, label, Qt::ToolTipRole);
    }
    showSteamAccountTooltip();
}

void TfmMain::showSteamAccountTooltip() {
    const QVariant whole = cbSteamAccount->currentData(Qt::ToolTipRole);
    cbSteamAccount->setToolTip(whole.isValid() ? whole.toString() : QStringLiteral("Steam account"));
}

std::string TfmMain::steamFavouritesFile() const {
    const std::string folder = steamFolderText(edSteamFolder);
    if (folder.empty() || cbSteamAccount->currentIndex() < 0) return {};
    return steamFavouritesFileOf(folder, fromDisplay(cbSteamAccount->currentData().toString()));
}

void TfmMain::bbSteamFolderClick() {
    const std::string start = steamFolderText(edSteamFolder);
    const auto picked = m_env.dialogs->chooseFolder("Steam folder", start.empty() ? m_env.homeFolder : start);
    if (!picked) return;
    edSteamFolder->setText(toDisplay(*picked));
    fillSteamAccounts();
    setStatusText(cbSteamAccount->count() > 0 ? "New Steam folder was set"
                                              : "Error: no Steam account with favourites in that folder");
}

void TfmMain::edSteamFolderEditingFinished() {
    const QString folder = edSteamFolder->text();
    if (folder == edSteamFolder->property("listedFolder").toString()) return;
    edSteamFolder->setProperty("listedFolder", folder);
    fillSteamAccounts();
}

void TfmMain::bbSteamImportClick() {
    const FavouritesImport result =
        importSteamFavourites(steamFavouritesFile(), fromDisplay(edSteamGameDir->text()));
    beforeListCommand();
    m_servers.addAndCheckAll(result.entries);
    Outcome outcome = result.outcome;
    if (result.counted)
        outcome.status =
            "Steam favourites were imported successfully: " + std::to_string(result.entries.size()) +
            " servers.";
    report(outcome);
    refreshCountLabel();
}

void TfmMain::bbSteamOverwriteClick() {
    const std::string file = steamFavouritesFile();
    const bool running =
        !file.empty() && m_env.steamRunning(m_env.homeFolder, steamFolderText(edSteamFolder));
    report(overwriteSteamFavourites(file, m_servers.texts(), running));
}

void TfmMain::bbSteamBackupClick() {
    report(backUpSteamFavourites(steamFavouritesFile()));
}

void TfmMain::bbSteamRestoreClick() {
    const std::string file = steamFavouritesFile();
    const bool running =
        !file.empty() && m_env.steamRunning(m_env.homeFolder, steamFolderText(edSteamFolder));
    report(restoreSteamFavourites(file, running));
}

} // namespace qm
