// The Steam favourites group of the Options page, against a fake Steam folder in a
// temporary home folder.
#include "favourites/FavouritesOverwrite.h"
#include "favourites/SteamFavouritesFile.h"
#include "tests/app/WindowTest.h"
#include "tests/favourites/ServerBrowserText.h"
#include "tests/support/Fixtures.h"

#include <QComboBox>

#include <filesystem>

using namespace qm;
using namespace qm::test;
namespace fs = std::filesystem;

class SteamWindow : public WindowTest {
  protected:
    void SetUp() override {
        steam = dir.file("home/.local/share/Steam");
        fs::create_directories(steam + "/userdata/1234/7/remote");
        fs::create_directories(steam + "/config");
        writeAll(steam + "/config/loginusers.vdf",
                 "\"users\"\n{\n\t\"76561197960266962\"\n\t{\n\t\t\"PersonaName\"\t\t\"Gordon\"\n\t}\n}\n");
        file = steam + "/userdata/1234/7/remote/serverbrowser_hist.vdf";
        writeAll(file, readAll(fixturePath("steamvdf/favorites-and-history-2025.vdf")));
        env.homeFolder = dir.file("home");
        env.steamRunning = [this](const std::string& home, const std::string& folder) {
            askedFor = {home, folder};
            return steamRuns;
        };
        makeWindow();
    }
    // The whole label: the box shows it cut to its width, in whatever font the system has.
    std::string account() {
        const QComboBox* box = control<QComboBox>("cbSteamAccount");
        return box->itemData(box->currentIndex(), Qt::ToolTipRole).toString().toStdString();
    }

    std::string steam;
    std::string file;
    bool steamRuns = false;
    std::pair<std::string, std::string> askedFor;
};

TEST_F(SteamWindow, FindsTheSteamFolderAndItsAccountAtStart) {
    EXPECT_EQ(control<QLineEdit>("edSteamFolder")->text().toStdString(), fs::canonical(steam).string());
    EXPECT_EQ(account(), "1234 (Gordon)");
    EXPECT_EQ(control<QLineEdit>("edSteamGameDir")->text().toStdString(), "cstrike");
}

TEST_F(SteamWindow, ImportAddsAndChecksTheFavouritesAndOverwriteWritesThemBackUnchanged) {
    const std::string original = readAll(file);
    control<QLineEdit>("edSteamGameDir")->setText("czero");
    click("bbSteamImport");
    const std::vector<std::string> addresses = favouriteAddresses(original);
    EXPECT_EQ(status(), "Steam favourites were imported successfully: " + std::to_string(addresses.size()) +
                            " servers.");
    ASSERT_EQ(window->servers().count(), addresses.size());
    for (size_t row = 0; row < window->servers().count(); ++row) {
        EXPECT_TRUE(window->servers().isChecked(row));
        EXPECT_NE(window->servers().text(row).find(" czero"), std::string::npos);
    }
    click("bbSteamOverwrite");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(readAll(file), original);
    EXPECT_EQ(askedFor, std::make_pair(env.homeFolder, fs::canonical(steam).string()));
}

TEST_F(SteamWindow, WhileSteamRunsOverwriteAndRestoreSayWhyAndWriteNothing) {
    const std::string original = readAll(file);
    click("bbSteamBackup");
    EXPECT_EQ(status(), "Backing up was successful.");
    window->servers().addIfAbsent("127.0.0.1:27015 cstrike");
    steamRuns = true;
    for (const char* button : {"bbSteamOverwrite", "bbSteamRestore"}) {
        dialogs.shown.clear();
        click(button);
        ASSERT_EQ(dialogs.shown.size(), 1u) << button;
        EXPECT_EQ(dialogs.shown[0].text, kSteamRunningMessage);
        EXPECT_EQ(readAll(file), original);
    }
    steamRuns = false;
    click("bbSteamOverwrite");
    EXPECT_EQ(favouriteAddresses(readAll(file)), std::vector<std::string>{"127.0.0.1:27015"});
    click("bbSteamRestore");
    EXPECT_EQ(status(), "Steam favourites were restored.");
    EXPECT_EQ(readAll(file), original);
}

TEST_F(SteamWindow, AFolderPickedByHandListsItsAccounts) {
    const std::string wine = dir.file("wine/Program Files (x86)/Steam");
    fs::create_directories(wine + "/userdata/99/7/remote");
    dialogs.pickNext(wine);
    click("bbSteamFolder");
    EXPECT_EQ(status(), "New Steam folder was set");
    EXPECT_EQ(account(), "99");
    EXPECT_EQ(dialogs.folderDialogs.back().second, fs::canonical(steam).string());

    dialogs.pickNext(dir.file("wine"));
    click("bbSteamFolder");
    EXPECT_EQ(status(), "Error: no Steam account with favourites in that folder");
    click("bbSteamImport");
    EXPECT_EQ(status(), kNoSteamAccountStatus);
    EXPECT_EQ(window->servers().count(), 0u);

    // A folder typed in lists its accounts when the field is left.
    auto* folder = control<QLineEdit>("edSteamFolder");
    folder->setText(QString::fromStdString(wine));
    emit folder->editingFinished();
    EXPECT_EQ(account(), "99");
}

TEST_F(SteamWindow, TheGameFoldersOverwriteWithoutAGameFolderPointsToSteams) {
    window->servers().addIfAbsent("127.0.0.1:27015 cstrike");
    click("bbOverwrite");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, std::string(kOverwriteFailedMessage) + " " + kSteamOverwriteHint);
    // With a game folder chosen, its missing file is the whole story.
    writeAll(dir.file("hl.exe"), "MZ");
    control<QLineEdit>("edPath2HL")->setText(QString::fromStdString(dir.file("hl.exe")));
    click("bbOverwrite");
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, kOverwriteFailedMessage);
}

TEST_F(SteamWindow, ALongPersonaNameIsCutWithAnEllipsisAndWholeInTheTooltip) {
    const std::string name = "The longest persona name that any Steam player ever chose";
    writeAll(steam + "/config/loginusers.vdf",
             "\"users\"\n{\n\t\"76561197960266962\"\n\t{\n\t\t\"PersonaName\"\t\t\"" + name + "\"\n\t}\n}\n");
    window->findChild<QLineEdit*>("edSteamFolder")->editingFinished();
    auto* box = control<QComboBox>("cbSteamAccount");
    ASSERT_EQ(box->count(), 1);
    EXPECT_TRUE(box->currentText().endsWith(QChar(0x2026))) << box->currentText().toStdString();
    EXPECT_LE(box->fontMetrics().horizontalAdvance(box->currentText()), box->width());
    EXPECT_EQ(box->toolTip().toStdString(), "1234 (" + name + ")");
    EXPECT_EQ(box->currentData().toString().toStdString(), "1234");
}
