// A database made from today's servers: grouped by country, "Unknown" last, read back by
// the Import page's own reader and by db2tool, and entries the format cannot store left out.
#include "database/CountryExport.h"
#include "database/DatabaseBrowser.h"
#include "database/Db2Format.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

const std::vector<ServerOfCountry> kServers = {
    {"10.0.0.1:27015 cstrike", "Germany"}, {"10.0.0.2:27015 cstrike", ""},
    {"10.0.0.3:27016 valve", "Australia"}, {"10.0.0.4:27015 dod", "Germany"},
    {"10.0.0.1:27015 cstrike", "Germany"}, // listed twice
    {"10.0.0.5:27015 cstrike", "Unknown"},
};

} // namespace

TEST(CountryExport, GroupedByCountrySortedUnknownLastEachServerOnce) {
    EXPECT_EQ(countryDatabaseLines("20261210", "10/12/26", kServers),
              (std::vector<std::string>{"Quillmark", "20261210", "10/12/26", "5", "/Australia",
                                        "10.0.0.3:27016 valve", "/Germany", "10.0.0.1:27015 cstrike",
                                        "10.0.0.4:27015 dod", "/Unknown", "10.0.0.2:27015 cstrike",
                                        "10.0.0.5:27015 cstrike"}));
    EXPECT_EQ(countryDatabaseLines("b", "d", {}), (std::vector<std::string>{"Quillmark", "b", "d", "0"}));
}

TEST(CountryExport, TheImportPageAndDb2toolReadItBack) {
    TempDir dir;
    const std::string path = dir.file("today.db2");
    const Outcome done = exportCountryDatabase(path, "20261210", "10/12/26", kServers);
    ASSERT_TRUE(done.ok) << done.status;
    EXPECT_EQ(done.status, "Exporting complete: " + path);
    const auto summary = loadDatabase(path);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->build, "20261210");
    EXPECT_EQ(summary->count, "5");
    EXPECT_EQ(summary->countries, (std::vector<std::string>{"Australia", "Germany", "Unknown"}));
    EXPECT_EQ(countryEntries(path, "Germany"),
              (std::vector<std::string>{"10.0.0.1:27015 cstrike", "10.0.0.4:27015 dod"}));
    EXPECT_EQ(countryEntries(path, "Unknown"),
              (std::vector<std::string>{"10.0.0.2:27015 cstrike", "10.0.0.5:27015 cstrike"}));
    const std::string db2tool = systemPathOf(onWindows() ? "Z:" + std::string(QM_DB2TOOL) : QM_DB2TOOL);
    ASSERT_EQ(runCommandLine("\"" + db2tool + "\" decode \"" + path + "\" \"" + dir.file("today.txt") + "\""),
              0);
    EXPECT_EQ(readAll(dir.file("today.txt")),
              "Quillmark\r\n20261210\r\n10/12/26\r\n5\r\n/Australia\r\n10.0.0.3:27016 valve\r\n/Germany\r\n"
              "10.0.0.1:27015 cstrike\r\n10.0.0.4:27015 dod\r\n/Unknown\r\n10.0.0.2:27015 cstrike\r\n"
              "10.0.0.5:27015 cstrike\r\n");
}

TEST(CountryExport, EntriesTheFormatCannotStoreAreLeftOutAndCounted) {
    // Bytes that scramble into a line end under one digit of the key or another.
    std::string odd;
    for (int i = 0; i < 11; ++i)
        odd += "\xDA\xD9\xD8\xD7\xD6\xD5\xD4\xD3\xD2\xD1";
    std::vector<ServerOfCountry> servers = kServers;
    servers.insert(servers.begin() + 1, {"10.0.0.9:27015 " + odd, "Germany"});
    const std::vector<std::string> lines = countryDatabaseLines("b", "d", servers);
    ASSERT_TRUE(firstUnsafeLine(lines)); // the premise: that entry cannot be stored where it lands
    TempDir dir;
    const Outcome done = exportCountryDatabase(dir.file("x.db2"), "b", "d", servers);
    ASSERT_TRUE(done.ok) << done.status;
    EXPECT_NE(done.status.find("(1 servers left out"), std::string::npos) << done.status;
    const auto summary = loadDatabase(dir.file("x.db2"));
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->count, "5");
    EXPECT_EQ(countryEntries(dir.file("x.db2"), "Germany").size(), 2u);
}

TEST(CountryExport, EmptyOptionsTouchNothing) {
    TempDir dir;
    for (const auto& [path, build, date] : {std::tuple<std::string, std::string, std::string>{"", "b", "d"},
                                            {dir.file("a.db2"), "", "d"},
                                            {dir.file("a.db2"), "b", ""}}) {
        EXPECT_EQ(exportCountryDatabase(path, build, date, kServers).status,
                  "Error: fill export options first");
        EXPECT_TRUE(filesIn(dir.path()).empty());
    }
}
