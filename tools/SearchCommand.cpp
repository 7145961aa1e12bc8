#include "tools/SearchCommand.h"

#include "find/MasterServersFile.h"
#include "find/ServerSources.h"
#include "platform/Failure.h"
#include "platform/TextFile.h"
#include "platform/TextTools.h"
#include "tools/BatchCommand.h"

#include <memory>
#include <ostream>

namespace qm {

namespace {

constexpr const char* kKeyVariable = "QUILLMARK_STEAM_KEY";

// The key from its file's first line, or from the environment; empty with `err` told
// when there is none.
std::string steamKey(const QueryArguments& a, const SearchSeams& seams, std::ostream& err) {
    if (!a.search.keyFile.empty()) {
        try {
            TextFileReader file(a.search.keyFile);
            const std::string key(trimmed(file.readLine(), true));
            if (key.empty()) err << "quillmark-query: " << a.search.keyFile << " holds no key\n";
            return key;
        } catch (const Failure& e) {
            err << "quillmark-query: " << a.search.keyFile << ": " << e.what() << "\n";
            return {};
        }
    }
    const std::string key =
        seams.environment ? std::string(trimmed(seams.environment(kKeyVariable), true)) : "";
    if (key.empty())
        err << "quillmark-query: --steam-list needs a key in " << kKeyVariable << " or --key-file\n";
    return key;
}

std::vector<std::string> mastersToAsk(const QueryArguments& a, std::ostream& err) {
    std::vector<std::string> masters = a.search.masters;
    if (a.search.mastersOf.empty()) return masters;
    const GameMasters game = readGameMasters(a.search.mastersOf);
    for (const std::string& problem : game.problems)
        err << "quillmark-query: " << problem << "\n";
    if (game.read.empty() && game.problems.empty())
        err << "quillmark-query: " << a.search.mastersOf << " holds no MasterServers.vdf\n";
    masters.insert(masters.end(), game.masters.begin(), game.masters.end());
    return masters;
}

std::unique_ptr<ServerSource> sourceOf(const QueryArguments& a, const SearchSeams& seams, std::ostream& err) {
    if (a.search.steamList) {
        SteamListRequest request = steamListRequestOf(a.search, seams.steam);
        request.key = steamKey(a, seams, err);
        if (request.key.empty()) return nullptr;
        return std::make_unique<SteamListSource>(std::move(request));
    }
    const std::vector<std::string> masters = mastersToAsk(a, err);
    if (masters.empty()) return nullptr;
    MasterSearchOptions options;
    options.region = a.search.region;
    options.filter = a.search.filter;
    options.limit = a.search.limit;
    options.everyMaster = a.search.everyMaster;
    return std::make_unique<MasterSource>(masters, options, seams.lookup);
}

} // namespace

SteamListRequest steamListRequestOf(const ServerSearchArguments& search, SteamListRequest base) {
    // Unfiltered, Steam lists every game's servers: Counter-Strike's, as the window asks.
    base.filter = search.filter.empty() ? kDefaultSteamFilter : search.filter;
    base.limit = search.limitGiven ? search.limit : kDefaultFindLimit;
    return base;
}

int runSearchCommand(const QueryArguments& a, std::ostream& out, std::ostream& err,
                     const SearchSeams& seams) {
    const std::unique_ptr<ServerSource> source = sourceOf(a, seams, err);
    if (!source) return 2;
    std::vector<std::string> given;
    std::vector<QueryTarget> targets;
    source->run(
        [&](std::vector<ListedServer> servers) {
            for (const ListedServer& s : servers) {
                const std::string text = s.address.text();
                if (!a.search.query) {
                    out << text << '\n';
                    continue;
                }
                given.push_back(s.gameDir.empty() ? text : text + " " + s.gameDir);
                targets.push_back({text.substr(0, text.rfind(':')), s.address.port});
            }
            out.flush();
        },
        [&](const std::string& note) { err << "quillmark-query: " << note << "\n"; });
    const bool whole = source->listedWhole();
    if (!a.search.query) return whole ? 0 : 1;
    if (targets.empty()) return whole ? 0 : 1;
    return runBatchCommand(given, targets, a.options, a.output, out, seams.lookup,
                           {a.withPlayers, a.withRules});
}

} // namespace qm
