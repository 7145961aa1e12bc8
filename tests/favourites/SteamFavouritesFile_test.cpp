// Steam's favourites file on disk: Import, Overwrite, Back Up and Restore, bad files, and
// finding Steam and its accounts in a home folder.
#include "favourites/SteamFavouritesFile.h"
#include "favourites/SteamFavouritesText.h"
#include "favourites/SteamLocation.h"
#include "platform/ProcessList.h"
#include "tests/favourites/ServerBrowserText.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace qm;
using namespace qm::test;
namespace fs = std::filesystem;

namespace {

const std::string kRealFile = "steamvdf/favorites-and-history-2025.vdf";

unsigned modeOf(const std::string& path) {
    return fileModeOf(path);
}

void makeFolder(const std::string& path) {
    fs::create_directories(path);
}

} // namespace

TEST(SteamFavouritesFile, OverwriteKeepsTheModeAndBackUpRestoreBringTheFileBack) {
    TempDir dir;
    const std::string file = dir.file("serverbrowser_hist.vdf");
    const std::string original = readAll(fixturePath(kRealFile));
    writeAll(file, original);
    setFileMode(file, 0640);

    EXPECT_TRUE(backUpSteamFavourites(file).ok);
    EXPECT_EQ(readAll(dir.file("serverbrowser_hist.bak")), original);

    const Outcome written =
        overwriteSteamFavourites(file, {"127.0.0.1:27015 cstrike", "127.0.0.1:27015 valve", "x y"}, false);
    EXPECT_TRUE(written.ok) << written.message;
    EXPECT_EQ(written.status, "Steam favourites were overwritten (1 written, 1 repeated left out, 1 without "
                              "an IPv4 address left out). "
                              "You can start Steam now.");
    EXPECT_EQ(favouriteAddresses(readAll(file)), std::vector<std::string>{"127.0.0.1:27015"});
    if (cannotRun(Needs::UnixFileModes).empty()) {
        EXPECT_EQ(modeOf(file), 0640u);
    }
    EXPECT_EQ(filesIn(dir.path()),
              (std::vector<std::string>{"serverbrowser_hist.bak", "serverbrowser_hist.vdf"}));

    EXPECT_TRUE(restoreSteamFavourites(file, false).ok);
    EXPECT_EQ(readAll(file), original);
    EXPECT_TRUE(fs::exists(dir.file("serverbrowser_hist.bak")));
}

TEST(SteamFavouritesFile, AMissingFileIsCreatedAndReadsBack) {
    TempDir dir;
    const std::string file = dir.file("serverbrowser_hist.vdf");
    const std::vector<std::string> list = {"127.0.0.2:27016 valve", "127.0.0.1:27015 cstrike"};
    ASSERT_TRUE(overwriteSteamFavourites(file, list, false).ok);
    const FavouritesImport back = importSteamFavourites(file, "valve");
    EXPECT_TRUE(back.counted);
    EXPECT_EQ(back.entries, (std::vector<std::string>{"127.0.0.2:27016 valve", "127.0.0.1:27015 valve"}));
    EXPECT_EQ(splitAtFavourites(readAll(file)).after, "\t}\n\t\"history\"\n\t{\n\t}\n}\n");
}

TEST(SteamFavouritesFile, WhileSteamRunsNothingIsWritten) {
    TempDir dir;
    const std::string file = dir.file("serverbrowser_hist.vdf");
    const std::string original = readAll(fixturePath(kRealFile));
    writeAll(file, original);
    ASSERT_TRUE(backUpSteamFavourites(file).ok);
    writeAll(dir.file("serverbrowser_hist.bak"), "changed");

    const Outcome overwrite = overwriteSteamFavourites(file, {"127.0.0.1:27015 cstrike"}, true);
    const Outcome restore = restoreSteamFavourites(file, true);
    for (const Outcome& o : {overwrite, restore}) {
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.message, kSteamRunningMessage);
    }
    EXPECT_EQ(readAll(file), original);
}

TEST(SteamFavouritesFile, ABadFileGivesAClearMessageAndIsLeftUntouched) {
    const std::string real = readAll(fixturePath(kRealFile));
    const struct {
        const char* what;
        std::string text;
        const char* reason;
    } cases[] = {
        {"empty", "", "the file is empty"},
        {"cut short", real.substr(0, real.size() / 2), "the text ends inside the block"},
        {"unbalanced", real + "}\n", "a closing brace has no opening brace"},
        {"favourites without a block", "\"Filters\"\n{\n\t\"favorites\"\n\t\"history\"\n\t{\n\t}\n}\n",
         "the key \"favorites\" has no block: \"history\" stands where it should open (line 3)"},
        {"a block without a key", "\"Filters\"\n{\n\t{\n\t}\n}\n", "a block has no key (line 3)"},
        {"favourites with a value", "\"Filters\"\n{\n\t\"favorites\"\t\t\"1\"\n}\n",
         "its \"favorites\" key holds a value instead of a list of servers"},
        {"no Filters", "\"Other\"\n{\n}\n", "it has no \"Filters\" block"},
        {"open quote", "\"Filters\n{\n}\n", "a quoted text is not closed on its line (line 1)"},
        {"key without value", "\"Filters\"\n{\n\t\"favorites\"\n}\n",
         "the key \"favorites\" has no value (line 3)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = dir.file("serverbrowser_hist.vdf");
        writeAll(file, c.text);
        const Outcome o = overwriteSteamFavourites(file, {"127.0.0.1:27015 cstrike"}, false);
        EXPECT_FALSE(o.ok);
        EXPECT_NE(o.message.find(c.reason), std::string::npos) << o.message;
        EXPECT_NE(o.message.find(file), std::string::npos) << o.message;
        const FavouritesImport imported = importSteamFavourites(file, "cstrike");
        EXPECT_FALSE(imported.counted);
        EXPECT_NE(imported.outcome.message.find(c.reason), std::string::npos) << imported.outcome.message;
        EXPECT_EQ(readAll(file), c.text);
        EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"serverbrowser_hist.vdf"});
    }
}

TEST(SteamLocation, FoldersAndAccountsOfAHomeFolder) {
    TempDir home;
    const std::string native = home.file(".local/share/Steam");
    const std::string flatpak = home.file(".var/app/com.valvesoftware.Steam/.local/share/Steam");
    for (const char* account : {"0", "111", "222", "555"})
        makeFolder(native + "/userdata/" + account + "/7/remote");
    makeFolder(native + "/userdata/333/config"); // no favourites folder: not offered
    makeFolder(native + "/userdata/anonymous/7/remote");
    makeFolder(native + "/config");
    writeAll(native + "/config/loginusers.vdf",
             "\"users\"\n{\n\t\"76561197960265950\"\n\t{\n\t\t\"AccountName\"\t\t\"b\"\n"
             "\t\t\"PersonaName\"\t\t\"Bee\"\n\t\t\"MostRecent\"\t\t\"1\"\n\t}\n"
             "\t\"76561197960266283\"\n\t{\n\t\t\"PersonaName\"\t\t\"Mr \\\"Q\\\"\"\n\t}\n}\n");
    makeFolder(native + "/userdata/111/config");
    writeAll(
        native + "/userdata/111/config/localconfig.vdf",
        "\"UserLocalConfigStore\"\n{\n\t\"friends\"\n\t{\n\t\t\"PersonaName\"\t\t\"A \\\"y\\\"\"\n\t}\n}\n");
    makeFolder(home.file(".steam"));
    if (cannotRun(Needs::SymbolicLinks).empty()) {
        fs::create_directory_symlink(native, home.file(".steam/steam"));
        fs::create_directory_symlink(native, home.file(".steam/root"));
    }
    makeFolder(flatpak + "/userdata/444/7/remote");
    writeAll(flatpak + "/userdata/444/7/remote/serverbrowser_hist.vdf", "");

    EXPECT_EQ(findSteamFolders(steamFoldersBelowHome(home.path())),
              (std::vector<std::string>{fs::canonical(native).string(), fs::canonical(flatpak).string()}));
    const std::vector<SteamAccount> accounts = steamAccountsIn(native);
    ASSERT_EQ(accounts.size(), 4u);
    EXPECT_EQ(accounts[0].label(), "222 (Bee)"); // the most recent login first
    EXPECT_EQ(accounts[1].label(), "111 (A \"y\")");
    EXPECT_EQ(accounts[2].label(), "555 (Mr \"Q\")");
    EXPECT_EQ(accounts[3].label(), "0"); // no real account: last
    ASSERT_EQ(steamAccountsIn(flatpak).size(), 1u);
    EXPECT_EQ(steamAccountsIn(flatpak)[0].label(), "444");
    EXPECT_EQ(steamFavouritesFileOf(flatpak, "444"),
              flatpak + "/userdata/444/7/remote/serverbrowser_hist.vdf");
    EXPECT_TRUE(findSteamFolders(steamFoldersBelowHome(home.file("nowhere"))).empty());
}

TEST(SteamLocation, ARunningSteamIsFoundByItsNameAndAStalePidFileIsNot) {
    QM_SKIP_UNLESS_SYSTEM_HAS(LinuxSteamPlaces);
    TempDir home;
    makeFolder(home.file(".steam"));
    // Our own process is not Steam, whatever the pid file says.
    writeAll(home.file(".steam/steam.pid"), std::to_string(currentProcessId()) + "\n");
    ASSERT_FALSE(runningSteam(home.path(), home.file("Steam")).has_value());

    // Nor is a process whose name merely holds the word.
    fs::copy_file("/bin/sleep", home.file("notsteam"));
    setFileMode(home.file("notsteam"), 0755);
    {
        ChildProcess other({home.file("notsteam"), "30"});
        for (int i = 0; i < 200 && processName(other.pid()) != "notsteam"; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        writeAll(home.file(".steam/steam.pid"), std::to_string(other.pid()) + "\n");
        EXPECT_FALSE(runningSteam(home.path(), home.file("Steam")).has_value());
    }

    fs::copy_file("/bin/sleep", home.file("steam"));
    setFileMode(home.file("steam"), 0755);
    std::optional<int> found;
    {
        ChildProcess steam({home.file("steam"), "30"});
        for (int i = 0; i < 200 && processName(steam.pid()) != "steam"; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        found = runningSteam(home.path(), home.file("Steam"));
        EXPECT_EQ(found, std::optional<int>(steam.pid()));
    }
    EXPECT_FALSE(runningSteam(home.path(), home.file("Steam")).has_value());
}
