// Countries: lookups through our room beside libmaxminddb's own lookup (mmdblookup's
// library) in the same process, on the shipped file; and Export as database of 100,000
// found servers, then opened as the Import page opens it, beside writing and reading the
// same bytes.
#include "bench/FileFloors.h"
#include "bench/TableRow.h"
#include "database/CountryExport.h"
#include "database/DatabaseBrowser.h"
#include "geo/CountryDatabase.h"
#include "tests/support/TempDir.h"

#include <maxminddb.h>

#include <memory>
#include <random>

namespace {

using qm::bench::kOurs;
using qm::bench::tableRow;

constexpr int64_t kLookups = 100000;

std::vector<uint32_t> randomAddresses() {
    std::mt19937 random(7);
    std::vector<uint32_t> addresses(kLookups);
    for (uint32_t& a : addresses)
        a = random();
    return addresses;
}

std::string dotted(uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string(a >> 16 & 255) + "." +
           std::to_string(a >> 8 & 255) + "." + std::to_string(a & 255);
}

qm::test::TempDir& folder() {
    static qm::test::TempDir dir;
    return dir;
}

const qm::bench::TableRows rows([] {
    auto addresses = std::make_shared<std::vector<uint32_t>>(randomAddresses());
    auto texts = std::make_shared<std::vector<std::string>>();
    for (uint32_t a : *addresses)
        texts->push_back(dotted(a));
    tableRow("country: lookups of dotted addresses", kOurs, kLookups, [texts](benchmark::State& state) {
        const auto opened = qm::CountryDatabase::open(QM_SHIPPED_MMDB);
        for (auto _ : state)
            for (const std::string& t : *texts)
                benchmark::DoNotOptimize(opened.database->countryCodeOf(t));
    });
    tableRow("country: lookups of dotted addresses", "libmaxminddb's MMDB_lookup_string and get_value",
             kLookups, [texts](benchmark::State& state) {
                 MMDB_s db{};
                 MMDB_open(QM_SHIPPED_MMDB, MMDB_MODE_MMAP, &db);
                 for (auto _ : state)
                     for (const std::string& t : *texts) {
                         int gai = 0, error = 0;
                         MMDB_lookup_result_s r = MMDB_lookup_string(&db, t.c_str(), &gai, &error);
                         MMDB_entry_data_s data{};
                         if (r.found_entry) MMDB_get_value(&r.entry, &data, "country_code", nullptr);
                         benchmark::DoNotOptimize(data.utf8_string);
                     }
                 MMDB_close(&db);
             });

    // 100,000 found servers in 50 countries and "Unknown".
    auto servers = std::make_shared<std::vector<qm::ServerOfCountry>>();
    for (int64_t i = 0; i < 100000; ++i)
        servers->push_back({"10." + std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) +
                                "." + std::to_string(i % 256) + ":27015 cstrike",
                            i % 51 == 50 ? std::string() : "Country " + std::to_string(i % 51)});
    tableRow("country: Export as database", kOurs, 100000, [servers](benchmark::State& state) {
        const std::string path = folder().file("found.db2");
        for (auto _ : state)
            qm::exportCountryDatabase(path, "b", "d", *servers);
    });
    tableRow("country: Export as database", "write + fsync of the same bytes", 100000,
             [servers](benchmark::State& state) {
                 const std::string path = folder().file("found.db2");
                 qm::exportCountryDatabase(path, "b", "d", *servers);
                 const std::string bytes = qm::test::readAll(path);
                 const std::string copy = folder().file("copy.db2");
                 for (auto _ : state)
                     qm::bench::writeTheBytes(copy, bytes);
             });
    tableRow("country: exported database opened (Find)", kOurs, 100000, [](benchmark::State& state) {
        const std::string path = folder().file("found.db2");
        for (auto _ : state)
            benchmark::DoNotOptimize(qm::loadDatabase(path)->countries.size());
    });
    tableRow("country: exported database opened (Find)", "reading the same bytes", 100000,
             [](benchmark::State& state) {
                 for (auto _ : state)
                     benchmark::DoNotOptimize(qm::bench::readTheBytes(folder().file("found.db2")));
             });
});

} // namespace
