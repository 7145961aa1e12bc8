// File-system faults under every writer: a full disk, a folder that takes no file, a file
// that went away, a folder where a file should be. Each gives the writer's own message and
// leaves every file that was there byte for byte.
#include "database/DatabaseBrowser.h"
#include "database/ListExport.h"
#include "favourites/FavouritesOverwrite.h"
#include "favourites/SteamFavouritesFile.h"
#include "platform/FileError.h"
#include "platform/ProfileFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace qm;
using namespace qm::test;
namespace fs = std::filesystem;

namespace {

// Writes beyond `bytes` fail as on a full disk, for the life of the object.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, m_old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

std::vector<std::string> manyServers(int n) {
    std::vector<std::string> list;
    for (int i = 0; i < n; ++i)
        list.push_back("10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250) + ":27015 cstrike");
    return list;
}

struct Writer {
    const char* what;
    std::string file;                                         // the file it replaces, relative to the folder
    std::function<std::string(const std::string& dir)> write; // the failure message, empty on success
};

std::vector<Writer> writers() {
    const auto message = [](const Outcome& o) { return o.ok ? std::string() : o.message + " / " + o.status; };
    const auto thrown = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    return {
        {"game favourites", "platform/config/ServerBrowser.vdf",
         [=](const std::string& d) { return message(overwriteFavourites(d + "hl.exe", manyServers(3000))); }},
        {"Steam favourites", "serverbrowser_hist.vdf",
         [=](const std::string& d) {
             return message(overwriteSteamFavourites(d + "serverbrowser_hist.vdf", manyServers(3000), false));
         }},
        {"exported list", "custom.db2",
         [=](const std::string& d) {
             return thrown([&] {
                 message(exportList({d + "custom.db2", "Custom", "01/01/26"}, "3000", manyServers(3000)));
             });
         }},
        {"settings", "userpref.ini",
         [=](const std::string& d) {
             return thrown([&] {
                 ProfileFile(d + "userpref.ini").write("Options", "edPath2HL", std::string(100000, 'x'));
             });
         }},
    };
}

void layOut(const TempDir& dir) {
    fs::create_directories(dir.file("platform/config"));
    writeAll(dir.file("hl.exe"), "");
    writeAll(dir.file("platform/config/ServerBrowser.vdf"), "\"Filters\"\r\n{\r\n}\r\n");
    writeAll(dir.file("serverbrowser_hist.vdf"), "\"Filters\"\n{\n\t\"favorites\"\n\t{\n\t}\n}\n");
    writeAll(dir.file("custom.db2"), "old database");
    writeAll(dir.file("userpref.ini"), "[Options]\r\nedPath2HL=old\r\n");
}

std::map<std::string, std::string> everyFile(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files[e.path().string()] = readAll(e.path().string());
    return files;
}

} // namespace

TEST(FileFaults, AFullDiskFailsEveryWriterAndKeepsEveryFile) {
    for (const Writer& w : writers()) {
        TempDir dir;
        layOut(dir);
        const auto before = everyFile(dir.path());
        std::string failure;
        {
            const FileSizeLimit full(4096);
            failure = w.write(dir.path());
        }
        EXPECT_FALSE(failure.empty()) << w.what;
        EXPECT_EQ(everyFile(dir.path()), before) << w.what << ": " << failure;
    }
}

// A read-only game folder: neither the folder nor its files take writes, as on a disc or
// in a folder of another user's.
TEST(FileFaults, AReadOnlyFolderFailsEveryWriterAndKeepsEveryFile) {
    for (const Writer& w : writers()) {
        TempDir dir;
        layOut(dir);
        const std::string folder = fs::path(dir.file(w.file)).parent_path().string();
        ::chmod(dir.file(w.file).c_str(), 0444);
        ::chmod(folder.c_str(), 0555);
        const auto before = everyFile(dir.path());
        const std::string failure = w.write(dir.path());
        ::chmod(folder.c_str(), 0755);
        EXPECT_FALSE(failure.empty()) << w.what;
        EXPECT_EQ(everyFile(dir.path()), before) << w.what;
    }
}

TEST(FileFaults, AFileThatWentAwayOrIsAFolder) {
    TempDir dir;
    layOut(dir);
    // The favourites file removed after the game was found: nothing is made in its place.
    fs::remove(dir.file("platform/config/ServerBrowser.vdf"));
    EXPECT_EQ(overwriteFavourites(dir.file("hl.exe"), {"1.1.1.1:1 x"}).message,
              "Cannot find file. May be path to CS is incorrect.");
    EXPECT_FALSE(fs::exists(dir.file("platform/config/ServerBrowser.vdf")));
    EXPECT_TRUE(fs::is_empty(dir.file("platform/config")));

    // A database path that names a folder is refused with the file error, not read.
    fs::create_directory(dir.file("servers.db2"));
    try {
        loadDatabase(dir.file("servers.db2"));
        ADD_FAILURE() << "a folder is no database";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "File access denied");
    }
    // Steam's file where a folder stands: the message names it, the folder stays.
    fs::create_directory(dir.file("steam.vdf"));
    const Outcome steam = overwriteSteamFavourites(dir.file("steam.vdf"), {"1.1.1.1:1 x"}, false);
    EXPECT_FALSE(steam.ok);
    EXPECT_NE(steam.message.find("File access denied"), std::string::npos) << steam.message;
    EXPECT_TRUE(fs::is_directory(dir.file("steam.vdf")));
}
