#include "platform/Paths.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
