#include "favourites/GameLocation.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;

TEST(GameDirectory, IsTheTextUpToTheFirstHlExe) {
    EXPECT_EQ(gameDirectory("C:\\Games\\Half-Life\\hl.exe"), "C:\\Games\\Half-Life\\");
    EXPECT_EQ(gameDirectory("C:\\hl.exe.old\\hl.exe"), "C:\\");
}

TEST(GameDirectory, IsEmptyWithoutHlExe) {
    EXPECT_EQ(gameDirectory(""), "");
    EXPECT_EQ(gameDirectory("C:\\Games\\HL.EXE"), "");
    EXPECT_EQ(favouritesFileOf("C:\\Games\\HL.EXE"), "platform\\config\\ServerBrowser.vdf");
}

TEST(GameDirectory, DerivesTheThreeFiles) {
    EXPECT_EQ(favouritesFileOf("D:\\hl.exe"), "D:\\platform\\config\\ServerBrowser.vdf");
    EXPECT_EQ(backupFileOf("D:\\hl.exe"), "D:\\platform\\config\\ServerBrowser.bak");
}

TEST(GameLocationCheck, NeedsTheFileAndTheFavouritesBesideIt) {
    qm::test::TempDir dir;
    const std::string hl = dir.path() + "hl.exe";
    qm::test::writeAll(hl, "");
    EXPECT_FALSE(isGameLocation(hl));
    std::filesystem::create_directories(dir.path() + "platform/config");
    qm::test::writeAll(dir.path() + "platform/config/ServerBrowser.vdf", "");
    EXPECT_TRUE(isGameLocation(hl));
    EXPECT_FALSE(isGameLocation(dir.path()));
    EXPECT_FALSE(isGameLocation(""));
}

TEST(GameLocationCheck, ALocationWithoutHlExeUsesTheCurrentDirectory) {
    qm::test::TempDir dir;
    qm::test::CurrentDirectory cwd(dir.path());
    qm::test::writeAll("HL.EXE", "");
    EXPECT_FALSE(isGameLocation("HL.EXE"));
    std::filesystem::create_directories("platform/config");
    qm::test::writeAll("platform/config/ServerBrowser.vdf", "");
    EXPECT_TRUE(isGameLocation("HL.EXE"));
}
