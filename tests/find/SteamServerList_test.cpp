// Steam's Web API server list: what its answers mean, and the whole exchange over HTTPS
// with nginx in Steam's place, trusted through a test authority.
#include "find/JsonStrings.h"
#include "find/ListedAddress.h"
#include "find/ServerSources.h"
#include "find/SteamServerList.h"
#include "tests/support/LoopbackDaemons.h"
#include "tests/support/TcpTestServer.h"
#include "tools/QueryCommand.h"
#include "tools/SearchCommand.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace qm;
using namespace qm::test;

namespace {

const std::string kKey = "0123456789ABCDEF0123456789ABCDEF";

const std::string kTwoServers =
    R"({"response":{"servers":[)"
    R"({"addr":"127.0.0.1:27015","gameport":27017,"steamid":"90000000000000001","name":"Loopback \u00c9clair",)"
    R"("appid":10,"gamedir":"cstrike","version":"1.1.2.7/Stdio","product":"cstrike","region":255,)"
    R"("players":7,"max_players":20,"bots":2,"map":"de_dust2","secure":true,"dedicated":true,"os":"l"},)"
    R"({"addr":"127.0.0.2:27016","name":"Second","appid":70,"gamedir":"valve","players":0,"max_players":16,)"
    R"("bots":0,"map":"crossfire","secure":false},)"
    R"({"addr":"[::1]:27015","name":"no IPv4"}]}})";

HttpsGetResult answered(int status, std::string body = {}, std::string retryAfter = {}) {
    HttpsGetResult r;
    r.status = status;
    r.body = std::move(body);
    r.retryAfter = std::move(retryAfter);
    return r;
}

SteamListRequest requestTo(const HttpsNginx& nginx, const std::string& folder) {
    SteamListRequest r;
    r.key = kKey;
    r.filter = "\\gamedir\\cstrike";
    r.apiBase = nginx.reachableBase(folder);
    r.testAuthorityFile = nginx.authorityFile();
    r.testPlainHttp = !nginx.trusted();
    r.timeoutMs = 5000;
    return r;
}

SteamListAnswer fetch(const SteamListRequest& r, std::vector<std::string>* notes = nullptr) {
    return fetchSteamList(r, nullptr, [&](const std::string& n) {
        if (notes) notes->push_back(n);
    });
}

} // namespace

TEST(SteamServerList, ReadsTheFieldsOfEveryServerWithAnAddress) {
    const SteamListAnswer a = readSteamListAnswer(answered(200, kTwoServers), kKey, 100, {}, true);
    ASSERT_TRUE(a.problem.empty()) << a.problem;
    ASSERT_EQ(a.servers.size(), 2u);
    EXPECT_EQ(a.unreadable, 1u);
    const ListedServer& s = a.servers[0];
    EXPECT_EQ(s.address.text(), "127.0.0.1:27015");
    EXPECT_TRUE(s.described);
    EXPECT_EQ(s.summary.name, "Loopback \xC3\x89"
                              "clair");
    EXPECT_EQ(s.summary.map, "de_dust2");
    EXPECT_EQ(s.summary.players, "7");
    EXPECT_EQ(s.summary.maxPlayers, "20");
    EXPECT_EQ(s.summary.bots, "2");
    EXPECT_EQ(s.gameDir, "cstrike");
    EXPECT_EQ(a.servers[1].gameDir, "valve");
    // The port a game connects to is not always the one the list is asked on.
    EXPECT_EQ(s.gamePort, 27017);
    EXPECT_FALSE(a.servers[1].gamePort);
    EXPECT_EQ(readSteamListAnswer(answered(200, kTwoServers), kKey, 1, {}, true).servers.size(), 1u);
    // Nothing matched: Steam leaves the servers out.
    const SteamListAnswer none =
        readSteamListAnswer(answered(200, R"({"response":{}})"), kKey, 100, {}, true);
    EXPECT_TRUE(none.problem.empty());
    EXPECT_TRUE(none.servers.empty());
}

TEST(SteamServerList, ABrokenNameCostsThatNameAloneNeverTheList) {
    struct Case {
        const char* what;
        std::string written; // between the name's quotes, as Steam sent it
        std::string read;
    };
    const std::vector<Case> cases = {
        {"a lone high surrogate", R"(cut \ud800)", R"(cut \ud800)"},
        {"a lone low surrogate", R"(\uDC00x)", R"(\uDC00x)"},
        {"a high surrogate before a letter", R"(\ud83dA)", R"(\ud83dA)"},
        {"a pair stays whole", R"(\ud83d\ude00)", "\xF0\x9F\x98\x80"},
        {"a character cut at a byte limit", "cut \xC3", "cut \\xc3"},
        {"a stray continuation byte",
         "a\x80"
         "b",
         "a\\x80b"},
        {"an overlong slash", "\xC0\xAF", "\\xc0\\xaf"},
        {"a surrogate in UTF-8", "\xED\xA0\x80", "\\xed\\xa0\\x80"},
        {"a byte past Unicode", "\xF5\x80\x80\x80", "\\xf5\\x80\\x80\\x80"},
        {"a raw control byte", "tab\there", "tab\\x09here"},
        {"valid text stays",
         "\xC3\x89"
         "clair \xE5\x8F\x8D",
         "\xC3\x89"
         "clair \xE5\x8F\x8D"},
    };
    for (const Case& c : cases) {
        const std::string body = R"({"response":{"servers":[{"addr":"127.0.0.1:27015","name":")" + c.written +
                                 R"(","map":"de_dust2"},{"addr":"127.0.0.2:27015","name":"Second"}]}})";
        const SteamListAnswer a = readSteamListAnswer(answered(200, body), kKey, 100, {}, true);
        ASSERT_TRUE(a.problem.empty()) << c.what << ": " << a.problem;
        ASSERT_EQ(a.servers.size(), 2u) << c.what;
        EXPECT_EQ(a.servers[0].summary.name, c.read) << c.what;
        EXPECT_EQ(a.servers[0].summary.map, "de_dust2") << c.what;
        EXPECT_EQ(a.servers[1].summary.name, "Second") << c.what;
    }
    // Outside strings nothing is touched: what is broken there stays broken.
    EXPECT_EQ(withBadStringsEscaped("{\"a\":1,\xFF}"), "{\"a\":1,\xFF}");
    EXPECT_EQ(
        readSteamListAnswer(answered(200, "{\"response\":{\"servers\":[\xFF]}}"), kKey, 9, {}, true).problem,
        "Steam's answer is not a server list.");
}

TEST(SteamServerList, AnAddressListedTwiceIsOneServer) {
    std::string body = R"({"response":{"servers":[)";
    for (int i = 0; i < 6; ++i)
        body +=
            std::string(i ? "," : "") + R"({"addr":"127.0.0.)" + std::to_string(1 + i % 3) + R"(:27015"})";
    body += "]}}";
    const SteamListAnswer a = readSteamListAnswer(answered(200, body), kKey, 100, {}, true);
    ASSERT_EQ(a.servers.size(), 3u);
    EXPECT_EQ(a.repeated, 3u);
    EXPECT_EQ(a.servers[2].address.text(), "127.0.0.3:27015");
}

TEST(SteamServerList, EveryFailureHasAClearTextWithoutTheKey) {
    struct Case {
        HttpsGetResult result;
        std::string problem;
    };
    HttpsGetResult cut;
    cut.failure = HttpsGetResult::Failure::CutShort;
    cut.detail = "transfer closed; key=" + kKey;
    HttpsGetResult large;
    large.failure = HttpsGetResult::Failure::TooLarge;
    const std::vector<Case> cases = {
        {answered(401), "Steam refused the key."},
        {answered(403), "Steam refused the key."},
        {answered(429, "", "30"), "Steam asks to wait 30 s before the next request."},
        {answered(429), "Steam asks to wait before the next request."},
        {answered(500, "<html>"), "Steam answered with HTTP status 500."},
        {answered(200, R"({"response":{"servers":[{"addr":"1.2.3.4:5")"),
         "Steam's answer is not a server list."},
        {answered(200, R"({"response":{"servers":{}}})"), "Steam's answer is not a server list."},
        {answered(200, "[1,2]"), "Steam's answer is not a server list."},
        {cut, "Steam's answer was cut short (transfer closed; key=(key))."},
        {large, "Steam's answer was too large to take; ask for fewer servers."},
    };
    for (const Case& c : cases) {
        const SteamListAnswer a = readSteamListAnswer(c.result, kKey, 100, {}, true);
        EXPECT_EQ(a.problem, c.problem) << c.result.status;
        EXPECT_TRUE(a.servers.empty());
    }
    EXPECT_EQ(readSteamListAnswer(answered(429, "", "30"), kKey, 1, {}, true).retryAfterSeconds, 30);
}

TEST(SteamServerList, TheUrlEscapesTheKeyAndTheFilter) {
    SteamListRequest r;
    r.key = "AB&C";
    r.filter = "\\gamedir\\cstrike\\map\\de dust";
    r.limit = 500;
    EXPECT_EQ(steamListUrl(r), "https://api.steampowered.com/IGameServersService/GetServerList/v1/?key=AB%26C"
                               "&filter=%5Cgamedir%5Ccstrike%5Cmap%5Cde%20dust&limit=500");
    EXPECT_EQ(withoutKey("a AB&C b AB%26C", "AB&C"), "a (key) b (key)");
}

// A key that "(key)" itself holds once made the search go round for ever.
TEST(SteamServerList, TheKeyIsTakenOutInOnePassWhateverItIs) {
    const struct {
        const char* key;
        const char* text;
        const char* left;
    } cases[] = {
        {"e", "Steam refused the key.", "St(key)am r(key)fus(key)d th(key) k(key)y."},
        {"k", "key k", "(key)ey (key)"},
        {"(key)", "a (key) b", "a (key) b"},
        {"y)", "(key) y)", "(ke(key) (key)"},
        {"a b", "a b and a%20b", "(key) and (key)"},
        {"x", "nothing", "nothing"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withoutKey(c.text, c.key), c.left) << c.key;
}

TEST(SteamServerList, OverHttpsWithNginxInSteamsPlace) {
    HttpsNginx nginx;
    ASSERT_TRUE(nginx.up());
    nginx.put("ok.json", kTwoServers);
    nginx.put("cut.json", kTwoServers.substr(0, kTwoServers.size() / 2));
    nginx.put("big.json", R"({"response":{"servers":[)" + std::string(4096, ' ') + "]}}");

    std::vector<std::string> notes;
    SteamListAnswer a = fetch(requestTo(nginx, "ok"), &notes);
    ASSERT_TRUE(a.problem.empty()) << a.problem;
    ASSERT_EQ(a.servers.size(), 2u);
    EXPECT_EQ(a.servers[0].summary.name, "Loopback \xC3\x89"
                                         "clair");

    struct Case {
        std::string folder;
        std::string problemStart;
    };
    for (const Case& c : std::vector<Case>{{"401", "Steam refused the key."},
                                           {"403", "Steam refused the key."},
                                           {"cut", "Steam's answer is not a server list."},
                                           {"nothing", "Steam answered with HTTP status 404."}}) {
        a = fetch(requestTo(nginx, c.folder));
        EXPECT_EQ(a.problem, c.problemStart) << c.folder;
    }
    SteamListRequest small = requestTo(nginx, "big");
    small.maxBytes = 1024;
    EXPECT_EQ(fetch(small).problem, "Steam's answer was too large to take; ask for fewer servers.");

    // 429 with Retry-After: 1 is waited out and asked once more, and the user told so.
    notes.clear();
    a = fetch(requestTo(nginx, "429"), &notes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "Steam asks to wait 1 s; asking again then.");
    EXPECT_EQ(a.problem, "Steam asks to wait 1 s before the next request. Try again later.");

    // A certificate nobody trusted is refused, and so is the good one without its authority.
    SteamListRequest stranger = requestTo(nginx, "ok");
    stranger.apiBase = nginx.strangerBase("ok");
    a = fetch(stranger);
    EXPECT_EQ(a.problem.rfind("The connection to Steam is not safe", 0), 0u) << a.problem;
    if (!nginx.trusted()) return; // the rest needs a trusted test authority
    EXPECT_EQ(a.problem.rfind("The connection to Steam is not safe: its certificate was refused", 0), 0u)
        << a.problem;
    SteamListRequest untrusted = requestTo(nginx, "ok");
    untrusted.testAuthorityFile.clear();
    a = fetch(untrusted);
    EXPECT_EQ(a.problem.rfind("The connection to Steam is not safe", 0), 0u) << a.problem;
    // Plain HTTP is refused but where a test allows it.
    SteamListRequest plain = requestTo(nginx, "ok");
    plain.apiBase = nginx.plainBase("ok");
    EXPECT_EQ(fetch(plain).problem, "Only an https:// address may be asked.");
    plain.testPlainHttp = true;
    EXPECT_EQ(fetch(plain).servers.size(), 2u);
}

TEST(SteamServerList, RequestsNameTheProgramAndAskForCounterStrikeUnlessTold) {
    HttpsNginx nginx;
    ASSERT_TRUE(nginx.up());
    ServerSearchArguments search;
    search.steamList = true;
    SteamListRequest request = steamListRequestOf(search, requestTo(nginx, "echo"));
    EXPECT_EQ(request.filter, "\\appid\\10");
    EXPECT_EQ(request.limit, kDefaultFindLimit);
    SteamListAnswer a = fetch(request);
    ASSERT_EQ(a.servers.size(), 1u) << a.problem;
    EXPECT_EQ(a.servers[0].summary.name, std::string("Quillmark/") + QM_VERSION);
    EXPECT_EQ(a.servers[0].summary.map, "%5Cappid%5C10");
    EXPECT_EQ(a.servers[0].address.port, 5000);

    search.filter = "\\gamedir\\valve";
    search.limit = 7;
    search.limitGiven = true;
    a = fetch(steamListRequestOf(search, requestTo(nginx, "echo")));
    ASSERT_EQ(a.servers.size(), 1u) << a.problem;
    EXPECT_EQ(a.servers[0].summary.map, "%5Cgamedir%5Cvalve");
    EXPECT_EQ(a.servers[0].address.port, 7);
}

TEST(SteamServerList, AProxyThatCannotBeReachedIsNamed) {
    HttpsNginx nginx;
    ASSERT_TRUE(nginx.up());
    SteamListRequest request = requestTo(nginx, "ok");
    request.proxyHost = "127.0.0.1";
    request.proxyPort = freeLoopbackPort();
    const SteamListAnswer a = fetch(request);
    const std::string start =
        "The proxy at 127.0.0.1:" + std::to_string(request.proxyPort) + " could not be reached (";
    EXPECT_EQ(a.problem.substr(0, start.size()), start) << a.problem;
}

TEST(SteamServerList, NoMessageOrNoteHoldsTheKey) {
    HttpsNginx nginx;
    ASSERT_TRUE(nginx.up());
    for (const char* folder : {"401", "429", "cut", "none"}) {
        SteamListSource source(requestTo(nginx, folder));
        std::vector<std::string> notes;
        source.run([](std::vector<ListedServer>) {}, [&](const std::string& n) { notes.push_back(n); });
        ASSERT_FALSE(notes.empty()) << folder;
        for (const std::string& n : notes)
            EXPECT_EQ(n.find(kKey), std::string::npos) << n;
    }
    SteamListRequest gone = requestTo(nginx, "ok");
    gone.apiBase = "https://127.0.0.1:1/" + kKey;
    const SteamListAnswer a = fetch(gone);
    EXPECT_FALSE(a.problem.empty());
    EXPECT_EQ(a.problem.find(kKey), std::string::npos) << a.problem;
}

TEST(SteamServerList, TheQueryToolReadsTheKeyFromItsFileOrTheEnvironmentOnly) {
    HttpsNginx nginx;
    ASSERT_TRUE(nginx.up());
    nginx.put("ok.json", kTwoServers);
    TempDir dir;
    writeAll(dir.file("key.txt"), kKey + "\r\n");
    SearchSeams seams;
    seams.steam = requestTo(nginx, "ok");
    std::string fromEnvironment;
    seams.environment = [&](const char*) { return fromEnvironment; };
    const auto run = [&](const std::vector<std::string>& args, std::string& err) {
        std::ostringstream out, errors;
        const int status = runQueryCommand(args, out, errors, seams);
        err = errors.str();
        return std::to_string(status) + ":" + out.str();
    };
    std::string err;
    EXPECT_EQ(run({"--steam-list", "--key-file", dir.file("key.txt")}, err),
              "0:127.0.0.1:27015\n127.0.0.2:27016\n");
    EXPECT_EQ(err, "quillmark-query: Steam: 2 servers, 1 without an address\n");
    EXPECT_EQ(run({"--steam-list"}, err), "2:");
    EXPECT_EQ(err, "quillmark-query: --steam-list needs a key in QUILLMARK_STEAM_KEY or --key-file\n");
    fromEnvironment = kKey;
    EXPECT_EQ(run({"--steam-list", "--limit", "1"}, err).substr(0, 2), "0:");
    EXPECT_EQ(run({"--steam-list", "--key", kKey}, err), "2:");
    EXPECT_NE(err.find("never from an argument"), std::string::npos);
    EXPECT_EQ(err.find(kKey), std::string::npos);
    seams.steam.apiBase = nginx.reachableBase("401");
    EXPECT_EQ(run({"--steam-list"}, err), "1:");
    EXPECT_EQ(err, "quillmark-query: Steam refused the key.\n");
}

TEST(ListedAddress, AddressesNoGameServerHasAreNeverAsked) {
    const struct {
        const char* address;
        uint16_t port;
        bool fromLoopback;
        const char* reason; // nullptr: asked
    } cases[] = {
        {"1.2.3.4", 27015, false, nullptr},        {"0.0.0.0", 27015, false, "this network"},
        {"0.1.2.3", 27015, false, "this network"}, {"255.255.255.255", 27015, false, "broadcast"},
        {"224.0.0.1", 27015, false, "multicast"},  {"239.255.255.250", 1900, false, "multicast"},
        {"240.0.0.1", 27015, false, "reserved"},   {"169.254.10.20", 27015, false, "link-local"},
        {"1.2.3.4", 0, false, "port 0"},           {"127.0.0.1", 27010, false, "loopback"},
        {"127.0.0.1", 27010, true, nullptr},       {"223.255.255.255", 27015, false, nullptr},
        {"169.253.0.1", 27015, false, nullptr},
    };
    for (const auto& c : cases) {
        const char* reason = unaskableReason(Endpoint::fromDotted(c.address, c.port), c.fromLoopback);
        EXPECT_STREQ(reason, c.reason) << c.address << ":" << c.port;
    }
    // Steam's answer from elsewhere: only the server that may be asked is listed.
    const std::string body =
        R"({"response":{"servers":[{"addr":"169.254.1.1:27015"},{"addr":"127.0.0.1:27015"},)"
        R"({"addr":"224.0.0.1:27015"},{"addr":"1.2.3.4:27015"},{"addr":"1.2.3.5:0"}]}})";
    const SteamListAnswer a = readSteamListAnswer(answered(200, body), kKey, 100);
    ASSERT_EQ(a.servers.size(), 1u);
    EXPECT_EQ(a.servers[0].address.text(), "1.2.3.4:27015");
    EXPECT_EQ(a.unaskable, 3u);
    EXPECT_EQ(a.unreadable, 1u); // port 0 is no address at all
}
