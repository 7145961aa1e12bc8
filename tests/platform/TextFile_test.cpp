#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/ProfileFile.h"
#include "platform/TextFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace qm;
using namespace qm::test;
using qm::test::readAll;
using qm::test::TempDir;
using qm::test::writeAll;

namespace {

std::vector<std::string> allLines(std::string_view text) {
    LineCursor cursor(text);
    std::vector<std::string> lines;
    while (!cursor.atEnd())
        lines.push_back(cursor.readLine());
    return lines;
}

} // namespace

TEST(LineCursor, EndsLinesAtCrLfAndLoneLf) {
    EXPECT_EQ(allLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(LineCursor, DropsALoneCr) {
    EXPECT_EQ(allLines("ab\rcd\r\n"), (std::vector<std::string>{"abcd"}));
}

TEST(LineCursor, SubstituteByteEndsTheText) {
    LineCursor cursor("one\r\ntw\x1Ao\r\nthree\r\n");
    EXPECT_EQ(cursor.readLine(), "one");
    EXPECT_EQ(cursor.readLine(), "tw");
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_EQ(cursor.readLine(), "");
}

TEST(LineCursor, ReadAtTheEndYieldsAnEmptyLine) {
    LineCursor cursor("x\r\n");
    EXPECT_EQ(cursor.readLine(), "x");
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_EQ(cursor.readLine(), "");
    EXPECT_EQ(cursor.readLine(), "");
}

TEST(LineCursor, KeepsLongLinesWhole) {
    const std::string longLine(100000, 'q');
    EXPECT_EQ(allLines(longLine + "\r\nz"), (std::vector<std::string>{longLine, "z"}));
}

// The view reader splits every text as the copying one does, reads at the end included.
TEST(LineCursor, ViewsGiveTheSameLinesAsCopies) {
    const std::string texts[] = {"a\r\nb\nc", "ab\rcd\r\n", "one\r\ntw\x1Ao\r\n",         "x\r\n", "\r",
                                 "\r\r\n\n",  "tail\r",     std::string(70, 'q') + "\rz", "",      "\x1A"};
    for (const std::string& text : texts) {
        LineCursor copies(text), views(text);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(views.atEnd(), copies.atEnd()) << testing::PrintToString(text) << " line " << i;
            EXPECT_EQ(std::string(views.readLineView()), copies.readLine())
                << testing::PrintToString(text) << " line " << i;
        }
    }
}

TEST(TextFileWriter, EndsEveryLineWithCrLf) {
    TempDir dir;
    TextFileWriter out(dir.file("t.txt"));
    out.writeLine("first");
    out.writeLine("");
    out.writeLine("last");
    out.close();
    EXPECT_EQ(readAll(dir.file("t.txt")), "first\r\n\r\nlast\r\n");
}

TEST(TextFileReader, MissingFileIsFileNotFound) {
    TempDir dir;
    try {
        TextFileReader in(dir.file("absent.txt"));
        FAIL() << "opened a missing file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), 2);
        EXPECT_STREQ(e.what(), "File not found");
    }
}

TEST(TextFileReader, MissingFolderIsInvalidFilename) {
    TempDir dir;
    try {
        TextFileReader in(dir.file("no-such-folder/x.txt"));
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), 3);
    }
}

TEST(FileErrorText, NamesEachCode) {
    EXPECT_EQ(fileErrorText(2), "File not found");
    EXPECT_EQ(fileErrorText(3), "Invalid filename");
    EXPECT_EQ(fileErrorText(4), "Too many open files");
    EXPECT_EQ(fileErrorText(5), "File access denied");
    EXPECT_EQ(fileErrorText(100), "Read beyond end of file");
    EXPECT_EQ(fileErrorText(101), "Disk full");
    EXPECT_EQ(fileErrorText(106), "Invalid numeric input");
    EXPECT_EQ(fileErrorText(32), "I/O error 32");
}

TEST(FileErrorText, MapsSystemErrors) {
    // errno on Linux; Windows gives its own codes (ERROR_ACCESS_DENIED, ERROR_DISK_FULL,
    // ERROR_TOO_MANY_OPEN_FILES, ERROR_HANDLE_DISK_FULL; a file the game holds open is
    // ERROR_SHARING_VIOLATION).
    const struct {
        int posix, windows, code;
    } cases[] = {{EACCES, 5, 5}, {EACCES, 32, 5}, {ENOSPC, 112, 101}, {EMFILE, 4, 4}, {ENOSPC, 39, 101}};
    for (const auto& c : cases)
        EXPECT_EQ(fileErrorCode(onWindows() ? c.windows : c.posix, "/x"), c.code)
            << c.posix << " " << c.windows;
}

TEST(AtomicTextFile, LeavesTheTargetUntouchedUntilCommit) {
    TempDir dir;
    writeAll(dir.file("fav.vdf"), "old\r\n");
    {
        AtomicTextFile out(dir.file("fav.vdf"));
        out.writeLine("new");
        EXPECT_EQ(readAll(dir.file("fav.vdf")), "old\r\n");
        // Leaving without commit throws the new text away.
    }
    EXPECT_EQ(readAll(dir.file("fav.vdf")), "old\r\n");
    EXPECT_FALSE(std::ifstream(dir.file("fav.vdf.part")).good());
    AtomicTextFile out(dir.file("fav.vdf"));
    out.writeLine("new");
    out.commit();
    EXPECT_EQ(readAll(dir.file("fav.vdf")), "new\r\n");
}

TEST(AtomicTextFile, RefusesAReadOnlyTarget) {
    TempDir dir;
    writeAll(dir.file("fav.vdf"), "old\r\n");
    setReadOnly(dir.file("fav.vdf"), true);
    try {
        AtomicTextFile out(dir.file("fav.vdf"));
        out.writeLine("new");
        out.commit();
        FAIL() << "wrote over a read-only file";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_EQ(readAll(dir.file("fav.vdf")), "old\r\n");
}

TEST(ReadFileBytes, OnlyRegularFilesOfASaneSizeAreRead) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    std::vector<const char*> names{"folder"};
    if (cannotRun(Needs::Fifos).empty()) {
        ASSERT_TRUE(makeFifo(dir.file("fifo")));
        std::filesystem::create_symlink("/dev/zero", dir.file("zero"));
        names.insert(names.end(), {"fifo", "zero"});
    }
    // Each would block or never end if it were read like a file.
    for (const char* name : names)
        EXPECT_THROW(readFileBytes(dir.file(name)), FileError) << name;
    // A settings file that is a FIFO reads as a missing one: every key its default.
    EXPECT_EQ(ProfileFile(dir.file("fifo")).read("Options", "edLanguage", "English"), "English");
    { std::ofstream big(dir.file("big")); }
    std::filesystem::resize_file(dir.file("big"), kMaxReadBytes + 1);
    try {
        readFileBytes(dir.file("big"));
        ADD_FAILURE() << "an oversized file was read";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), kTooLargeText);
    }
}

// The stream reads a file in blocks; its lines are the cursor's, even where a CR LF or a
// lone CR falls on the edge of a block, whether they are read as copies or as views.
TEST(TextFileStream, GivesTheSameLinesAsTheCursor) {
    const size_t block = 1 << 16;
    // Short lines that run over many blocks, each end and a lone CR landing on every offset.
    std::string manyLines;
    for (int i = 0; manyLines.size() < 3 * block; ++i)
        manyLines += "10.0." + std::to_string(i) + ".1:27015 cstrike" + (i % 7 == 0 ? "\r" : "") +
                     (i % 3 == 0 ? "\n" : "\r\n");
    std::vector<std::string> texts = {
        "",
        "a",
        "a\r\nb\nc",
        "a\rb\r\r\n",
        "x\x1Ay\n",
        "end\n\n",
        std::string(block - 1, 'a') + "\r\nb",
        std::string(block - 1, 'a') + "\rb",
        std::string(block, 'a') + "\nb\r",
        std::string(3 * block + 5, 'q') + "\r\n" + std::string(block, 'r'),
        manyLines,
        manyLines.substr(0, block + 100) + "\x1A" + manyLines,
        std::string(block - 1, 'a') + "\x1A",
    };
    TempDir dir;
    for (const bool views : {false, true})
        for (const std::string& text : texts) {
            writeAll(dir.file("f.txt"), text);
            LineCursor cursor(text);
            TextFileStream stream(dir.file("f.txt"));
            while (!cursor.atEnd()) {
                ASSERT_FALSE(stream.atEnd()) << text.size();
                const std::string line = views ? std::string(stream.readLineView()) : stream.readLine();
                ASSERT_EQ(line, cursor.readLine()) << text.size() << (views ? " views" : " copies");
            }
            EXPECT_TRUE(stream.atEnd()) << text.size();
            EXPECT_EQ(views ? std::string(stream.readLineView()) : stream.readLine(), "");
        }
    if (cannotRun(Needs::Fifos).empty()) {
        ASSERT_TRUE(makeFifo(dir.file("fifo")));
        EXPECT_THROW(TextFileStream(dir.file("fifo")), FileError);
    }
}
