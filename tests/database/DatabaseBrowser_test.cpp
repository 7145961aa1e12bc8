#include "database/DatabaseBrowser.h"
#include "database/Db2Format.h"
#include "database/ListExport.h"
#include "platform/FileError.h"
#include "platform/LineBreak.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "tests/database/DatabaseTestFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace qm;
using namespace qm::test;

class DatabaseFiles : public ::testing::Test {
  protected:
    std::string db() const { return dir.file("t.db2"); }
    TempDir dir;
};

TEST_F(DatabaseFiles, LoadReadsTheHeaderAndTheMarkers) {
    writeDatabase(db(), {"Quillmark", "42", "01/02/03", "3", "/Germany", "1.1.1.1:1 a", "/", "2.2.2.2:2 b",
                         "x/y", "/Last"});
    const auto s = loadDatabase(db());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->build, "42");
    EXPECT_EQ(s->date, "01/02/03");
    EXPECT_EQ(s->count, "3");
    // "/" alone is a country with an empty name; the last line is never examined.
    EXPECT_EQ(s->countries, (std::vector<std::string>{"Germany", ""}));
}

TEST_F(DatabaseFiles, OnlyTheExactProductNameIsADatabase) {
    for (const char* first : {"quillmark", "Quillmark ", "QUILLMARK", ""}) {
        writeDatabase(db(), {first, "1", "2", "3"});
        EXPECT_FALSE(loadDatabase(db())) << first;
    }
}

TEST_F(DatabaseFiles, HeaderOnlyFileLoadsEmpty) {
    writeDatabase(db(), {"Quillmark"});
    const auto s = loadDatabase(db());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->build, "");
    EXPECT_TRUE(s->countries.empty());
}

TEST_F(DatabaseFiles, MissingFileIsAFileError) {
    EXPECT_THROW(loadDatabase(db()), FileError);
}

TEST_F(DatabaseFiles, AddTakesTheEntriesOfTheFirstMatchingMarker) {
    writeDatabase(db(), {"Quillmark", "1", "d", "4", "/Spain", "1.1.1.1:1 a", "/Italy", "2.2.2.2:2 b",
                         "/Spain", "3.3.3.3:3 c", "4.4.4.4:4 d"});
    EXPECT_EQ(countryEntries(db(), "Spain"), std::vector<std::string>{"1.1.1.1:1 a"});
    EXPECT_EQ(countryEntries(db(), "spain"), std::vector<std::string>{});
    EXPECT_EQ(countryEntries(db(), "Nowhere"), std::vector<std::string>{});
}

TEST_F(DatabaseFiles, EntriesRunToTheEndOfTheFile) {
    writeDatabase(db(), {"Quillmark", "1", "d", "2", "/Spain", "1.1.1.1:1 a", "2.2.2.2:2 b"});
    EXPECT_EQ(countryEntries(db(), "Spain"), (std::vector<std::string>{"1.1.1.1:1 a", "2.2.2.2:2 b"}));
}

TEST_F(DatabaseFiles, TheSearchSkipsOnlyTheFirstCharacterOfEveryLine) {
    // "uillmark" matches line 0 from its second character on: the header lines follow.
    writeDatabase(db(), {"Quillmark", "7", "d", "0", "/A"});
    EXPECT_EQ(countryEntries(db(), "uillmark"), (std::vector<std::string>{"7", "d", "0"}));
}

TEST_F(DatabaseFiles, ExportOfAnEmptyListGivesFiveLinesAndNoCountry) {
    const Outcome r = exportList({db(), "custom", "00/00/00"}, "0 server(s)", {});
    EXPECT_EQ(r.status, "Exporting complete: " + absolutePath(db()));
    Db2Reader in(db());
    std::vector<std::string> lines;
    while (!in.atEnd())
        lines.push_back(in.readLine());
    EXPECT_EQ(lines, (std::vector<std::string>{"Quillmark", "custom", "00/00/00", "0", "/Custom build"}));
    EXPECT_TRUE(loadDatabase(db())->countries.empty());
}

TEST_F(DatabaseFiles, ExportTakesTheCountFromTheLabel) {
    exportList({db(), "b", "d"}, "12 server(s)", {"1.1.1.1:1 a"});
    EXPECT_EQ(loadDatabase(db())->count, "12");
    exportList({db(), "b", "d"}, "nothing", {"1.1.1.1:1 a"});
    EXPECT_EQ(loadDatabase(db())->count, "");
}

TEST_F(DatabaseFiles, ExportThenAddGivesBackEveryEntry) {
    const std::vector<std::string> entries = {"10.0.0.5:27015 cstrike", "9.0.0.1:27015 ", "1.2.3.4:5 a b"};
    exportList({db(), "  ", "d"}, "3 server(s)", entries);
    const auto s = loadDatabase(db());
    EXPECT_EQ(s->build, "  ");
    // The only marker is the file's fifth line; with entries after it, it is listed.
    EXPECT_EQ(s->countries, std::vector<std::string>{"Custom build"});
    EXPECT_EQ(countryEntries(db(), "Custom build"), entries);
}

TEST_F(DatabaseFiles, ExportRefusesEmptyOptions) {
    for (const ExportOptions& o :
         {ExportOptions{db(), "", "d"}, ExportOptions{db(), "b", ""}, ExportOptions{"", "b", "d"}}) {
        EXPECT_EQ(exportList(o, "0 server(s)", {}).status, "Error: fill export options first");
    }
    EXPECT_FALSE(std::ifstream(db()).good());
}

TEST_F(DatabaseFiles, ExportRefusesTextsItCannotStoreAndTouchesNothing) {
    writeAll(db(), "old");
    const Outcome r = exportList({db(), "b", "d"}, "1 server(s)", {"\xD8"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status,
              "Error: the entry '\xD8' holds characters a database cannot store; nothing was exported");
    EXPECT_EQ(readAll(db()), "old");
}

TEST_F(DatabaseFiles, ExportIntoAReadOnlyFileFailsAndKeepsIt) {
    writeAll(db(), "old");
    setReadOnly(db(), true);
    try {
        exportList({db(), "b", "d"}, "0 server(s)", {});
        FAIL();
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_EQ(readAll(db()), "old");
}

namespace {

// The readers spelled out plainly: every line split by the cursor and unscrambled whole
// with its own key, then the rules applied line by line.
std::vector<std::string> plainLines(const std::string& bytes) {
    LineCursor cursor(bytes);
    std::vector<std::string> lines;
    for (uint64_t n = 0; !cursor.atEnd(); ++n)
        lines.push_back(unscrambleLine(cursor.readLine(), db2LineKey(n)));
    return lines;
}

std::vector<std::string> referenceCountries(const std::vector<std::string>& lines) {
    std::vector<std::string> countries;
    for (size_t i = 4; i + 1 < lines.size(); ++i)
        if (isCountryMarker(lines[i])) countries.push_back(lines[i].substr(1));
    return countries;
}

std::vector<std::string> referenceEntries(const std::vector<std::string>& lines, const std::string& country) {
    size_t i = 0;
    while (i < lines.size() &&
           std::string_view(lines[i]).substr(std::min<size_t>(1, lines[i].size())) != country)
        ++i;
    std::vector<std::string> entries;
    for (++i; i < lines.size() && !isCountryMarker(lines[i]); ++i)
        entries.push_back(lines[i]);
    return entries;
}

} // namespace

// Large databases read in blocks and passed over many lines at a time give what reading
// every line whole gives, wherever their line ends, lone CRs and end marks fall, on
// every scanning path the processor may take.
TEST_F(DatabaseFiles, LargeFilesReadAsLineByLine) {
    std::mt19937 random(5);
    for (int round = 0; round < 12; ++round) {
        const LineScan scan = round % 4 == 3   ? LineScan::Plain
                              : round % 4 == 2 ? LineScan::Sse2
                                               : LineScan::Fastest;
        lineScanChoice() = scan;
        std::string bytes;
        Db2LineKeys keys;
        auto add = [&](const std::string& plain, const char* end) {
            appendScrambled(bytes, plain, keys.key());
            bytes += end;
            keys.next();
        };
        for (const char* header : {"Quillmark", "b", "d", "n"})
            add(header, "\r\n");
        for (int i = 0; bytes.size() < 200000; ++i) {
            const unsigned kind = random() % 200;
            const std::string text = kind < 6    ? "/Country " + std::to_string(kind)
                                     : kind < 8  ? std::string(random() % 70000, 'x')
                                     : kind < 10 ? ""
                                                 : "10.0." + std::to_string(i) + ".1:27015 cstrike";
            add(text, random() % 3 ? "\r\n" : "\n");
            if (round % 3 == 1 && random() % 500 == 0) bytes += '\r'; // a lone CR: dropped, the line goes on
        }
        if (round % 3 == 2)
            bytes.insert(bytes.size() / 2 + random() % 1000, 1, '\x1A'); // the text ends there
        writeAll(db(), bytes);

        const std::vector<std::string> lines = plainLines(bytes);
        const auto summary = loadDatabase(db());
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->countries, referenceCountries(lines)) << round;
        for (const std::string country : {"Country 0", "Country 5", "", "x", "Nowhere"})
            EXPECT_EQ(countryEntries(db(), country), referenceEntries(lines, country)) << round << country;
    }
    lineScanChoice() = LineScan::Fastest;
}
