// Where the settings live: beside a portable program, in the user's config folder for an
// installed one, and every read and save of the window going there.
#include "app/ProgramFolders.h"
#include "platform/FsPath.h"
#include "tests/app/WindowTest.h"

#include <QLineEdit>

#include "tests/support/TestSystem.h"

#include <filesystem>

using namespace qm;
using namespace qm::test;
namespace fs = std::filesystem;

namespace {

unsigned modeOf(const std::string& path) {
    return fileModeOf(path);
}

} // namespace

TEST(ProgramFolders, PortableBesideTheProgramInstalledInTheConfigFolder) {
    QM_SKIP_UNLESS_SYSTEM_HAS(UnixFileModes);
    TempDir dir;
    fs::create_directories(dir.file("usr/bin"));
    fs::create_directories(dir.file("usr/share/quillmark"));
    const ProgramFolders portable = locateProgramFolders(dir.file("usr/bin/"), "/xdg", "/home/u");
    EXPECT_TRUE(portable.portable);
    EXPECT_EQ(portable.settingsDir, dir.file("usr/bin/"));
    // Installed into a prefix of the user's own: bin/ takes writes, share/ has the files.
    writeAll(dir.file("usr/share/quillmark/index.html"), "<html/>");
    EXPECT_FALSE(locateProgramFolders(dir.file("usr/bin/"), "/xdg", "/home/u").portable);
    fs::remove(dir.file("usr/share/quillmark/index.html"));

    setReadOnly(dir.file("usr/bin"), true);
    const struct {
        const char* xdg;
        std::string settings;
    } cases[] = {{"/xdg/config", "/xdg/config/quillmark/"},
                 {nullptr, "/home/u/.config/quillmark/"},
                 {"", "/home/u/.config/quillmark/"},
                 {"relative/config", "/home/u/.config/quillmark/"}};
    for (const auto& c : cases) {
        const ProgramFolders installed = locateProgramFolders(dir.file("usr/bin"), c.xdg, "/home/u");
        EXPECT_FALSE(installed.portable);
        EXPECT_EQ(installed.settingsDir, c.settings) << (c.xdg ? c.xdg : "(unset)");
        EXPECT_EQ(installed.dataDir, fs::canonical(dir.file("usr/share/quillmark")).string() + "/");
    }
    setReadOnly(dir.file("usr/bin"), false);
}

// An installed tree whose folders are named in Cyrillic (a user named Игорь on Windows):
// found as installed, its shared files' folder named whole.
TEST(ProgramFolders, AnInstalledTreeInACyrillicFolderIsFoundWhole) {
    TempDir dir;
    const std::string root =
        dir.file("\xD0\x98\xD0\xB3\xD0\xBE\xD1\x80\xD1\x8C/Programs/Quillmark/"); // Игорь
    fs::create_directories(fsPath(root + "bin"));
    fs::create_directories(fsPath(root + "share/quillmark"));
    writeAll(root + "share/quillmark/index.html", "<html/>");
    const ProgramFolders installed = locateProgramFolders(root + "bin/", "/xdg", dir.file("home"));
    EXPECT_FALSE(installed.portable);
    EXPECT_EQ(systemPathOf(installed.dataDir), systemPathOf(root + "share/quillmark/"));
    EXPECT_NE(installed.dataDir.find("\xD0\x98\xD0\xB3\xD0\xBE\xD1\x80\xD1\x8C"), std::string::npos);
}

class InstalledSettings : public WindowTest {};

TEST_F(InstalledSettings, TheWindowReadsAndSavesInTheConfigFolderMadeOnTheFirstSave) {
    QM_SKIP_UNLESS_SYSTEM_HAS(UnixFileModes);
    fs::create_directories(dir.file("usr/bin"));
    setReadOnly(dir.file("usr/bin"), true);
    const std::string xdg = dir.file("config");
    const ProgramFolders folders = locateProgramFolders(dir.file("usr/bin"), xdg.c_str(), dir.file("home"));
    setReadOnly(dir.file("usr/bin"), false);
    env.dialogs = &dialogs;
    env.clock = &clock;
    env.settingsDir = folders.settingsDir;
    window = std::make_unique<TfmMain>(env);
    EXPECT_FALSE(fs::exists(xdg)) << "nothing is made before a save";

    control<QLineEdit>("edExportBuild")->setText("Kept");
    click("bbSaveSettings");
    const std::string file = xdg + "/quillmark/userpref.ini";
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(modeOf(xdg + "/quillmark"), 0700u);
    EXPECT_FALSE(fs::exists(dir.file("userpref.ini")));

    // The next start reads it; the end-of-run save writes it again.
    window.reset();
    window = std::make_unique<TfmMain>(env);
    EXPECT_EQ(control<QLineEdit>("edExportBuild")->text().toStdString(), "Kept");
    control<QLineEdit>("edExportBuild")->setText("Changed");
    window.reset();
    EXPECT_NE(readAll(file).find("edExportBuild=Changed"), std::string::npos);
}

TEST(ProgramFolders, TheDocumentsFolderIsXdgsOrHome) {
    const struct {
        const char* userDirs;
        const char* documents;
    } cases[] = {
        {"# made by "
         "xdg-user-dirs\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n",
         "/home/u/Dokumente"},
        {"XDG_DOCUMENTS_DIR=\"/data/docs\"\r\n", "/data/docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", "/home/u"},
        {"XDG_DOCUMENTS_DIR=\"docs\"\n", "/home/u"},
        {"", "/home/u"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(documentsFolder(c.userDirs, "/home/u"), c.documents) << c.userDirs;
}

// Installed, the current folder moves with every file pick: the help page, the sample
// database and a bare export name must not depend on it.
TEST_F(InstalledSettings, HelpSampleDatabaseAndExportDoNotHangOnTheCurrentFolder) {
    fs::create_directories(dir.file("share"));
    fs::create_directories(dir.file("Documents"));
    fs::create_directories(dir.file("elsewhere"));
    writeAll(dir.file("share/index.html"), "<html/>");
    env.dataDir = dir.file("share/");
    env.exportDir = dir.file("Documents/");
    makeWindow();
    ASSERT_EQ(::chdir(dir.file("elsewhere").c_str()), 0);
    click("bbOpenHelp");
    EXPECT_EQ(dialogs.opened, std::vector<std::string>{dir.file("share/index.html")});
    click("bbOpenDB");
    dialogs.pickNext(dir.file("elsewhere/mine.db2"));
    click("bbOpenDB");
    click("bbOpenDB");
    EXPECT_EQ(dialogs.fileDialogStarts,
              (std::vector<std::string>{dir.file("share/"), dir.file("share/"), dir.file("elsewhere")}));
    dialogs.shown.clear();
    click("bbSaveList");
    EXPECT_TRUE(isFile(dir.file("Documents/custom.db2")))
        << (dialogs.shown.empty() ? "" : dialogs.shown[0].text);
    EXPECT_FALSE(isFile(dir.file("elsewhere/custom.db2")));
}
