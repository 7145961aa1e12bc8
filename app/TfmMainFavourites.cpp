// The game's favourites: game location, Overwrite, Import, Back Up and Restore.
#include "app/TfmMain.h"

#include "favourites/Backup.h"
#include "favourites/FavouritesImport.h"
#include "favourites/FavouritesOverwrite.h"
#include "favourites/GameLocation.h"
#include "platform/Paths.h"
#include "ui/TextCodec.h"

#include <QLabel>
#include <QLineEdit>

namespace qm {

void TfmMain::report(const Outcome& outcome) {
    if (!outcome.message.empty()) showMessage(outcome.message);
    setStatusText(outcome.status);
}

std::string TfmMain::gameLocation() const {
    return fromDisplay(edPath2HL->text());
}

void TfmMain::detectGameLocation() {
    if (isGameLocation(gameLocation())) lbPathHLFound->setText(QString::fromLatin1(kHlExeFound));
}

void TfmMain::bbPath2HLClick() {
    const auto picked = m_env.dialogs->openFile("hl.exe", "hl.exe");
    if (!picked) return;
    moveCurrentDirectoryTo(*picked);
    if (!isGameLocation(*picked)) {
        setStatusText("Error: no correct 'hl.exe' at that path");
        return;
    }
    edPath2HL->setText(toDisplay(*picked));
    lbPathHLFound->setText(QString::fromLatin1(kHlExeFound));
    setStatusText("New path to 'hl.exe' was set");
}

void TfmMain::bbOverwriteClick() {
    Outcome outcome = overwriteFavourites(gameLocation(), m_servers.texts());
    // A Steam player who tries the game folder's Overwrite without a game folder needs the
    // other button.
    if (!outcome.ok && outcome.message == kOverwriteFailedMessage && !isFile(gameLocation()) &&
        !steamFavouritesFile().empty())
        outcome.message += " " + std::string(kSteamOverwriteHint);
    report(outcome);
}

void TfmMain::bbImportFavouritesClick() {
    FavouritesImport result =
        importFavourites(gameLocation(), lbPathHLFound->text() == QString::fromLatin1(kHlExeFound));
    beforeListCommand();
    const size_t imported = result.entries.size();
    m_servers.addAndCheckAll(std::move(result.entries));
    if (result.counted)
        lbFavouritesCount->setText(QString::number(imported) + QStringLiteral(" servers imported"));
    report(result.outcome);
    refreshCountLabel();
}

void TfmMain::bbBackUpClick() {
    report(backUpFavourites(gameLocation()));
}

void TfmMain::bbRestoreClick() {
    report(restoreFavourites(gameLocation()));
}

} // namespace qm
