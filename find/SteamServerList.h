#pragma once
#include "find/ListedServer.h"
#include "platform/HttpsGet.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace qm {

inline constexpr const char* kSteamWebApi = "https://api.steampowered.com";
inline constexpr const char* kSteamRefusedKey = "Steam refused the key.";
/// The longest Retry-After the search waits out before it asks again; past it, the user
/// is told when to try.
inline constexpr int kLongestRetryWaitSeconds = 60;
/// How many servers a search gathers unless told otherwise, in the window and the tool.
inline constexpr size_t kDefaultFindLimit = 5000;
/// Steam's list as the window's default game directory asks it: Counter-Strike.
inline constexpr const char* kDefaultSteamFilter = "\\appid\\10";
/// Who asks, in every request.
inline constexpr const char* kSteamUserAgent = "Quillmark/" QM_VERSION;

/// How to ask Steam's Web API for its server list.
struct SteamListRequest {
    std::string key; // the player's own Web API key: never shown, logged or passed on
    std::string filter;
    size_t limit = kDefaultFindLimit;
    std::string proxyHost;
    int proxyPort = 0;
    std::string proxyUser, proxyPassword;
    size_t maxBytes = 32u << 20;
    int timeoutMs = 30000;
    /// Tests only: another server in Steam's place, and the authority it is trusted by.
    std::string apiBase = kSteamWebApi;
    std::string testAuthorityFile;
    bool testPlainHttp = false;
};

/// GetServerList's address for the request, the key and the filter escaped.
std::string steamListUrl(const SteamListRequest& request);

struct SteamListAnswer {
    std::vector<ListedServer> servers;
    std::string problem;        // empty when the list came
    int retryAfterSeconds = -1; // Steam asked to wait this long (HTTP 429)
    size_t unreadable = 0;      // entries without an IPv4 address and port
    size_t repeated = 0;        // entries of an address listed before, merged into it
    size_t unaskable = 0;       // entries at addresses no game server has (ListedAddress.h)
};

/// What Steam's answer means; every text it gives is free of `key`. `proxy` is the
/// "host:port" the request went through, empty for none.
SteamListAnswer readSteamListAnswer(const HttpsGetResult& result, const std::string& key, size_t limit,
                                    const std::string& proxy = {}, bool fromLoopback = false);

/// Asks Steam; when it asks to wait (429) no longer than kLongestRetryWaitSeconds, waits
/// and asks once more, telling `note` so. `cancel` ends the wait and the request.
SteamListAnswer fetchSteamList(const SteamListRequest& request, const std::atomic<bool>* cancel,
                               const std::function<void(const std::string&)>& note);

/// The text with every occurrence of the key taken out.
std::string withoutKey(std::string text, const std::string& key);

} // namespace qm
