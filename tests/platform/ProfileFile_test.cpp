#include "platform/FileError.h"
#include "platform/ProfileFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <array>

using namespace qm;
using namespace qm::test;

TEST(ProfileFile, MissingFileGivesDefaultsAndTheFirstWriteCreatesIt) {
    TempDir dir;
    ProfileFile f(dir.file("u.ini"));
    EXPECT_EQ(f.read("Options", "edPath2HL", "dflt"), "dflt");
    f.write("Options", "edPath2HL", "C:\\hl.exe");
    EXPECT_EQ(readAll(dir.file("u.ini")), "[Options]\r\nedPath2HL=C:\\hl.exe\r\n");
    EXPECT_EQ(ProfileFile(dir.file("u.ini")).read("Options", "edPath2HL", "dflt"), "C:\\hl.exe");
}

TEST(ProfileFile, PresentEmptyValueIsNotTheDefault) {
    TempDir dir;
    writeAll(dir.file("u.ini"), "[Update]\nedProxyPort=\n");
    EXPECT_EQ(ProfileFile(dir.file("u.ini")).read("Update", "edProxyPort", "x"), "");
}

TEST(ProfileFile, NamesIgnoreCaseAndEdgeBlanks) {
    TempDir dir;
    writeAll(dir.file("u.ini"), "[ options ]\nCBSAVEONEXIT = 0\n");
    ProfileFile f(dir.file("u.ini"));
    EXPECT_EQ(f.read(" Options", "cbSaveOnExit", "1"), "0");
    f.write(" Options", "cbSaveOnExit", "1");
    EXPECT_EQ(readAll(dir.file("u.ini")), "[ options ]\r\ncbSaveOnExit=1\r\n");
}

TEST(ProfileFile, QuotesKeepEdgeBlanks) {
    TempDir dir;
    ProfileFile f(dir.file("u.ini"));
    f.write("S", "k", "  padded ");
    f.write("S", "q", "\"quoted\"");
    ProfileFile again(dir.file("u.ini"));
    EXPECT_EQ(again.read("S", "k", ""), "  padded ");
    EXPECT_EQ(again.read("S", "q", ""), "\"quoted\"");
}

TEST(ProfileFile, LongValuesComeBackCut) {
    TempDir dir;
    ProfileFile f(dir.file("u.ini"));
    f.write("S", "k", std::string(3000, 'v'));
    EXPECT_EQ(ProfileFile(dir.file("u.ini")).read("S", "k", ""), std::string(2047, 'v'));
}

TEST(ProfileFile, WritingKeepsEveryOtherLine) {
    TempDir dir;
    writeAll(dir.file("u.ini"), "; my notes\n[Options]\nedLanguage=English\nmine=1\n\n[Other]\nx=y\n");
    ProfileFile f(dir.file("u.ini"));
    f.write("Options", "edLanguage", "Deutsch");
    f.write("Options", "edExportName", "a.db2");
    f.write("Update", "edProxyPort", "8080");
    EXPECT_EQ(readAll(dir.file("u.ini")),
              "; my notes\r\n[Options]\r\nedLanguage=Deutsch\r\nmine=1\r\n"
              "edExportName=a.db2\r\n\r\n[Other]\r\nx=y\r\n[Update]\r\nedProxyPort=8080\r\n");
}

TEST(ProfileFile, CommentsAreNotKeys) {
    TempDir dir;
    writeAll(dir.file("u.ini"), "[S]\n;k=commented\nk=real\n");
    EXPECT_EQ(ProfileFile(dir.file("u.ini")).read("S", "k", ""), "real");
}

TEST(ProfileFile, ReadOnlyFileRefusesTheWriteAndStaysIntact) {
    TempDir dir;
    writeAll(dir.file("u.ini"), "[S]\nk=old\n");
    setReadOnly(dir.file("u.ini"), true);
    ProfileFile f(dir.file("u.ini"));
    EXPECT_THROW(f.write("S", "k", "new"), FileError);
    EXPECT_EQ(readAll(dir.file("u.ini")), "[S]\nk=old\n");
}

// Many keys set and saved at once give the file that writing them one by one gives; nothing
// reaches the file before the save.
TEST(ProfileFile, KeysSetThenSavedAtOnceMatchOneByOne) {
    TempDir dir;
    const std::string start = "; mine\r\n[Options]\r\nedPath2HL=old\r\n\r\n[Update]\r\nedProxy=p\r\n";
    writeAll(dir.file("batch.ini"), start);
    writeAll(dir.file("single.ini"), start);
    const std::vector<std::array<const char*, 3>> values = {{"Options", "edPath2HL", "C:\\hl.exe"},
                                                            {"update", "edProxyPort", " 8080 "},
                                                            {"New", "k", ""},
                                                            {"Options", "cbSaveOnExit", "1"}};
    ProfileFile batch(dir.file("batch.ini")), single(dir.file("single.ini"));
    for (const auto& [section, key, value] : values) {
        batch.set(section, key, value);
        single.write(section, key, value);
    }
    EXPECT_EQ(readAll(dir.file("batch.ini")), start);
    batch.save();
    EXPECT_EQ(readAll(dir.file("batch.ini")), readAll(dir.file("single.ini")));
}
