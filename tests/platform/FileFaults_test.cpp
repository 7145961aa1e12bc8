// The settings file on a full disk and in a read-only folder: the write fails and the
// file stays byte for byte.
#include "platform/ProfileFile.h"
#include "tests/support/FileFaults.h"

using namespace qm;
using namespace qm::test;

TEST(SettingsFileFaults, AFullDiskOrReadOnlyFolderFailsTheWriteAndKeepsTheFile) {
    expectFaultsKeepEveryFile(
        {"settings",
         "userpref.ini",
         {{"userpref.ini", "[Options]\r\nedPath2HL=old\r\n"}},
         [](const std::string& d) {
             try {
                 ProfileFile(d + "userpref.ini").write("Options", "edPath2HL", std::string(100000, 'x'));
             } catch (const std::exception& e) {
                 return std::string(e.what());
             }
             return std::string();
         }});
}
