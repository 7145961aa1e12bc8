// quillmark-query --country and --db2: countries from the tests' loopback database, and a
// server database made from what a master lists (or, with --query, from what answers).
#include "database/DatabaseBrowser.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "tests/support/TempDir.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoMaster.h"
#include "tools/QueryCommand.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace qm;
using namespace qm::test;

namespace {

UdpResponder::Reply legacy(const std::string& name) {
    return [name](const std::string& request) {
        ServerInfo info;
        info.hostname = name;
        info.gameDir = "czero";
        return request == kInfoRequest ? buildInfoReply(info) : std::string();
    };
}

} // namespace

TEST(CountryCommand, TextAndJsonCarryTheCountry) {
    UdpResponder server(legacy("Here"));
    const std::string address = "127.0.0.1:" + std::to_string(server.port());
    std::ostringstream text, json, one, err;
    EXPECT_EQ(
        runQueryCommand({"--retry=0", "--country-db", QM_TEST_MMDB, address, "127.230.0.1:1"}, text, err), 1);
    std::istringstream lines(text.str());
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(first.substr(first.rfind('\t') + 1), "DE") << first;
    EXPECT_EQ(second.substr(second.rfind('\t') + 1), "-") << second;
    EXPECT_EQ(runQueryCommand({"--json", "--country-db", QM_TEST_MMDB, address}, json, err), 0);
    EXPECT_NE(json.str().find("\"country\":\"DE\",\"country_name\":\"Germany\""), std::string::npos)
        << json.str();
    EXPECT_EQ(runQueryCommand({"--country-db", QM_TEST_MMDB, address}, one, err), 0);
    EXPECT_NE(one.str().find("\nCountry: DE (Germany)\n"), std::string::npos) << one.str();
}

TEST(CountryCommand, ABrokenDatabaseIsToldAndTheServersStillAsked) {
    UdpResponder server(legacy("Here"));
    TempDir dir;
    writeAll(dir.file("broken.mmdb"), "no database");
    std::ostringstream out, err;
    EXPECT_EQ(runQueryCommand({"--json", "--country-db", dir.file("broken.mmdb"),
                               "127.0.0.1:" + std::to_string(server.port())},
                              out, err),
              0);
    EXPECT_NE(err.str().find("is no MaxMind DB file"), std::string::npos) << err.str();
    EXPECT_NE(out.str().find("\"country\":null,\"country_name\":null"), std::string::npos) << out.str();
}

TEST(CountryCommand, Db2OfWhatAMasterListsGroupedByCountry) {
    UdpResponder here(legacy("Answers"));
    const std::vector<Endpoint> listed = {Endpoint::fromDotted("127.0.0.1", here.port()),
                                          Endpoint::fromDotted("127.128.0.1", 27015),
                                          Endpoint::fromDotted("127.230.0.1", 27016)};
    auto demoMaster = std::make_shared<DemoMaster>(listed, ServerInfo{});
    UdpResponder master([demoMaster](const std::string& r) { return demoMaster->answer(r); });
    const std::string masterAddress = "127.0.0.1:" + std::to_string(master.port());
    TempDir dir;
    std::ostringstream out, err;
    ASSERT_EQ(runQueryCommand({"--master", masterAddress, "--filter", "\\gamedir\\cstrike", "--country-db",
                               QM_TEST_MMDB, "--db2", dir.file("listed.db2"), "--build", "B7"},
                              out, err),
              0)
        << err.str();
    EXPECT_NE(err.str().find("Exporting complete: " + dir.file("listed.db2")), std::string::npos)
        << err.str();
    const auto summary = loadDatabase(dir.file("listed.db2"));
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->build, "B7");
    EXPECT_EQ(summary->count, "3");
    EXPECT_EQ(summary->countries, (std::vector<std::string>{"Australia", "Germany", "Unknown"}));
    EXPECT_EQ(countryEntries(dir.file("listed.db2"), "Australia"),
              (std::vector<std::string>{"127.128.0.1:27015 cstrike"})); // the filter's game directory
    // With --query only the servers that answer, under their own game directory.
    std::ostringstream qout, qerr;
    runQueryCommand({"--master", masterAddress, "--query", "--retry=0", "--wait=300", "--country-db",
                     QM_TEST_MMDB, "--db2", dir.file("answering.db2")},
                    qout, qerr);
    const auto answering = loadDatabase(dir.file("answering.db2"));
    ASSERT_TRUE(answering) << qerr.str();
    EXPECT_EQ(answering->count, "1");
    EXPECT_EQ(answering->build.size(), 8u); // today, YYYYMMDD
    EXPECT_EQ(countryEntries(dir.file("answering.db2"), "Germany"),
              (std::vector<std::string>{"127.0.0.1:" + std::to_string(here.port()) + " czero"}));
}

TEST(CountryCommand, Db2GoesWithASearchOnly) {
    std::ostringstream out, err;
    EXPECT_EQ(runQueryCommand({"--db2", "x.db2", "127.0.0.1:1"}, out, err), 2);
    EXPECT_NE(err.str().find("--db2 and --build go with a search"), std::string::npos) << err.str();
}
