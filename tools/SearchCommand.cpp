#include "tools/SearchCommand.h"

#include "database/CountryExport.h"
#include "find/MasterServersFile.h"
#include "find/ServerSources.h"
#include "geo/CountryNames.h"
#include "platform/Failure.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"
#include "platform/TextTools.h"
#include "tools/BatchCommand.h"

#include <chrono>
#include <cstdio>
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

// The game directory a filter asks for ("\\gamedir\\cstrike"), for entries of a list that
// names none; empty when it asks for none.
std::string gameDirOfFilter(const std::string& filter) {
    const std::string key = "\\gamedir\\";
    const size_t at = filter.find(key);
    if (at == std::string::npos) return {};
    const size_t from = at + key.size();
    return filter.substr(from, filter.find('\\', from) - from);
}

// Today as a database's build ("20261210") and date ("10/12/26") lines.
std::pair<std::string, std::string> today() {
    const std::chrono::year_month_day day{
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    const int y = static_cast<int>(day.year());
    const unsigned m = static_cast<unsigned>(day.month()), d = static_cast<unsigned>(day.day());
    char build[16], date[16];
    std::snprintf(build, sizeof build, "%04d%02u%02u", y, m, d);
    std::snprintf(date, sizeof date, "%02u/%02u/%02d", d, m, y % 100);
    return {build, date};
}

int writeDatabase(const QueryArguments& a, const std::vector<ServerOfCountry>& found, std::ostream& err) {
    const auto [build, date] = today();
    try {
        const Outcome written =
            exportCountryDatabase(a.search.db2, a.search.build.empty() ? build : a.search.build, date, found);
        err << "quillmark-query: " << written.status << "\n";
        return written.ok ? 0 : 1;
    } catch (const FileError& e) {
        err << "quillmark-query: cannot write " << a.search.db2 << ": " << e.what() << "\n";
        return 1;
    }
}

} // namespace

SteamListRequest steamListRequestOf(const ServerSearchArguments& search, SteamListRequest base) {
    // Unfiltered, Steam lists every game's servers: Counter-Strike's, as the window asks.
    base.filter = search.filter.empty() ? kDefaultSteamFilter : search.filter;
    base.limit = search.limitGiven ? search.limit : kDefaultFindLimit;
    return base;
}

int runSearchCommand(const QueryArguments& a, std::ostream& out, std::ostream& err, const SearchSeams& seams,
                     const AskedExtras& extras, const CountryColumn* countries) {
    const std::unique_ptr<ServerSource> source = sourceOf(a, seams, err);
    if (!source) return 2;
    const bool toDatabase = !a.search.db2.empty();
    const std::string filterGameDir = gameDirOfFilter(a.search.filter);
    std::vector<ServerOfCountry> found;
    const auto keep = [&](const std::string& address, const std::string& host, const std::string& gameDir) {
        const std::string code = countries ? countries->codeOf(host) : std::string();
        found.push_back(
            {address + " " + (gameDir.empty() ? filterGameDir : gameDir), std::string(countryName(code))});
    };
    std::vector<std::string> given;
    std::vector<QueryTarget> targets;
    source->run(
        [&](std::vector<ListedServer> servers) {
            for (const ListedServer& s : servers) {
                const std::string text = s.address.text();
                const std::string host = text.substr(0, text.rfind(':'));
                if (!a.search.query) {
                    if (toDatabase) keep(text, host, s.gameDir);
                    out << text;
                    if (extras.countryOf) {
                        const std::string code = extras.countryOf(host);
                        out << '\t' << (code.empty() ? "-" : code);
                    }
                    out << '\n';
                    continue;
                }
                given.push_back(s.gameDir.empty() ? text : text + " " + s.gameDir);
                targets.push_back({host, s.address.port});
            }
            out.flush();
        },
        [&](const std::string& note) { err << "quillmark-query: " << note << "\n"; });
    const bool whole = source->listedWhole();
    int status = whole ? 0 : 1;
    if (a.search.query && !targets.empty()) {
        // With --query the database holds the servers that answered, with their own game directory.
        status = runBatchCommand(
            given, targets, a.options, a.output, out, seams.lookup, extras, [&](const ServerReport& r) {
                if (!toDatabase || !r.answer.answered()) return;
                const std::string address = r.host + ":" + std::to_string(r.port);
                const std::string listed =
                    r.server.size() > address.size() ? r.server.substr(address.size() + 1) : std::string();
                const std::string dir = r.answer.gameDir();
                keep(address, r.host, dir.empty() ? listed : dir);
            });
    }
    if (toDatabase && writeDatabase(a, found, err) != 0) return 1;
    return status;
}

} // namespace qm
