#include "tests/app/WindowTest.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSystem.h"

#include <QLineEdit>

#include <filesystem>

using namespace qm;
using namespace qm::test;

class FavouritesWindow : public WindowTest {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(game.path() + "platform/config");
        writeAll(hl(), "");
        makeWindow();
    }
    std::string hl() const { return game.path() + "hl.exe"; }
    std::string favourites() const { return game.path() + "platform/config/ServerBrowser.vdf"; }
    void browseToGame() {
        dialogs.pickNext(hl());
        click("bbPath2HL");
    }
    TempDir game;
};

TEST_F(FavouritesWindow, BrowseSetsTheLocationAndMovesTheCurrentDirectory) {
    writeAll(favourites(), "\"Filters\"\n{\n}\n");
    browseToGame();
    EXPECT_EQ(dialogs.filters.back(), std::make_pair(std::string("hl.exe"), std::string("hl.exe")));
    EXPECT_EQ(control<QLineEdit>("edPath2HL")->text().toStdString(), hl());
    EXPECT_EQ(text("lbPathHLFound"), "'hl.exe' was found");
    EXPECT_EQ(status(), "New path to 'hl.exe' was set");
    EXPECT_EQ(systemPathOf(std::filesystem::current_path().string() + "/"), systemPathOf(game.path()));
}

TEST_F(FavouritesWindow, BrowseWithoutFavouritesKeepsTheOldLocation) {
    const QString before = control<QLineEdit>("edPath2HL")->text();
    browseToGame();
    EXPECT_EQ(status(), "Error: no correct 'hl.exe' at that path");
    EXPECT_EQ(control<QLineEdit>("edPath2HL")->text(), before);
    EXPECT_EQ(text("lbPathHLFound"), "'hl.exe' not found");
}

TEST_F(FavouritesWindow, FailedBrowseAfterAGoodOneKeepsFound) {
    writeAll(favourites(), "");
    browseToGame();
    dialogs.pickNext(game.path() + "missing.exe");
    click("bbPath2HL");
    EXPECT_EQ(status(), "Error: no correct 'hl.exe' at that path");
    EXPECT_EQ(text("lbPathHLFound"), "'hl.exe' was found");
    EXPECT_EQ(control<QLineEdit>("edPath2HL")->text().toStdString(), hl());
}

TEST_F(FavouritesWindow, CancelledBrowseChangesNothing) {
    window->setStatusText("kept");
    click("bbPath2HL");
    EXPECT_EQ(status(), "kept");
}

TEST_F(FavouritesWindow, StartUpDetectionFindsAStoredLocation) {
    writeAll(favourites(), "");
    control<QLineEdit>("edPath2HL")->setText(QString::fromStdString(hl()));
    control<QCheckBox>("cbCheck4Updates")->setChecked(false);
    window->setStatusText("kept");
    window->runStartupChecks();
    EXPECT_EQ(text("lbPathHLFound"), "'hl.exe' was found");
    EXPECT_EQ(status(), "kept");
}

TEST_F(FavouritesWindow, ImportNeedsTheGameFound) {
    writeAll(favourites(), readAll(fixturePath("vdf/favorites-17-entries.vdf")));
    click("bbImportFavourites");
    EXPECT_EQ(status(), "Error: can't find 'hl.exe'");
    EXPECT_EQ(text("lbCount"), "0 server(s)");
    EXPECT_EQ(window->servers().count(), 0u);
}

TEST_F(FavouritesWindow, ImportTwiceAddsNoDuplicatesButCountsAgain) {
    writeAll(favourites(), readAll(fixturePath("vdf/favorites-17-entries.vdf")));
    browseToGame();
    click("bbImportFavourites");
    EXPECT_EQ(status(), "Favourites were imported successfully.");
    EXPECT_EQ(text("lbFavouritesCount"), "17 servers imported");
    const size_t count = window->servers().count();
    EXPECT_GT(count, 0u);
    EXPECT_EQ(text("lbCount"), std::to_string(count) + " server(s)");
    window->servers().setAllMarks(false);
    click("bbImportFavourites");
    EXPECT_EQ(text("lbFavouritesCount"), "17 servers imported");
    EXPECT_EQ(window->servers().count(), count);
    for (size_t i = 0; i < count; ++i)
        EXPECT_TRUE(window->servers().isChecked(i));
}

TEST_F(FavouritesWindow, ImportFailureShowsTheErrorAndRefreshesTheCount) {
    writeAll(favourites(), "");
    browseToGame();
    std::filesystem::remove(favourites());
    click("bbImportFavourites");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Error 1304A");
    EXPECT_EQ(dialogs.shown[0].caption, "Quillmark");
    EXPECT_EQ(status(), "Favourites were not imported");
    EXPECT_EQ(text("lbFavouritesCount"), "0 servers imported");
    EXPECT_EQ(text("lbCount"), "0 server(s)");
}

TEST_F(FavouritesWindow, OverwriteWritesTheListAndImportGivesItBack) {
    writeAll(favourites(), readAll(fixturePath("vdf/favorites-and-history-utf8.vdf")));
    browseToGame();
    window->servers().addIfAbsent("10.0.0.5:27015 cstrike");
    window->servers().addIfAbsent("9.0.0.1:27015 ");
    click("bbOverwrite");
    EXPECT_EQ(status(), "Favourites were overwritten. You can start CS now.");
    const std::string written = readAll(favourites());
    EXPECT_NE(written.find("\t\t\t\"address\"\t\t\"10.0.0.5:27015\"\r\n"), std::string::npos);
    EXPECT_NE(written.find("\t\"History\"\r\n"), std::string::npos);
    click("bbClear");
    click("bbImportFavourites");
    EXPECT_EQ(window->servers().texts(),
              (std::vector<std::string>{"10.0.0.5:27015 cstrike", "9.0.0.1:27015 "}));
    EXPECT_EQ(text("lbFavouritesCount"), "2 servers imported");
}

TEST_F(FavouritesWindow, OverwriteIntoAReadOnlyFileSaysItFailed) {
    writeAll(favourites(), "\"Filters\"\n{\n}\n");
    browseToGame();
    setReadOnly(favourites(), true);
    window->servers().addIfAbsent("10.0.0.5:27015 cstrike");
    click("bbOverwrite");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    // The true reason, with the file: the file is there, it refused the write.
    const std::string said = dialogs.shown[0].text;
    EXPECT_EQ(said.rfind("File access denied: ", 0), 0u) << said;
    EXPECT_EQ(said.substr(said.size() - 17), "ServerBrowser.vdf") << said;
    EXPECT_NE(said.find(game.path().substr(0, game.path().size() - 1)), std::string::npos) << said;
    EXPECT_EQ(status(), "Favourites were not overwritten.");
    EXPECT_EQ(readAll(favourites()), "\"Filters\"\n{\n}\n");
}

TEST_F(FavouritesWindow, BackUpAndRestoreThroughTheButtons) {
    writeAll(favourites(), "original\n");
    browseToGame();
    click("bbBackUp");
    EXPECT_EQ(status(), "Backing up was successful.");
    writeAll(favourites(), "changed\n");
    click("bbRestore");
    EXPECT_EQ(status(), "Favourites were restored.");
    EXPECT_EQ(readAll(favourites()), "original\r\n");
    click("bbRestore");
    EXPECT_EQ(dialogs.shown.back().text, "Cannot find file. You didn't back up.");
    EXPECT_EQ(status(), "Previously backed-up file wasn't found.");
}

TEST_F(FavouritesWindow, BackUpOfAMissingFileShowsTheErrorBox) {
    // The design location names no file here: the relative favourites path is missing.
    control<QLineEdit>("edPath2HL")->setText("nothing");
    window->setStatusText("kept");
    click("bbBackUp");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].error);
    EXPECT_EQ(dialogs.shown[0].text, "Invalid filename.");
    EXPECT_EQ(status(), "kept");
}

TEST_F(FavouritesWindow, BackUpWithAnEmptyLocationIsRefused) {
    control<QLineEdit>("edPath2HL")->setText("");
    click("bbBackUp");
    EXPECT_EQ(dialogs.shown.back().text, "Cannot find file. May be path to CS is incorrect.");
    EXPECT_EQ(status(), "Backing up was unsuccessful.");
}
