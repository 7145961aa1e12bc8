#include "find/SteamServerList.h"

#include "find/JsonStrings.h"
#include "find/ListedAddress.h"
#include "find/MasterProtocol.h"
#include "platform/Clock.h"
#include "platform/HostResolver.h"
#include "query/QueryTarget.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>
#include <unordered_set>

namespace qm {

namespace {

using Json = nlohmann::json;

std::string percentEscaped(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

std::string textOf(const Json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end()) return "-";
    if (it->is_string()) return it->get<std::string>();
    if (it->is_number_integer()) return std::to_string(it->get<int64_t>());
    if (it->is_boolean()) return it->get<bool>() ? "1" : "0";
    return "-";
}

std::optional<Endpoint> endpointOf(const Json& server) {
    const auto addr = server.find("addr");
    if (addr == server.end() || !addr->is_string()) return std::nullopt;
    const std::string text = addr->get<std::string>();
    const auto target = parseQueryTarget(text);
    if (!target || text.find(':') == std::string::npos || !isDottedAddress(target->host)) return std::nullopt;
    return Endpoint::fromDotted(target->host, static_cast<uint16_t>(target->port));
}

int secondsOf(const std::string& retryAfter) {
    if (retryAfter.empty() || retryAfter.size() > 6 ||
        retryAfter.find_first_not_of("0123456789") != std::string::npos)
        return -1; // a date, or nothing: the caller picks a wait
    return std::stoi(retryAfter);
}

std::string transportProblem(const HttpsGetResult& r, const std::string& proxy) {
    using F = HttpsGetResult::Failure;
    switch (r.failure) {
    case F::Cancelled:
        return "The search was cancelled.";
    case F::TooLarge:
        return "Steam's answer was too large to take; ask for fewer servers.";
    case F::CutShort:
        return "Steam's answer was cut short (" + r.detail + ").";
    case F::Certificate:
        return "The connection to Steam is not safe: its certificate was refused (" + r.detail + ").";
    case F::Unreachable:
        return "Steam could not be reached (" + r.detail + ").";
    case F::ProxyUnreachable:
        return "The proxy at " + proxy + " could not be reached (" + r.detail + ").";
    case F::ProxyFailed:
        return "The proxy at " + proxy + " did not open the way to Steam (" + r.detail + ").";
    case F::TimedOut:
        return "Steam did not answer in time.";
    case F::Refused:
        return "Only an https:// address may be asked.";
    default:
        return "Steam's server list could not be fetched (" + r.detail + ").";
    }
}

// The servers of a well-formed answer; a problem when it is not one.
void readServers(const std::string& body, size_t limit, bool fromLoopback, SteamListAnswer& answer) {
    // One server's broken name costs that name, never the list.
    const Json document = Json::parse(withBadStringsEscaped(body), nullptr, false);
    const auto response = document.is_object() ? document.find("response") : document.end();
    if (document.is_discarded() || !document.is_object() || response == document.end() ||
        !response->is_object()) {
        answer.problem = "Steam's answer is not a server list.";
        return;
    }
    // A search that matches nothing comes back without "servers".
    const auto servers = response->find("servers");
    if (servers == response->end()) return;
    if (!servers->is_array()) {
        answer.problem = "Steam's answer is not a server list.";
        return;
    }
    std::unordered_set<Endpoint, EndpointHash> seen;
    for (const Json& s : *servers) {
        if (answer.servers.size() >= limit) break;
        const std::optional<Endpoint> at = s.is_object() ? endpointOf(s) : std::nullopt;
        if (!at) {
            ++answer.unreadable;
            continue;
        }
        if (!seen.insert(*at).second) {
            ++answer.repeated;
            continue;
        }
        if (unaskableReason(*at, fromLoopback)) {
            ++answer.unaskable;
            continue;
        }
        ListedServer listed;
        listed.address = *at;
        listed.described = true;
        listed.summary = {textOf(s, "name"), textOf(s, "map"), textOf(s, "players"), textOf(s, "max_players"),
                          textOf(s, "bots")};
        listed.gameDir = textOf(s, "gamedir");
        if (listed.gameDir == "-") listed.gameDir.clear();
        if (const auto port = s.find("gameport");
            port != s.end() && port->is_number_integer() && *port > 0 && *port <= 0xFFFF)
            listed.gamePort = port->get<uint16_t>();
        answer.servers.push_back(std::move(listed));
    }
}

} // namespace

std::string steamListUrl(const SteamListRequest& r) {
    return r.apiBase + "/IGameServersService/GetServerList/v1/?key=" + percentEscaped(r.key) +
           "&filter=" + percentEscaped(r.filter) + "&limit=" + std::to_string(r.limit);
}

std::string withoutKey(std::string text, const std::string& key) {
    if (key.empty()) return text;
    // One pass: what replaced the key is never searched again, so a key that "(key)"
    // holds ("e", "k") cannot make the search go round.
    const std::string forms[] = {key, percentEscaped(key)};
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const std::string* found = nullptr;
        for (const std::string& form : forms)
            if (text.compare(at, form.size(), form) == 0 && (!found || form.size() > found->size()))
                found = &form;
        if (found) {
            out += "(key)";
            at += found->size();
        } else {
            out.push_back(text[at++]);
        }
    }
    return out;
}

SteamListAnswer readSteamListAnswer(const HttpsGetResult& result, const std::string& key, size_t limit,
                                    const std::string& proxy, bool fromLoopback) {
    SteamListAnswer answer;
    if (result.failure != HttpsGetResult::Failure::None) {
        answer.problem = transportProblem(result, proxy);
    } else if (result.status == 401 || result.status == 403) {
        answer.problem = kSteamRefusedKey;
    } else if (result.status == 429) {
        answer.retryAfterSeconds = secondsOf(result.retryAfter);
        answer.problem = answer.retryAfterSeconds >= 0
                             ? "Steam asks to wait " + std::to_string(answer.retryAfterSeconds) +
                                   " s before the next request."
                             : "Steam asks to wait before the next request.";
    } else if (result.status != 200) {
        answer.problem = "Steam answered with HTTP status " + std::to_string(result.status) + ".";
    } else {
        readServers(result.body, std::min(limit, kMaxListedServers), fromLoopback, answer);
    }
    answer.problem = withoutKey(answer.problem, key);
    return answer;
}

SteamListAnswer fetchSteamList(const SteamListRequest& r, const std::atomic<bool>* cancel,
                               const std::function<void(const std::string&)>& note) {
    HttpsGetRequest get;
    get.url = steamListUrl(r);
    get.proxyHost = r.proxyHost;
    get.proxyPort = r.proxyPort;
    get.proxyUser = r.proxyUser;
    get.proxyPassword = r.proxyPassword;
    get.maxBytes = r.maxBytes;
    get.timeoutMs = r.timeoutMs;
    get.cancel = cancel;
    get.testAuthorityFile = r.testAuthorityFile;
    get.testPlainHttp = r.testPlainHttp;
    get.userAgent = kSteamUserAgent;
    const std::string proxy = r.proxyHost.empty() ? "" : r.proxyHost + ":" + std::to_string(r.proxyPort);
    // Loopback servers are taken only from a list that comes from this computer (a test's).
    const bool fromLoopback =
        r.apiBase.rfind("https://127.", 0) == 0 || r.apiBase.rfind("http://127.", 0) == 0;
    SteamListAnswer answer = readSteamListAnswer(httpsGet(get), r.key, r.limit, proxy, fromLoopback);
    if (answer.retryAfterSeconds < 0 || answer.retryAfterSeconds > kLongestRetryWaitSeconds) {
        if (answer.retryAfterSeconds > kLongestRetryWaitSeconds)
            answer.problem +=
                " Try again in " + std::to_string((answer.retryAfterSeconds + 59) / 60) + " min.";
        return answer;
    }
    note("Steam asks to wait " + std::to_string(answer.retryAfterSeconds) + " s; asking again then.");
    const int64_t until = steadyClock().microseconds() + int64_t{answer.retryAfterSeconds} * 1000000;
    while (steadyClock().microseconds() < until) {
        if (cancel && cancel->load()) {
            HttpsGetResult cancelled;
            cancelled.failure = HttpsGetResult::Failure::Cancelled;
            return readSteamListAnswer(cancelled, r.key, 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    answer = readSteamListAnswer(httpsGet(get), r.key, r.limit, proxy, fromLoopback);
    if (answer.retryAfterSeconds >= 0) answer.problem += " Try again later.";
    return answer;
}

} // namespace qm
