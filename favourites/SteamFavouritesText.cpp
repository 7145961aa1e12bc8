#include "favourites/SteamFavouritesText.h"

#include "favourites/ServerBrowserLists.h"

#include <algorithm>
#include <unordered_map>

namespace qm {

std::vector<std::string> steamFavouriteEntries(std::string_view text, const std::string& fallbackGameDir) {
    const ServerBrowserLists lists = findServerBrowserLists(text);
    std::vector<std::string> entries;
    for (const KeyValuesNode* server : listedServers(lists.favorites)) {
        std::string entry = unescapedKeyValuesText(server->valueOf("address"));
        entry.append(" ").append(gameDirOfAppId(server->valueOf("appid"), fallbackGameDir));
        entries.push_back(std::move(entry));
    }
    return entries;
}

namespace {

struct WrittenEntry {
    long long number;
    std::string_view keptText; // the entry's bytes as they stand, or empty for a new one
    std::string_view address;
};

// The keys of a new entry, spelt as the file's own entries spell them ("AccountID" where
// the file writes that), else as Steam writes them today.
struct EntryKeys {
    std::string_view name = "name", address = "address", lastPlayed = "LastPlayed", appId = "appid",
                     accountId = "accountid";
};

EntryKeys entryKeysOf(const ServerBrowserLists& lists) {
    EntryKeys keys;
    for (std::string_view* key : {&keys.name, &keys.address, &keys.lastPlayed, &keys.appId, &keys.accountId})
        for (const KeyValuesNode* list : {lists.favorites, lists.history}) {
            const auto servers = listedServers(list);
            const auto spelt = std::find_if(servers.begin(), servers.end(),
                                            [&](const KeyValuesNode* server) { return server->child(*key); });
            if (spelt == servers.end()) continue;
            *key = (*spelt)->child(*key)->key();
            break;
        }
    return keys;
}

void appendNewEntry(std::string& out, long long number, std::string_view address, const EntryKeys& keys,
                    std::string_view nl) {
    const auto key = [&](std::string_view name, std::string_view value) {
        out.append("\t\t\t\"").append(name).append("\"\t\t\"").append(value).append("\"").append(nl);
    };
    out.append("\t\t\"").append(std::to_string(number)).append("\"").append(nl);
    out.append("\t\t{").append(nl);
    key(keys.name, address);
    key(keys.address, address);
    key(keys.lastPlayed, "0");
    key(keys.appId, "0");
    key(keys.accountId, "0");
    out.append("\t\t}").append(nl);
}

// Entry numbers are read up to 18 digits; a file with a longer one, or whose numbers would
// grow past that, could get two entries of one number, so it is refused as it stands.
constexpr long long kLargestEntryNumber = 999999999999999999LL;

void refuseNumbersBeyondReach(const KeyValuesNode& entry) {
    const std::string_view key = entry.key();
    if (key.size() > 18 && key.find_first_not_of("0123456789") == std::string_view::npos)
        throw KeyValuesError("its entry number \"" + std::string(key) +
                             "\" is longer than 18 digits; renumber the entries or remove that one");
}

} // namespace

std::string rewriteSteamFavourites(std::string_view text, const FavouriteSelection& selection) {
    const ServerBrowserLists lists = findServerBrowserLists(text);
    // The entries the file has, by address: favourites first, so that a server in both
    // lists keeps its favourite entry.
    std::unordered_map<std::string_view, const KeyValuesNode*> present;
    long long highest = 0;
    for (const KeyValuesNode* list : {lists.favorites, lists.history}) {
        if (!list) continue;
        for (const KeyValuesNode& entry : list->children()) {
            refuseNumbersBeyondReach(entry);
            highest = std::max(highest, entryNumber(entry.key()));
        }
        for (const KeyValuesNode* server : listedServers(list))
            present.emplace(server->valueOf("address"), server);
    }

    std::vector<WrittenEntry> written;
    written.reserve(selection.servers.size());
    for (const SelectedServer& server : selection.servers) {
        const auto found = present.find(server.address);
        if (found != present.end()) {
            const KeyValuesNode& entry = *found->second;
            const size_t begin = entry.lineBegin(text);
            written.push_back(
                {entryNumber(entry.key()), text.substr(begin, entry.end(text) - begin), server.address});
        } else {
            if (highest >= kLargestEntryNumber)
                throw KeyValuesError(
                    "its entry numbers reach " + std::to_string(highest) +
                    ", and a new entry's would be longer than 18 digits; renumber the entries");
            written.push_back({++highest, {}, server.address});
        }
    }
    std::stable_sort(written.begin(), written.end(),
                     [](const WrittenEntry& a, const WrittenEntry& b) { return a.number < b.number; });

    const std::string_view nl = lineEndOf(text);
    const EntryKeys keys = entryKeysOf(lists);
    std::string block;
    for (const WrittenEntry& entry : written) {
        if (entry.keptText.empty()) {
            appendNewEntry(block, entry.number, entry.address, keys, nl);
            continue;
        }
        block.append(entry.keptText);
        // A kept entry that ended its text without a line end still ends its line here.
        if (entry.keptText.back() != '\n') block.append(nl);
    }

    return withFavouritesBlock(text, lists, block, nl);
}

std::string_view emptySteamFavouritesText() {
    return "\"Filters\"\n{\n\t\"favorites\"\n\t{\n\t}\n\t\"history\"\n\t{\n\t}\n}\n";
}

} // namespace qm
