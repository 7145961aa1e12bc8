#include "favourites/Backup.h"
#include "platform/FileError.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using namespace qm::test;

class BackupFiles : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directories(dir.path() + "platform/config"); }
    std::string location() const { return dir.path() + "hl.exe"; }
    std::string favourites() const { return dir.path() + "platform/config/ServerBrowser.vdf"; }
    std::string backup() const { return dir.path() + "platform/config/ServerBrowser.bak"; }
    TempDir dir;
};

TEST_F(BackupFiles, CopiesLineByLineWithCrLf) {
    writeAll(favourites(), "a\nb\r\nc");
    EXPECT_EQ(backUpFavourites(location()).status, "Backing up was successful.");
    EXPECT_EQ(readAll(backup()), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(readAll(favourites()), "a\nb\r\nc");
}

TEST_F(BackupFiles, EmptyFileGivesAnEmptyBackup) {
    writeAll(favourites(), "");
    backUpFavourites(location());
    EXPECT_EQ(readAll(backup()), "");
}

TEST_F(BackupFiles, SecondBackUpReplacesTheFirst) {
    writeAll(favourites(), "one\n");
    backUpFavourites(location());
    writeAll(favourites(), "two\n");
    backUpFavourites(location());
    EXPECT_EQ(readAll(backup()), "two\r\n");
}

TEST_F(BackupFiles, EmptyLocationIsRefused) {
    const Outcome r = backUpFavourites("");
    EXPECT_EQ(r.message, "Cannot find file. May be path to CS is incorrect.");
    EXPECT_EQ(r.status, "Backing up was unsuccessful.");
}

TEST_F(BackupFiles, MissingFavouritesThrowsAndKeepsTheOldBackup) {
    writeAll(backup(), "old\r\n");
    try {
        backUpFavourites(location());
        FAIL();
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(readAll(backup()), "old\r\n");
}

TEST_F(BackupFiles, ReadOnlyBackupIsRefusedAndKept) {
    writeAll(favourites(), "new\n");
    writeAll(backup(), "old\r\n");
    setReadOnly(backup(), true);
    EXPECT_THROW(backUpFavourites(location()), FileError);
    EXPECT_EQ(readAll(backup()), "old\r\n");
}

TEST_F(BackupFiles, RestoreMovesTheBackupBack) {
    writeAll(favourites(), "now\r\n");
    writeAll(backup(), "then\r\n");
    EXPECT_EQ(restoreFavourites(location()).status, "Favourites were restored.");
    EXPECT_EQ(readAll(favourites()), "then\r\n");
    EXPECT_FALSE(std::filesystem::exists(backup()));
    const Outcome again = restoreFavourites(location());
    EXPECT_EQ(again.message, "Cannot find file. You didn't back up.");
    EXPECT_EQ(again.status, "Previously backed-up file wasn't found.");
}

TEST_F(BackupFiles, RestoreWithoutFavouritesGivesTheBackupItsName) {
    writeAll(backup(), "then\r\n");
    restoreFavourites(location());
    EXPECT_EQ(readAll(favourites()), "then\r\n");
}

TEST_F(BackupFiles, FailedRestoreKeepsBothFilesAndSaysSo) {
    writeAll(favourites(), "now\r\n");
    writeAll(backup(), "then\r\n");
    setReadOnly(favourites(), true);
    const Outcome r = restoreFavourites(location());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, "Favourites were not restored.");
    EXPECT_NE(r.message.find("File access denied"), std::string::npos);
    EXPECT_EQ(readAll(favourites()), "now\r\n");
    EXPECT_EQ(readAll(backup()), "then\r\n");
}
