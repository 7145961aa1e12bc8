// The database's writer on a full disk and in a read-only folder, and a folder where a
// database should be.
#include "database/DatabaseBrowser.h"
#include "database/ListExport.h"
#include "platform/FileError.h"
#include "tests/support/FileFaults.h"

using namespace qm;
using namespace qm::test;

TEST(DatabaseFileFaults, AFullDiskOrReadOnlyFolderFailsExportAndKeepsEveryFile) {
    std::vector<std::string> list;
    for (int i = 0; i < 3000; ++i)
        list.push_back("10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250) + ":27015 cstrike");
    expectFaultsKeepEveryFile(
        {"exported list", "custom.db2", {{"custom.db2", "old database"}}, [&](const std::string& d) {
             try {
                 exportList({d + "custom.db2", "Custom", "01/01/26"}, "3000", list);
             } catch (const std::exception& e) {
                 return std::string(e.what());
             }
             return std::string();
         }});
}

TEST(DatabaseFileFaults, AFolderIsNoDatabase) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("servers.db2"));
    try {
        loadDatabase(dir.file("servers.db2"));
        ADD_FAILURE() << "a folder is no database";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "File access denied");
    }
}
