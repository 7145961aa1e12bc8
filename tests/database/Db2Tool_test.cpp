#include "platform/FsPath.h"
#include "platform/Paths.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace qm;
using namespace qm::test;

namespace {
int tool(const std::string& args) {
    return std::system((std::string(QM_DB2TOOL) + " " + args + " 2>/dev/null").c_str());
}
} // namespace

TEST(Db2Tool, RoundTripsTheSampleDatabaseByteForByte) {
    TempDir dir;
    ASSERT_EQ(tool("decode " QM_SAMPLE_DB " " + dir.file("s.txt")), 0);
    EXPECT_NE(readAll(dir.file("s.txt")).find("/Germany\r\n"), std::string::npos);
    ASSERT_EQ(tool("encode " + dir.file("s.txt") + " " + dir.file("s.db2")), 0);
    EXPECT_EQ(readAll(dir.file("s.db2")), readAll(QM_SAMPLE_DB));
}

// "-" is standard input or output, so that the tool goes in a pipe.
TEST(Db2Tool, ADashIsStandardInputOrOutput) {
    TempDir dir;
    const std::string db2tool = QM_DB2TOOL;
    ASSERT_EQ(std::system((db2tool + " decode - - < " QM_SAMPLE_DB " | " + db2tool + " encode - - > " +
                           dir.file("piped.db2"))
                              .c_str()),
              0);
    EXPECT_EQ(readAll(dir.file("piped.db2")), readAll(QM_SAMPLE_DB));
    ASSERT_EQ(tool("decode " QM_SAMPLE_DB " - > " + dir.file("s.txt")), 0);
    EXPECT_NE(readAll(dir.file("s.txt")).find("/Germany\r\n"), std::string::npos);
    EXPECT_NE(std::system((db2tool + " encode - " + dir.file("o.db2") + " < /dev/null 2>/dev/null").c_str()),
              0);
    EXPECT_FALSE(isFile(dir.file("o.db2")));
}

TEST(Db2Tool, RefusesBadInput) {
    TempDir dir;
    writeAll(dir.file("bad.txt"), "Not a database\n");
    EXPECT_NE(tool("encode " + dir.file("bad.txt") + " " + dir.file("o.db2")), 0);
    writeAll(dir.file("short.txt"), "Quillmark\n1\n");
    EXPECT_NE(tool("encode " + dir.file("short.txt") + " " + dir.file("o.db2")), 0);
    writeAll(dir.file("unsafe.txt"), "Quillmark\n1\nd\n1\n/Custom build\n\xD8\n");
    EXPECT_NE(tool("encode " + dir.file("unsafe.txt") + " " + dir.file("o.db2")), 0);
    EXPECT_NE(tool("decode " + dir.file("bad.txt") + " " + dir.file("o.txt")), 0);
    EXPECT_NE(tool("decode " + dir.file("missing.db2") + " " + dir.file("o.txt")), 0);
    EXPECT_NE(tool("frobnicate a b"), 0);
}

// A failure of the file written names that file, not the one read; an existing database
// is replaced whole (on Windows through ReplaceFileW, also for a path without a drive).
TEST(Db2Tool, ReplacesAnExistingDatabaseAndNamesTheFileItCannotWrite) {
    TempDir dir;
    ASSERT_EQ(tool("decode " QM_SAMPLE_DB " " + dir.file("s.txt")), 0);
    writeAll(dir.file("s.db2"), "old");
    ASSERT_EQ(tool("encode " + dir.file("s.txt") + " " + dir.file("s.db2")), 0);
    EXPECT_EQ(readAll(dir.file("s.db2")), readAll(QM_SAMPLE_DB));

    writeAll(dir.file("ro.db2"), "old");
    setReadOnly(dir.file("ro.db2"), true);
    const std::string db2tool = QM_DB2TOOL;
    EXPECT_NE(std::system((db2tool + " encode " + dir.file("s.txt") + " " + dir.file("ro.db2") + " 2> " +
                           dir.file("err.txt"))
                              .c_str()),
              0);
    // Standard error is text on Windows: its line ends in CR LF there.
    std::string said = readAll(dir.file("err.txt"));
    std::erase(said, '\r');
    EXPECT_EQ(said, "db2tool: " + systemPathOf(dir.file("ro.db2")) + ": File access denied\n");
    EXPECT_EQ(readAll(dir.file("ro.db2")), "old");
}

// Paths in any language reach the tool whole (on Windows through its wide command line).
TEST(Db2Tool, PathsInAnyLanguageRoundTrip) {
    TempDir dir;
    const std::string folder =
        dir.file("\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B \xE5\x8F\x8D\xE6\x81\x90"); // Игры 反恐
    std::filesystem::create_directories(fsPath(folder));
    const std::string text = folder + "/\xD0\xB1\xD0\xB0\xD0\xB7\xD0\xB0.txt"; // база.txt
    const std::string db2 = folder + "/\xD0\xB1\xD0\xB0\xD0\xB7\xD0\xB0.db2";
    const std::string db2tool = systemPathOf(onWindows() ? "Z:" + std::string(QM_DB2TOOL) : QM_DB2TOOL);
    const std::string sample = systemPathOf(onWindows() ? "Z:" QM_SAMPLE_DB : QM_SAMPLE_DB);
    ASSERT_EQ(runCommandLine("\"" + db2tool + "\" decode \"" + sample + "\" \"" + text + "\""), 0);
    ASSERT_EQ(runCommandLine("\"" + db2tool + "\" encode \"" + text + "\" \"" + db2 + "\""), 0);
    EXPECT_EQ(readAll(db2), readAll(QM_SAMPLE_DB));
    // A file that is not there is named whole in the message.
    const std::string said = folder + "/said.txt";
    EXPECT_EQ(runCommandLine("\"" + db2tool + "\" decode \"" + folder + "/\xD0\xBD\xD0\xB5\xD1\x82.db2\" \"" +
                             text + "\" 2> \"" + said + "\""),
              1);
    EXPECT_NE(readAll(said).find("\xD0\xBD\xD0\xB5\xD1\x82.db2"), std::string::npos) << readAll(said);
}
