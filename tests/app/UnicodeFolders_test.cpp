// The window's files in folders named in any language: the game folder's favourites
// (Import, Overwrite, Back Up, Restore), the settings, Steam's folder and Export, each in a
// Cyrillic and Chinese folder, byte for byte what the same steps make in a plain one.
#include "platform/FsPath.h"
#include "platform/Paths.h"
#include "tests/app/WindowTest.h"
#include "tests/support/FileFaults.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSystem.h"

#include <QComboBox>
#include <QLineEdit>

#include <filesystem>

using namespace qm;
using namespace qm::test;

namespace {

const std::string kGames = "\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B"; // Игры
const std::string kGame =
    "\xD0\x9A\xD0\xBE\xD0\xBD\xD1\x82\xD1\x80-\xD0\xA1\xD1\x82\xD1\x80\xD0\xB0"
    "\xD0\xB9\xD0\xBA \xE5\x8F\x8D\xE6\x81\x90\xE7\xB2\xBE\xE8\x8B\xB1"; // Контр-Страйк 反恐精英
const std::string kUser = "\xD0\x98\xD0\xB3\xD0\xBE\xD1\x80\xD1\x8C";    // Игорь

void makeFolder(const std::string& path) {
    std::filesystem::create_directories(fsPath(path));
}

// Every file under `root`, named relative to it.
std::map<std::string, std::string> filesBelow(const std::string& root) {
    std::map<std::string, std::string> relative;
    for (const auto& [path, bytes] : everyFile(root))
        relative[fsText(std::filesystem::relative(fsPath(path), fsPath(root)))] = bytes;
    return relative;
}

} // namespace

class UnicodeFolders : public WindowTest {
  protected:
    // The favourites steps in a game folder below `parent`: what they leave there, and the
    // status lines they gave.
    std::pair<std::map<std::string, std::string>, std::vector<std::string>>
    favouritesSteps(const std::string& parent) {
        const std::string game = parent + "/";
        makeFolder(game + "platform/config");
        writeAll(game + "hl.exe", "MZ");
        writeAll(game + "platform/config/ServerBrowser.vdf",
                 readAll(fixturePath("vdf/favorites-and-history-utf8.vdf")));
        window->servers().clear();
        std::vector<std::string> said;
        dialogs.pickNext(game + "hl.exe");
        click("bbPath2HL");
        said.push_back(status());
        click("bbImportFavourites");
        said.push_back(status());
        click("bbBackUp");
        said.push_back(status());
        window->servers().addIfAbsent("127.0.0.9:27015 cstrike");
        click("bbOverwrite");
        said.push_back(status());
        const auto afterOverwrite = filesBelow(game);
        click("bbRestore");
        said.push_back(status());
        auto files = filesBelow(game);
        for (const auto& [name, bytes] : afterOverwrite)
            files["overwritten " + name] = bytes;
        return {files, said};
    }
};

TEST_F(UnicodeFolders, FavouritesStepsMakeTheSameBytesAsInAPlainFolder) {
    makeWindow();
    const auto plain = favouritesSteps(dir.file("plain/Half-Life"));
    const auto named = favouritesSteps(dir.file(kGames + "/" + kGame));
    EXPECT_EQ(named.second, plain.second);
    EXPECT_EQ(named.first, plain.first);
    EXPECT_EQ(named.second, (std::vector<std::string>{"New path to 'hl.exe' was set",
                                                      "Favourites were imported successfully.",
                                                      named.second[2], // the backup's own words
                                                      "Favourites were overwritten. You can start CS now.",
                                                      "Favourites were restored."}));
    EXPECT_GT(window->servers().count(), 1u);
}

TEST_F(UnicodeFolders, SettingsAreSavedAndReadBackInAUsersFolder) {
    const std::string settings = dir.file(kUser + "/AppData/Roaming/Quillmark/");
    env.dialogs = &dialogs;
    env.clock = &clock;
    env.settingsDir = settings; // missing until the first save makes it
    window = std::make_unique<TfmMain>(env);
    control<QLineEdit>("edExportName")->setText(QString::fromStdString(kGame + ".db2"));
    click("bbSaveSettings");
    EXPECT_EQ(status(), "Saving 'userpref.ini' complete");
    EXPECT_TRUE(isFile(settings + "userpref.ini"));
    window.reset();
    window = std::make_unique<TfmMain>(env);
    EXPECT_EQ(control<QLineEdit>("edExportName")->text().toStdString(), kGame + ".db2");
}

TEST_F(UnicodeFolders, SteamInACyrillicFolderIsFoundAndImported) {
    const std::string steam = dir.file(kGames + "/Steam");
    makeFolder(steam + "/userdata/1234/7/remote");
    writeAll(steam + "/userdata/1234/7/remote/serverbrowser_hist.vdf",
             readAll(fixturePath("steamvdf/favorites-and-history-2025.vdf")));
    makeWindow();
    control<QLineEdit>("edSteamFolder")->setText(QString::fromStdString(steam));
    emit control<QLineEdit>("edSteamFolder")->editingFinished();
    ASSERT_EQ(control<QComboBox>("cbSteamAccount")->count(), 1) << "no Steam account was found";
    click("bbSteamImport");
    EXPECT_EQ(status().rfind("Steam favourites were imported successfully", 0), 0u) << status();
    EXPECT_GT(window->servers().count(), 0u);
}

TEST_F(UnicodeFolders, ExportGoesIntoTheDocumentsFolderAndOpensAgain) {
    const std::string documents = dir.file(kUser + "/Documents/");
    makeFolder(documents);
    env.exportDir = documents;
    makeWindow();
    window->servers().addIfAbsent("127.0.0.1:27015 cstrike");
    control<QLineEdit>("edExportName")->setText(QString::fromStdString(kGame + ".db2"));
    click("bbSaveList");
    EXPECT_EQ(status(), "Exporting complete: " + absolutePath(documents + kGame + ".db2"));
    EXPECT_TRUE(isFile(documents + kGame + ".db2"));
    // A whole path typed in goes where it says, not into the documents.
    const std::string elsewhere = dir.file(kGames + "/list.db2");
    makeFolder(dir.file(kGames));
    control<QLineEdit>("edExportName")->setText(QString::fromStdString(absolutePath(elsewhere)));
    click("bbSaveList");
    EXPECT_TRUE(isFile(elsewhere)) << status();
}
