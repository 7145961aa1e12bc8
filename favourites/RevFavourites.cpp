#include "favourites/RevFavourites.h"

#include "favourites/ServerBrowserLists.h"

#include <unordered_map>

namespace qm {

std::vector<std::string> revFavouriteEntries(std::string_view text) {
    const ServerBrowserLists lists = findServerBrowserLists(text);
    std::vector<std::string> entries;
    for (const KeyValuesNode* server : listedServers(lists.favorites)) {
        std::string entry = unescapedKeyValuesText(server->valueOf("address"));
        entry.append(" ").append(unescapedKeyValuesText(server->valueOf("gamedir")));
        entries.push_back(std::move(entry));
    }
    return entries;
}

namespace {

// Every value as it is written between the quotes: kept ones as the file had them,
// the list's own escaped.
struct RevEntry {
    std::string_view name;
    std::string_view address;
    std::string_view lastPlayed;
    std::string_view appId;
    std::string gameDir;
};

// The separators after each key are the dialect's own: one tab after address and
// lastplayed, two after the others; an empty line follows every entry.
void appendEntry(std::string& out, size_t number, const RevEntry& e, std::string_view nl) {
    const auto key = [&](std::string_view name, std::string_view gap, std::string_view value) {
        out.append("\t\t\t\"")
            .append(name)
            .append("\"")
            .append(gap)
            .append("\"")
            .append(value)
            .append("\"")
            .append(nl);
    };
    out.append("\t\t\"").append(std::to_string(number)).append("\"").append(nl);
    out.append("\t\t{").append(nl);
    key("name", "\t\t", e.name);
    key("address", "\t", e.address);
    key("lastplayed", "\t", e.lastPlayed);
    key("appID", "\t\t", e.appId);
    key("gamedir", "\t\t", e.gameDir);
    out.append("\t\t}").append(nl).append(nl);
}

} // namespace

std::string rewriteRevFavourites(std::string_view text, const FavouriteSelection& selection) {
    const ServerBrowserLists lists = findServerBrowserLists(text);
    std::unordered_map<std::string_view, const SelectedServer*> wanted;
    for (const SelectedServer& server : selection.servers)
        wanted.emplace(server.address, &server);

    const std::string_view nl = lineEndOf(text);
    std::string block;
    size_t number = 0;
    for (const KeyValuesNode* server : listedServers(lists.favorites)) {
        const auto found = wanted.find(server->valueOf("address"));
        if (found == wanted.end() || !found->second) continue; // dropped, or already written
        const SelectedServer& s = *found->second;
        appendEntry(block, number++,
                    {server->valueOf("name"), s.address, server->valueOf("lastplayed"),
                     server->valueOf("appID"), escapedKeyValuesText(s.gameDir)},
                    nl);
        found->second = nullptr;
    }
    // A server the history holds keeps its name and when it was last played.
    std::unordered_map<std::string_view, const KeyValuesNode*> played;
    for (const KeyValuesNode* server : listedServers(lists.history))
        played.emplace(server->valueOf("address"), server);
    for (const SelectedServer& s : selection.servers) {
        if (!wanted.at(s.address)) continue;
        const auto history = played.find(s.address);
        if (history == played.end()) {
            appendEntry(block, number++, {s.address, s.address, "0", "0", escapedKeyValuesText(s.gameDir)},
                        nl);
            continue;
        }
        const KeyValuesNode& h = *history->second;
        const auto or0 = [](std::string_view v) { return v.empty() ? std::string_view("0") : v; };
        appendEntry(block, number++,
                    {h.valueOf("name").empty() ? std::string_view(s.address) : h.valueOf("name"), s.address,
                     or0(h.valueOf("lastplayed")), or0(h.valueOf("appID")), escapedKeyValuesText(s.gameDir)},
                    nl);
    }

    // The dialect puts an empty line after each list's closing brace too.
    return withFavouritesBlock(text, lists, block, nl, nl);
}

} // namespace qm
