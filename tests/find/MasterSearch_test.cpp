// Master server lists: the game folder's files, the classic master query page by page,
// against a stand-in master on loopback and masters that misbehave.
#include "find/MasterSearch.h"
#include "find/MasterServersFile.h"
#include "find/ServerSources.h"
#include "keyvalues/KeyValues.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoMaster.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using namespace qm::test;

namespace {

const std::string kSteamMaster = "hl1master.steampowered.com:27010";
const std::string kSetti = "css.setti.info:27010";

std::vector<Endpoint> loopbackServers(size_t count, uint16_t firstPort = 20000) {
    std::vector<Endpoint> servers;
    for (size_t i = 0; i < count; ++i)
        servers.push_back(Endpoint::fromDotted("127.0.0." + std::to_string(1 + i / 40000),
                                               static_cast<uint16_t>(firstPort + i % 40000)));
    return servers;
}

std::string page(const std::vector<Endpoint>& servers, bool last) {
    std::string p = "\xFF\xFF\xFF\xFF\x66\x0A";
    auto add = [&](const Endpoint& e) {
        for (int shift : {24, 16, 8, 0})
            p.push_back(static_cast<char>(e.address >> shift));
        p.push_back(static_cast<char>(e.port >> 8));
        p.push_back(static_cast<char>(e.port));
    };
    for (const Endpoint& e : servers)
        add(e);
    if (last) add(Endpoint{});
    return p;
}

struct Walked {
    std::vector<Endpoint> servers;
    std::vector<MasterOutcome> outcomes;
};

Walked walk(const std::vector<std::string>& masters, MasterSearchOptions options = {}) {
    if (options.pageWaitMs == 2000) options.pageWaitMs = 150;
    MasterSearch search(options);
    Walked w;
    search.run(
        masters,
        [&](const std::vector<Endpoint>& s) { w.servers.insert(w.servers.end(), s.begin(), s.end()); },
        [&](const MasterOutcome& o) { w.outcomes.push_back(o); });
    return w;
}

std::string at(const UdpResponder& r) {
    return "127.0.0.1:" + std::to_string(r.port());
}

UdpResponder demoMaster(const std::vector<Endpoint>& servers) {
    auto master = std::make_shared<DemoMaster>(servers, ServerInfo{});
    return UdpResponder([master](const std::string& request) { return master->answer(request); });
}

} // namespace

TEST(MasterServersFile, ReadsEveryRealShapeGoldSrcFirst) {
    struct Case {
        const char* file;
        std::vector<std::string> masters;
    };
    const std::vector<Case> cases = {
        {"hl1-group-hostname.vdf",
         {"188.165.245.17:27011", "balkan.masterserver.me:27011", "188.165.245.17:27010",
          "188.165.245.17:27001"}},
        {"flat-no-group-trailing-nul.vdf", {"207.173.177.12:27010", "207.173.177.11:27010"}},
        {"crlf-hl1-seven.vdf",
         {kSteamMaster, kSetti, "188.40.40.201:27010", "69.28.140.247:27010", "209.197.20.34:27010",
          "69.28.158.131:27010", "hl1master.5eplay.com:27010", "188.40.40.201:27011"}},
        {"hl2-before-hl1.vdf",
         {"69.28.151.162:27010", "207.173.177.11:27010", "68.142.72.250:27010", "69.28.151.162:27011",
          "207.173.177.11:27011", "68.142.72.250:27011"}},
        {"hl1-then-hl2.vdf",
         {"46.165.194.16:27010", "46.4.71.67:27010", "46.165.194.14:27010", "46.165.194.16:27011",
          "46.4.71.67:27011", "46.165.194.14:27011"}},
        {"blank-lines.vdf",
         {kSteamMaster, kSetti, "hl2master.steampowered.com:27011", "css.setti.info:27011"}},
        {"hl1-hl2-two-each.vdf",
         {"88.198.47.43:27010", "176.9.36.237:27010", "88.198.47.43:27011", "176.9.36.237:27011"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mastersOfMasterServersText(readAll(fixturePath(std::string("masterservers/") + c.file))),
                  c.masters)
            << c.file;
    const auto rev = mastersOfMasterServersText(readAll(fixturePath("masterservers/rev-crlf.vdf")));
    ASSERT_GE(rev.size(), 8u);
    EXPECT_EQ(rev.front(), kSteamMaster);
    EXPECT_EQ(rev[6], "hl1master.5eplay.com:27010");
    EXPECT_EQ(rev[7], "hl2master.steampowered.com:27011");
}

TEST(MasterServersFile, AGameFolderMergesItsFilesAndNamesABrokenOne) {
    TempDir game;
    std::filesystem::create_directories(game.path() + "platform/config");
    std::filesystem::create_directories(game.path() + "config");
    writeAll(game.file("platform/config/MasterServers.vdf"),
             readAll(fixturePath("masterservers/blank-lines.vdf")));
    writeAll(game.file("config/rev_MasterServers.vdf"), readAll(fixturePath("masterservers/rev-crlf.vdf")));
    GameMasters found = readGameMasters(game.path());
    EXPECT_EQ(found.read.size(), 2u);
    EXPECT_TRUE(found.problems.empty());
    ASSERT_GE(found.masters.size(), 4u);
    EXPECT_EQ(found.masters[0], kSteamMaster); // both files name it: once
    EXPECT_EQ(std::count(found.masters.begin(), found.masters.end(), kSetti), 1);
    EXPECT_NE(std::find(found.masters.begin(), found.masters.end(), "hl1master.5eplay.com:27010"),
              found.masters.end());

    writeAll(game.file("config/MasterServers.vdf"), "\"MasterServers\"\n{\n\t\"hl1\"\n\t{\n");
    found = readGameMasters(game.path());
    ASSERT_EQ(found.problems.size(), 1u);
    EXPECT_NE(found.problems[0].find("config\\MasterServers.vdf"), std::string::npos) << found.problems[0];
    EXPECT_EQ(found.read.size(), 2u);
}

TEST(MasterServersFile, EveryFilesGoldSrcMastersComeBeforeAnyOtherGroupAndHlExeStandsForItsFolder) {
    TempDir game;
    std::filesystem::create_directories(game.path() + "platform/config");
    std::filesystem::create_directories(game.path() + "config");
    const auto file = [](const std::string& hl1, const std::string& hl2) {
        std::string text = "\"MasterServers\"\n{\n\t\"hl1\"\n\t{\n\t\t\"0\"\n\t\t{\n\t\t\t\"addr\"\t\"" +
                           hl1 + "\"\n\t\t}\n\t}\n";
        if (!hl2.empty())
            text += "\t\"hl2\"\n\t{\n\t\t\"0\"\n\t\t{\n\t\t\t\"addr\"\t\"" + hl2 + "\"\n\t\t}\n\t}\n";
        return text + "}\n";
    };
    writeAll(game.file("platform/config/MasterServers.vdf"),
             file("platform.hl1:27010", "platform.hl2:27011"));
    writeAll(game.file("config/MasterServers.vdf"), file("config.hl1:27010", ""));
    writeAll(game.file("hl.exe"), "MZ");
    const std::vector<std::string> order = {"platform.hl1:27010", "config.hl1:27010", "platform.hl2:27011"};
    EXPECT_EQ(readGameMasters(game.path()).masters, order);
    EXPECT_EQ(readGameMasters(game.file("hl.exe")).masters, order);
}

// Found by fuzzing: a group after an ungrouped master was read as no group at all.
TEST(MasterServersFile, UngroupedMastersAndGroupsSideBySideAllCount) {
    const std::string text =
        "\"MasterServers\"\n{\n\t\"hl2\"\n\t{\n\t\t\"0\"\n\t\t{\n\t\t\t\"addr\"\t\"b:2\"\n\t\t}\n"
        "\t}\n\t\"0\"\n\t{\n\t\t\"addr\"\t\"a:1\"\n\t}\n\t\"hl1\"\n\t{\n\t\t\"0\"\n\t\t{\n"
        "\t\t\t\"addr\"\t\"c:3\"\n\t\t}\n\t}\n}\n";
    EXPECT_EQ(mastersOfMasterServersText(text), (std::vector<std::string>{"a:1", "c:3", "b:2"}));
}

TEST(MasterProtocol, RequestsAndFiltersByteForByte) {
    ServerFilter f;
    f.gameDir = "cstrike";
    f.map = "de_dust2";
    f.notEmpty = f.notFull = f.noPlayers = f.secure = f.noPassword = true;
    f.nameMatch = "*pub*";
    EXPECT_EQ(f.text(), "\\gamedir\\cstrike\\map\\de_dust2\\empty\\1\\full\\1\\noplayers\\1\\secure\\1"
                        "\\name_match\\*pub*\\password\\0");
    EXPECT_EQ(ServerFilter{}.text(), "");
    EXPECT_EQ(masterRequest(kAllRegions, {}, "\\gamedir\\valve"), std::string("1\xFF"
                                                                              "0.0.0.0:0\0\\gamedir\\valve\0",
                                                                              27));
    EXPECT_EQ(masterRequest(3, Endpoint::fromDotted("10.1.2.3", 27015), ""), std::string("1\x03"
                                                                                         "10.1.2.3:27015\0\0",
                                                                                         18));

    const MasterPage torn = readMasterPage(page(loopbackServers(2), false).substr(0, 15));
    EXPECT_EQ(torn.fault, "the reply ends inside a server's address");
    EXPECT_EQ(readMasterPage("\xFF\xFF\xFF\xFFm...").fault, "the reply is no server list");
    const MasterPage last = readMasterPage(page(loopbackServers(3), true));
    EXPECT_TRUE(last.last);
    EXPECT_EQ(last.servers, loopbackServers(3));
}

TEST(MasterSearch, WalksOnePageAndManyPagesToTheEndMarker) {
    for (size_t count : {size_t{5}, size_t{10'000}}) {
        const std::vector<Endpoint> servers = loopbackServers(count);
        UdpResponder master = demoMaster(servers);
        const Walked w = walk({at(master)});
        EXPECT_EQ(w.servers, servers) << count;
        ASSERT_EQ(w.outcomes.size(), 1u);
        EXPECT_TRUE(w.outcomes[0].whole()) << w.outcomes[0].problem;
        EXPECT_EQ(w.outcomes[0].pages,
                  (count + DemoMaster::kEntriesPerPage - 1) / DemoMaster::kEntriesPerPage);
        // Each page is asked from the last server of the one before.
        const auto requests = master.requestsSoFar();
        ASSERT_EQ(requests.size(), w.outcomes[0].pages);
        if (count > DemoMaster::kEntriesPerPage) {
            EXPECT_EQ(requests[1], masterRequest(kAllRegions, servers[DemoMaster::kEntriesPerPage - 1], ""));
        }
    }
}

TEST(MasterSearch, PassesTheFilterAndTheRegionAsTheyAre) {
    UdpResponder master = demoMaster(loopbackServers(3));
    MasterSearchOptions options;
    options.region = 2;
    options.filter = "\\gamedir\\cstrike\\name_match\\*x\xE9*";
    walk({at(master)}, options);
    const auto requests = master.requestsSoFar();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], std::string("1\x02"
                                       "0.0.0.0:0\0",
                                       12) +
                               options.filter + std::string(1, '\0'));
}

TEST(MasterSearch, SaysWhyAWalkEndedBeforeTheListsEnd) {
    const std::vector<Endpoint> servers = loopbackServers(10);
    const bool kFirst = true;
    struct Case {
        const char* what;
        std::function<std::string(bool first)> answer;
        MasterSearchOptions options;
        size_t servers, requests;
        const char* told; // after "host:port: "
    };
    MasterSearchOptions upTo4;
    upTo4.limit = 4;
    const std::vector<Case> cases = {
        // The same page every time: asked once more, then given up as going round.
        {"a repeated list",
         [&](bool) { return page(servers, false); },
         {},
         10,
         3,
         "10 servers (a repeated list)"},
        {"a page that led back",
         [&](bool first) {
             return first ? page({servers[0], servers[1]}, false) : page({servers[2], servers[1]}, false);
         },
         {},
         3,
         2,
         "3 servers (a page that led back)"},
        {"an empty first page",
         [&](bool) { return page({}, true); },
         {},
         0,
         1,
         "0 servers (the master listed none)"},
        {"an empty first page without the marker",
         [&](bool) { return page({}, false); },
         {},
         0,
         1,
         "0 servers (the master listed none)"},
        {"an empty later page",
         [&](bool first) { return first ? page({servers[0]}, false) : page({}, false); },
         {},
         1,
         2,
         "1 server (an empty page)"},
        {"the user's limit", [&](bool) { return page(servers, false); }, upTo4, 4, 1, "4 servers"},
        {"the list's end",
         [&](bool first) { return first ? page(servers, true) : ""; },
         {},
         10,
         1,
         "10 servers"},
    };
    for (const Case& c : cases) {
        UdpResponder master([&](const std::string& request) {
            return c.answer(request.find("0.0.0.0:0") != std::string::npos ? kFirst : !kFirst);
        });
        const Walked w = walk({at(master)}, c.options);
        ASSERT_EQ(w.outcomes.size(), 1u) << c.what;
        EXPECT_TRUE(w.outcomes[0].whole()) << c.what;
        EXPECT_EQ(w.servers.size(), c.servers) << c.what;
        EXPECT_EQ(master.requestsSoFar().size(), c.requests) << c.what;
        EXPECT_EQ(masterOutcomeText(w.outcomes[0]), at(master) + ": " + c.told) << c.what;
    }
}

TEST(MasterSearch, ADuplicatedOrLateReplyIsDroppedAndTheWalkGoesOn) {
    const std::vector<Endpoint> servers = loopbackServers(1000);
    // Every page twice.
    UdpResponder doubled = demoMaster(servers);
    doubled.copies = 2;
    Walked w = walk({at(doubled)});
    EXPECT_EQ(w.servers, servers);
    ASSERT_EQ(w.outcomes.size(), 1u);
    EXPECT_EQ(masterOutcomeText(w.outcomes[0]), at(doubled) + ": 1000 servers");

    // The answer to the page before comes late, ahead of each page asked for.
    auto demo = std::make_shared<DemoMaster>(servers, ServerInfo{});
    std::string previous;
    std::unique_ptr<UdpResponder> late;
    late = std::make_unique<UdpResponder>([&](const std::string& request) {
        if (!previous.empty()) late->sendTo(late->lastClientPort(), previous);
        previous = demo->answer(request);
        return previous;
    });
    w = walk({at(*late)});
    EXPECT_EQ(w.servers, servers);
    EXPECT_EQ(masterOutcomeText(w.outcomes[0]), at(*late) + ": 1000 servers");
}

TEST(MasterSearch, TheCapEndsTheWalkAndSaysSo) {
    UdpResponder big = demoMaster(loopbackServers(kMaxListedServers + 500));
    const Walked w = walk({at(big)});
    EXPECT_EQ(w.servers.size(), kMaxListedServers);
    ASSERT_EQ(w.outcomes.size(), 1u);
    EXPECT_EQ(masterOutcomeText(w.outcomes[0]), at(big) + ": 100000 servers (the cap)");
}

TEST(MasterSearch, ABrokenOrSilentMasterKeepsItsServersAndTheNextIsAsked) {
    const std::vector<Endpoint> servers = loopbackServers(600);
    auto demo = std::make_shared<DemoMaster>(servers, ServerInfo{});
    // Stops answering after two pages.
    std::atomic<int> pages{0};
    UdpResponder halfWay(
        [&](const std::string& r) { return ++pages <= 2 ? demo->answer(r) : std::string(); });
    UdpResponder torn([&](const std::string&) { return page({servers[0]}, false) + "\x7F\x00"; });
    UdpResponder silent([](const std::string&) { return std::string(); });
    UdpResponder good = demoMaster(servers);

    Walked w = walk({at(halfWay), at(torn), at(silent), at(good)});
    ASSERT_EQ(w.outcomes.size(), 4u);
    EXPECT_EQ(w.outcomes[0].servers, 2 * DemoMaster::kEntriesPerPage);
    EXPECT_EQ(w.outcomes[0].problem, "no reply (2 tries, 150 ms each) after 2 pages");
    EXPECT_EQ(w.outcomes[1].problem, "the reply ends inside a server's address");
    EXPECT_EQ(w.outcomes[2].problem, "no reply (2 tries, 150 ms each)");
    EXPECT_TRUE(w.outcomes[3].whole());
    // Merged without repeats: the good master adds only what the first did not give.
    EXPECT_EQ(w.outcomes[3].servers, servers.size() - 2 * DemoMaster::kEntriesPerPage);
    EXPECT_EQ(w.servers.size(), servers.size());
    EXPECT_EQ(silent.requestsSoFar().size(), 2u); // one retry

    // A whole list ends the search unless every master is wanted.
    UdpResponder other = demoMaster(loopbackServers(5, 40000));
    w = walk({at(good), at(other)});
    EXPECT_EQ(w.outcomes.size(), 1u);
    MasterSearchOptions every;
    every.everyMaster = true;
    w = walk({at(good), at(other)}, every);
    EXPECT_EQ(w.outcomes.size(), 2u);
    EXPECT_EQ(w.servers.size(), servers.size() + 5);
    // A later master that gives only what an earlier one gave says so.
    UdpResponder same = demoMaster(servers);
    w = walk({at(good), at(same)}, every);
    ASSERT_EQ(w.outcomes.size(), 2u);
    EXPECT_EQ(masterOutcomeText(w.outcomes[1]), at(same) + ": 0 new of 600 servers");
}

TEST(MasterSearch, TakesNoPageFromAStranger) {
    const std::vector<Endpoint> servers = loopbackServers(3);
    auto demo = std::make_shared<DemoMaster>(servers, ServerInfo{});
    UdpResponder stranger([](const std::string&) { return std::string(); });
    const std::string forged = page(loopbackServers(2, 50000), true);
    // Before the master answers, a stranger sends the client a list of its own.
    std::atomic<UdpResponder*> masterAt{nullptr};
    UdpResponder master(
        [&](const std::string& r) {
            stranger.sendTo(masterAt.load()->lastClientPort(), forged);
            return demo->answer(r);
        },
        std::chrono::milliseconds(100));
    masterAt = &master;
    const Walked w = walk({at(master)});
    EXPECT_EQ(w.servers, servers);
}

TEST(MasterSearch, NamesAMasterThatIsNoAddress) {
    MasterSearch search({}, [](const std::string&) { return HostLookupResult{"", 11001}; });
    std::vector<MasterOutcome> told;
    search.run(
        {"no.such.master:27010", ":27010"}, [](const std::vector<Endpoint>&) {},
        [&](const MasterOutcome& o) { told.push_back(o); });
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].problem, "name not found (Socket Error # 11001)");
    EXPECT_EQ(told[1].problem, "not a master address");
}

TEST(MasterSearch, AMasterTypedWithoutItsPortIsNamedWithThePortAsked) {
    MasterSearch search({}, [](const std::string&) { return HostLookupResult{"", 11001}; });
    std::vector<MasterOutcome> told;
    search.run(
        {"127.0.0.1"}, [](const std::vector<Endpoint>&) {},
        [&](const MasterOutcome& o) { told.push_back(o); });
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].master, "127.0.0.1:27010");
}

TEST(MasterSearch, AMastersEntriesAtAddressesNoServerHasAreDroppedWithANote) {
    const std::vector<Endpoint> listed = {
        Endpoint::fromDotted("0.0.0.0", 27015),   Endpoint::fromDotted("255.255.255.255", 27015),
        Endpoint::fromDotted("224.0.0.1", 27015), Endpoint::fromDotted("169.254.3.4", 27015),
        Endpoint::fromDotted("1.2.3.4", 0),       Endpoint::fromDotted("1.2.3.4", 27015),
        Endpoint::fromDotted("127.0.0.1", 5)};
    UdpResponder master([&](const std::string&) { return page(listed, true); });
    const Walked w = walk({at(master)});
    // A loopback master may list loopback servers; nothing else it gave is told.
    EXPECT_EQ(w.servers, (std::vector<Endpoint>{listed[5], listed[6]}));
    ASSERT_EQ(w.outcomes.size(), 1u);
    EXPECT_EQ(masterOutcomeText(w.outcomes[0]),
              at(master) + ": 2 servers, 5 at addresses no game server has, not asked");
}

// A stranger floods the client's port with forged pages from ports of its own while the
// true master answers: the walk takes the master's pages alone and ends on time.
TEST(MasterSearch, AFloodOfForgedPagesIsNotTakenAndTheWalkEnds) {
    QM_SKIP_UNLESS_SYSTEM_HAS(DatagramFloods);
    const std::vector<Endpoint> servers = loopbackServers(1000);
    auto demo = std::make_shared<DemoMaster>(servers, ServerInfo{});
    UdpResponder flooder([](const std::string&) { return std::string(); });
    std::mutex lock;
    std::condition_variable asked;
    uint16_t clientPort = 0;
    UdpResponder master([&](const std::string& r) {
        {
            std::lock_guard<std::mutex> hold(lock);
            clientPort = master.lastClientPort();
        }
        asked.notify_all();
        return demo->answer(r);
    });
    const std::string forged = page(loopbackServers(200, 50000), false);
    std::thread flood([&] {
        std::unique_lock<std::mutex> hold(lock);
        asked.wait(hold, [&] { return clientPort != 0; });
        const uint16_t to = clientPort;
        hold.unlock();
        for (int i = 0; i < 100'000; ++i)
            flooder.sendTo(to, forged);
    });
    const auto start = std::chrono::steady_clock::now();
    const Walked w = walk({at(master)});
    const auto took = std::chrono::steady_clock::now() - start;
    flood.join();
    EXPECT_EQ(w.servers, servers);
    ASSERT_EQ(w.outcomes.size(), 1u);
    EXPECT_TRUE(w.outcomes[0].whole()) << w.outcomes[0].problem;
    // Five pages, each within its wait of 150 ms and one retry.
    EXPECT_LT(took, std::chrono::seconds(5));
}
