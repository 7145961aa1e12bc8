// Steam's answer: read twice it gives the same servers; each server's fields are what a
// plain reading of the same JSON with the library's DOM gives; no address is listed twice
// or at an address no game server has; and the key given to the reader is in no message.
#include "find/JsonStrings.h"
#include "find/ListedAddress.h"
#include "find/MasterProtocol.h"
#include "find/SteamServerList.h"
#include "fuzz/FuzzCheck.h"

#include <nlohmann/json.hpp>

#include <unordered_set>

using namespace qm;

namespace {

bool sameServers(const SteamListAnswer& a, const SteamListAnswer& b) {
    if (a.problem != b.problem || a.servers.size() != b.servers.size()) return false;
    for (size_t i = 0; i < a.servers.size(); ++i) {
        const ListedServer &x = a.servers[i], &y = b.servers[i];
        if (!(x.address == y.address) || x.gameDir != y.gameDir || x.summary.name != y.summary.name ||
            x.summary.map != y.summary.map || x.summary.players != y.summary.players)
            return false;
    }
    return true;
}

// A field as the DOM holds it: a string as it is, a whole number written out.
std::string plain(const nlohmann::json& server, const char* name) {
    const auto it = server.find(name);
    if (it == server.end()) return "-";
    if (it->is_string()) return it->get<std::string>();
    if (it->is_number_integer()) return std::to_string(it->get<int64_t>());
    if (it->is_boolean()) return it->get<bool>() ? "1" : "0";
    return "-";
}

// "a.b.c.d:port" as the program writes an address: no leading zeros, nothing around it.
bool canonicalAddress(const std::string& text) {
    size_t at = 0;
    const auto number = [&](int most, char end) {
        const size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
            ++at;
        const size_t digits = at - start;
        if (digits == 0 || digits > 5 || (digits > 1 && text[start] == '0')) return false;
        if (std::stoi(text.substr(start, digits)) > most) return false;
        if (end == '\0') return at == text.size();
        return at < text.size() && text[at++] == end;
    };
    return number(255, '.') && number(255, '.') && number(255, '.') && number(255, ':') &&
           number(65535, '\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [keyPart, body] = fuzz::splitOnce(std::string_view(reinterpret_cast<const char*>(data), size));
    // A key as a player types one: letters and digits, long enough not to be in any of
    // the program's own words.
    std::string key;
    for (char c : keyPart)
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) key.push_back(c);
    if (key.size() < 8) key = "0123456789ABCDEF";
    HttpsGetResult result;
    result.status = 200;
    result.body = std::string(body);
    const SteamListAnswer first = readSteamListAnswer(result, key, kMaxListedServers);
    QM_FUZZ_CHECK(sameServers(first, readSteamListAnswer(result, key, kMaxListedServers)));
    QM_FUZZ_CHECK(first.problem.find(key) == std::string::npos);
    result.status = 500;
    result.body.clear();
    QM_FUZZ_CHECK(readSteamListAnswer(result, key, 1).problem.find(key) == std::string::npos);
    if (!first.problem.empty()) return 0;

    std::unordered_set<Endpoint, EndpointHash> seen;
    for (const ListedServer& s : first.servers) {
        QM_FUZZ_CHECK(seen.insert(s.address).second);
        QM_FUZZ_CHECK(unaskableReason(s.address, false) == nullptr);
    }
    // The servers in the DOM's order, each the first entry of its address, where every
    // address is written as the program writes one.
    const nlohmann::json document = nlohmann::json::parse(withBadStringsEscaped(body), nullptr, false);
    const nlohmann::json none = nlohmann::json::array();
    const auto response = document.find("response");
    const auto servers = response->find("servers");
    const nlohmann::json& list = servers == response->end() ? none : *servers;
    for (const nlohmann::json& server : list) {
        const std::string addr = server.is_object() ? plain(server, "addr") : "-";
        if (addr != "-" && !canonicalAddress(addr)) return 0;
    }
    size_t next = 0;
    for (const nlohmann::json& server : list) {
        if (next == first.servers.size()) break;
        const ListedServer& read = first.servers[next];
        if (!server.is_object() || plain(server, "addr") != read.address.text()) continue;
        QM_FUZZ_CHECK(plain(server, "name") == read.summary.name);
        QM_FUZZ_CHECK(plain(server, "map") == read.summary.map);
        QM_FUZZ_CHECK(plain(server, "players") == read.summary.players);
        QM_FUZZ_CHECK(plain(server, "max_players") == read.summary.maxPlayers);
        const std::string dir = plain(server, "gamedir");
        QM_FUZZ_CHECK((dir == "-" ? std::string() : dir) == read.gameDir);
        ++next;
    }
    QM_FUZZ_CHECK(next == first.servers.size());
    // And none was left out that may be asked.
    std::unordered_set<std::string> wanted;
    for (const nlohmann::json& server : list) {
        if (!server.is_object()) continue;
        const std::string addr = plain(server, "addr");
        if (addr == "-" || addr.find(':') == std::string::npos) continue;
        const Endpoint e =
            Endpoint::fromDotted(addr.substr(0, addr.find(':')),
                                 static_cast<uint16_t>(std::stoi(addr.substr(addr.find(':') + 1))));
        if (!unaskableReason(e, false)) wanted.insert(addr);
    }
    QM_FUZZ_CHECK(wanted.size() == first.servers.size());
    return 0;
}
