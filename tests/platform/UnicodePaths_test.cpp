// Paths in any language: folders and files named in Cyrillic, Chinese and Greek are made,
// written, read, listed and named back whole, through the same calls the program uses.
#include "platform/AtomicFile.h"
#include "platform/FsPath.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using namespace qm::test;

namespace {

// UTF-8 bytes, so that the source's own encoding plays no part.
const char* const kFolders[] = {
    "\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B/"
    "\xD0\x9A\xD0\xBE\xD0\xBD\xD1\x82\xD1\x80-\xD0\xA1\xD1\x82\xD1\x80\xD0\xB0"
    "\xD0\xB9\xD0\xBA \xE5\x8F\x8D\xE6\x81\x90\xE7\xB2\xBE\xE8\x8B\xB1", // Игры/Контр-Страйк 反恐精英
    "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC", // Ελληνικά
    "plain ascii",
};

} // namespace

TEST(UnicodePaths, FolderAndFilesKeepTheirNamesWhole) {
    for (const char* name : kFolders) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string folder = dir.file(name) + "/";
        ASSERT_TRUE(std::filesystem::create_directories(fsPath(folder)));
        EXPECT_EQ(fsText(fsPath(folder)), folder); // there and back, byte for byte

        const std::string file =
            folder + "\xD1\x81\xD0\xBF\xD0\xB8\xD1\x81\xD0\xBE\xD0\xBA.txt"; // список.txt
        AtomicTextFile out(file);
        out.writeLine("127.0.0.1:27015 cstrike");
        out.commit();
        EXPECT_TRUE(isFile(file));
        EXPECT_TRUE(std::filesystem::is_regular_file(fsPath(file)));
        TextFileStream in(file);
        EXPECT_EQ(in.readLine(), "127.0.0.1:27015 cstrike");
        EXPECT_EQ(filesIn(folder),
                  (std::vector<std::string>{"\xD1\x81\xD0\xBF\xD0\xB8\xD1\x81\xD0\xBE\xD0\xBA.txt"}));
        // Messages name the file as it is, in the system's own separators.
        EXPECT_EQ(systemPathOf(absolutePath(file)), systemPathOf(file));
        EXPECT_TRUE(folderTakesWrites(folder));
        CurrentDirectory here(dir.path());
        moveCurrentDirectoryTo(file);
        EXPECT_EQ(systemPathOf(fsText(std::filesystem::current_path()) + "/"), systemPathOf(folder));
    }
}

TEST(UnicodePaths, FolderOfAndAbsolutenessReadEitherSeparator) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"/games/hl.exe", "/games"},
        {"C:\\Games\\Half-Life\\hl.exe", "C:\\Games\\Half-Life"},
        {"C:/Games/Half-Life/hl.exe", "C:/Games/Half-Life"},
        {"C:\\Games/mixed\\hl.exe", "C:\\Games/mixed"},
        {"hl.exe", "."},
        {"/hl.exe", "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(folderOf(c.path), c.folder) << c.path;
    EXPECT_FALSE(isAbsolutePath("custom.db2"));
    EXPECT_FALSE(isAbsolutePath(""));
    EXPECT_TRUE(isAbsolutePath(fsText(std::filesystem::current_path())));
    EXPECT_EQ(isAbsolutePath("C:\\Users\\x\\custom.db2"), onWindows());
    EXPECT_EQ(isAbsolutePath("/home/x/custom.db2"), !onWindows());
}
