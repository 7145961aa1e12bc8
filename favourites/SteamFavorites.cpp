#include "favourites/SteamFavorites.h"

#include "favourites/ServerBrowserLists.h"

#include <algorithm>
#include <unordered_map>

namespace qm {

std::vector<std::string> steamFavouriteEntries(std::string_view text, const std::string& fallbackGameDir) {
    const ServerBrowserLists lists = findServerBrowserLists(text);
    std::vector<std::string> entries;
    for (const KeyValuesNode* server : listedServers(lists.favorites)) {
        std::string entry(server->valueOf("address"));
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

void appendNewEntry(std::string& out, long long number, std::string_view address, std::string_view nl) {
    const auto key = [&](std::string_view name, std::string_view value) {
        out.append("\t\t\t\"").append(name).append("\"\t\t\"").append(value).append("\"").append(nl);
    };
    out.append("\t\t\"").append(std::to_string(number)).append("\"").append(nl);
    out.append("\t\t{").append(nl);
    key("name", address);
    key("address", address);
    key("LastPlayed", "0");
    key("appid", "0");
    key("accountid", "0");
    out.append("\t\t}").append(nl);
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
        for (const KeyValuesNode& entry : list->children)
            highest = std::max(highest, entryNumber(entry.key));
        for (const KeyValuesNode* server : listedServers(list))
            present.emplace(server->valueOf("address"), server);
    }

    std::vector<WrittenEntry> written;
    written.reserve(selection.servers.size());
    for (const SelectedServer& server : selection.servers) {
        const auto found = present.find(server.address);
        if (found != present.end()) {
            const KeyValuesNode& entry = *found->second;
            written.push_back({entryNumber(entry.key),
                               text.substr(entry.lineBegin, entry.end - entry.lineBegin), server.address});
        } else {
            written.push_back({++highest, {}, server.address});
        }
    }
    std::stable_sort(written.begin(), written.end(),
                     [](const WrittenEntry& a, const WrittenEntry& b) { return a.number < b.number; });

    const std::string_view nl = lineEndOf(text);
    std::string block;
    for (const WrittenEntry& entry : written) {
        if (entry.keptText.empty()) {
            appendNewEntry(block, entry.number, entry.address, nl);
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
