// Countries of IPv4 addresses: the tests' own small database made by MaxMind's writer,
// the shipped one held against libmaxminddb's own answers and against mmdblookup, and the
// files that are no country database at all.
#include "geo/CountryData.h"
#include "geo/CountryDatabase.h"
#include "geo/CountryNames.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <maxminddb.h>

#include <filesystem>
#include <random>

using namespace qm;
using namespace qm::test;

namespace {

std::string dotted(uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string(a >> 16 & 255) + "." +
           std::to_string(a >> 8 & 255) + "." + std::to_string(a & 255);
}

// What libmaxminddb itself says of a dotted address, read the plainest way.
std::string libraryAnswer(MMDB_s& db, const std::string& address) {
    int gai = 0, error = 0;
    MMDB_lookup_result_s r = MMDB_lookup_string(&db, address.c_str(), &gai, &error);
    if (gai != 0 || error != MMDB_SUCCESS || !r.found_entry) return {};
    MMDB_entry_data_s data{};
    if (MMDB_get_value(&r.entry, &data, "country_code", nullptr) != MMDB_SUCCESS || !data.has_data) return {};
    return std::string(data.utf8_string, data.data_size);
}

} // namespace

TEST(CountryDatabase, TheTestDatabasesLoopbackCountries) {
    const auto opened = CountryDatabase::open(QM_TEST_MMDB);
    ASSERT_TRUE(opened.database) << opened.problem;
    const CountryDatabase& db = *opened.database;
    const struct {
        const char* address;
        const char* code;
    } cases[] = {
        {"127.0.0.1", "DE"},       {"127.127.255.255", "DE"}, {"127.128.0.0", "AU"},
        {"127.191.255.255", "AU"}, {"127.192.0.1", "BR"}, // GeoLite2's layout: country -> iso_code
        {"127.230.0.1", ""},       {"10.0.0.1", ""},          {"not an address", ""},
        {"127.0.0", ""},           {"127.0.0.256", ""},       {"127.0.0.1 ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db.countryCodeOf(c.address), c.code) << c.address;
    EXPECT_EQ(db.countryCode(0x7F000001), "DE");
    EXPECT_EQ(db.databaseType(), "Quillmark-Test-Country");
    EXPECT_GT(db.buildEpoch(), 0u);
}

TEST(CountryDatabase, MissingOrBrokenFilesAreSaidNotFatal) {
    TempDir dir;
    writeAll(dir.file("text.mmdb"), "this is no database\n");
    writeAll(dir.file("empty.mmdb"), "");
    for (const std::string& path :
         {dir.file("missing.mmdb"), dir.file("text.mmdb"), dir.file("empty.mmdb")}) {
        const auto opened = CountryDatabase::open(path);
        EXPECT_FALSE(opened.database) << path;
        EXPECT_NE(opened.problem.find(path), std::string::npos) << opened.problem;
    }
    EXPECT_NE(CountryDatabase::open(dir.file("missing.mmdb")).problem.find("cannot be opened"),
              std::string::npos);
    EXPECT_NE(CountryDatabase::open(dir.file("text.mmdb")).problem.find("no MaxMind DB file"),
              std::string::npos);
}

// 10,000 random addresses: the shipped file's answers are libmaxminddb's own.
TEST(CountryDatabase, TheShippedFileAgreesWithTheLibraryEverywhere) {
    const auto opened = CountryDatabase::open(QM_SHIPPED_MMDB);
    ASSERT_TRUE(opened.database) << opened.problem;
    MMDB_s raw{};
    ASSERT_EQ(MMDB_open(QM_SHIPPED_MMDB, MMDB_MODE_MMAP, &raw), MMDB_SUCCESS);
    std::mt19937 random(20261210);
    size_t named = 0;
    for (int i = 0; i < 10000; ++i) {
        const uint32_t address = random();
        const std::string expected = libraryAnswer(raw, dotted(address));
        ASSERT_EQ(opened.database->countryCode(address), expected) << dotted(address);
        named += !expected.empty();
    }
    MMDB_close(&raw);
    EXPECT_GT(named, 5000u); // most of the space is someone's
    EXPECT_EQ(opened.database->countryCodeOf("1.1.1.1"), "AU");
}

// And against the reference program, where it runs: 100 addresses, one run each.
TEST(CountryDatabase, TheShippedFileAgreesWithMmdblookup) {
    if (onWindows()) GTEST_SKIP() << "mmdblookup is Linux's (the library check above runs here)";
    const auto opened = CountryDatabase::open(QM_SHIPPED_MMDB);
    ASSERT_TRUE(opened.database);
    TempDir dir;
    std::mt19937 random(42);
    for (int i = 0; i < 100; ++i) {
        const std::string address = dotted(random());
        ASSERT_EQ(runCommandLine("mmdblookup --file " QM_SHIPPED_MMDB " --ip " + address +
                                 " country_code > " + dir.file("out") + " 2>/dev/null || true"),
                  0);
        const std::string out = readAll(dir.file("out"));
        const size_t quote = out.find('"');
        const std::string expected = quote == std::string::npos ? "" : out.substr(quote + 1, 2);
        EXPECT_EQ(opened.database->countryCodeOf(address), expected) << address << ": " << out;
    }
}

TEST(CountryNames, EnglishNamesInPlainAscii) {
    const struct {
        const char* code;
        const char* name;
    } cases[] = {{"DE", "Germany"},
                 {"AU", "Australia"},
                 {"KR", "South Korea"},
                 {"CI", "Cote d'Ivoire"},
                 {"AX", "Aland Islands"},
                 {"US", "United States"},
                 {"ZZ", ""},
                 {"", ""},
                 {"de", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(countryName(c.code), c.name) << c.code;
    EXPECT_EQ(countryNameOrUnknown("ZZ"), "Unknown");
    EXPECT_EQ(countryNameOrUnknown(""), "Unknown");
}

TEST(CountryData, FoundBesideTheProgramOrInItsInstalledShare) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("share/quillmark"));
    std::filesystem::create_directories(dir.file("bin"));
    EXPECT_EQ(findCountryData(countryDataFolders(dir.file("bin/"))), "");
    writeAll(dir.file("share/quillmark/") + kCountryDataFile, "x");
    EXPECT_EQ(findCountryData(countryDataFolders(dir.file("bin/"))),
              dir.file("bin/") + "../share/quillmark/" + kCountryDataFile);
    writeAll(dir.file("bin/") + kCountryDataFile, "x");
    EXPECT_EQ(findCountryData(countryDataFolders(dir.file("bin/"))), dir.file("bin/") + kCountryDataFile);
}
