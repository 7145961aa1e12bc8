// The favourites writers on a full disk, in a read-only folder, and where their file went
// away or a folder stands: each gives its message and leaves every file byte for byte.
#include "favourites/FavouritesOverwrite.h"
#include "favourites/SteamFavouritesFile.h"
#include "tests/support/FileFaults.h"

using namespace qm;
using namespace qm::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> manyServers(int n) {
    std::vector<std::string> list;
    for (int i = 0; i < n; ++i)
        list.push_back("10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250) + ":27015 cstrike");
    return list;
}

std::string failureOf(const Outcome& o) {
    return o.ok ? std::string() : o.message + " / " + o.status;
}

} // namespace

TEST(FavouritesFileFaults, AFullDiskOrReadOnlyFolderFailsTheWriteAndKeepsEveryFile) {
    const FileWriter writers[] = {
        {"game favourites",
         "platform/config/ServerBrowser.vdf",
         {{"hl.exe", ""}, {"platform/config/ServerBrowser.vdf", "\"Filters\"\r\n{\r\n}\r\n"}},
         [](const std::string& d) {
             return failureOf(overwriteFavourites(d + "hl.exe", manyServers(3000)));
         }},
        {"Steam favourites",
         "serverbrowser_hist.vdf",
         {{"serverbrowser_hist.vdf", "\"Filters\"\n{\n\t\"favorites\"\n\t{\n\t}\n}\n"}},
         [](const std::string& d) {
             return failureOf(
                 overwriteSteamFavourites(d + "serverbrowser_hist.vdf", manyServers(3000), false));
         }},
    };
    for (const FileWriter& w : writers)
        expectFaultsKeepEveryFile(w);
}

TEST(FavouritesFileFaults, AFileThatWentAwayOrIsAFolder) {
    TempDir dir;
    fs::create_directories(dir.file("platform/config"));
    writeAll(dir.file("hl.exe"), "");
    // The favourites file removed after the game was found: nothing is made in its place.
    EXPECT_EQ(overwriteFavourites(dir.file("hl.exe"), {"1.1.1.1:1 x"}).message,
              "Cannot find file. May be path to CS is incorrect.");
    EXPECT_TRUE(fs::is_empty(dir.file("platform/config")));
    // Steam's file where a folder stands: the message names it, the folder stays.
    fs::create_directory(dir.file("steam.vdf"));
    const Outcome steam = overwriteSteamFavourites(dir.file("steam.vdf"), {"1.1.1.1:1 x"}, false);
    EXPECT_FALSE(steam.ok);
    EXPECT_NE(steam.message.find("File access denied"), std::string::npos) << steam.message;
    EXPECT_TRUE(fs::is_directory(dir.file("steam.vdf")));
}
