#include "tools/QueryCommand.h"

#include "geo/CountryData.h"
#include "geo/CountryNames.h"
#include "platform/Paths.h"
#include "tools/CountryColumn.h"

#include "platform/Clock.h"
#include "query/InfoQuery.h"
#include "query/TIdUDPClient.h"
#include "tools/BatchCommand.h"
#include "tools/QueryArguments.h"
#include "tools/ServerJson.h"

#include <cstdlib>
#include <iostream>
#include <istream>
#include <optional>
#include <ostream>

namespace qm {

namespace {

constexpr const char* kUsage =
    "usage: quillmark-query [--json | --jsonl] HOST[:PORT]...\n"
    "       quillmark-query [--json | --jsonl] [--maxsim N] [--interval MS] [--retry N]\n"
    "                       [--wait MS] [-f FILE] [--] [HOST[:PORT]...]\n"
    "       quillmark-query --help | --version\n"
    "--players and --rules add each answering server's players and rules (server\n"
    "variables): indented lines under its line, or player_list and rules in JSON.\n"
    "--country adds each server's country (a last column, or country and country_name in\n"
    "JSON) from the database shipped beside the program, or from --country-db FILE.\n"
    "Asks a game server for its details as the Monitoring page does; the port is 27015\n"
    "when left out. Given many servers (or -f FILE with one a line, as HOST:PORT or as a\n"
    "server list entry \"address:port gamedir\"; - reads standard input), asks them all at\n"
    "once and prints a line each: entry, state, ping, players/max, map, name\n"
    "(tab-separated). --json prints one JSON document (an array for many servers),\n"
    "--jsonl one object a line as each answer comes. --maxsim sets the servers asked at\n"
    "once (32), --interval the pause between two starts (1 ms), --retry the tries after\n"
    "the first (1), --wait the silence after which a server is asked again or given up\n"
    "(1000 ms); --retry=0 works too. Exit status: 0 all answered, 1 some did not,\n"
    "2 bad arguments or list lines.\n"
    "       quillmark-query (--master HOST[:PORT]... | --masters-of GAMEFOLDER) [--filter TEXT]\n"
    "                       [--region N] [--limit N] [--every-master] [--query [--json]]\n"
    "       quillmark-query --steam-list [--key-file FILE] [--filter TEXT] [--limit N] [--query]\n"
    "Finds servers: asks the masters given (or those of the game folder's, or hl.exe's,\n"
    "MasterServers.vdf) with the classic master query, or Steam's Web API server list with\n"
    "the key of QUILLMARK_STEAM_KEY or of the file's first line (never an argument), and\n"
    "prints one address a line, ready for -f -; --query asks them as -f does. --filter is\n"
    "sent as written (\\gamedir\\cstrike\\map\\de_dust2\\empty\\1), --region is the\n"
    "master's region byte (255, every region), --limit the most servers (100000; for\n"
    "Steam's list 5000, which asks for \\appid\\10 when no --filter is given).\n"
    "--every-master merges every master's list instead of the first whole one.\n"
    "--db2 FILE also writes what was found (with --query, what answered) as a server\n"
    "database grouped by country; --build TEXT sets its build line (today's date).\n";

// The memo shows a socket error on two lines; a terminal shows them the same way.
std::string withNewlines(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    return text;
}

std::string oneLine(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, " ");
    return text;
}

void printPlain(std::ostream& out, const QueryTarget& target, const InfoExchange& shown) {
    out << target.text() << '\n';
    for (const std::string& line : shown.memoLines)
        out << withNewlines(line) << '\n';
    out << "Ping: " << shown.pingText << '\n';
}

// One server, asked with the Monitoring page's own exchange.
InfoExchange askOne(TIdUDPClient& client, const QueryTarget& target, const SteadyClock& clock) {
    try {
        return runInfoExchange(client, target.host, target.port, clock, clock.frequency() / 1000);
    } catch (const std::exception& e) {
        // The window shows a failed send in its error box; here it is the server's line.
        InfoExchange failed;
        failed.answer = ServerAnswer::failed(e.what());
        failed.memoLines = {e.what()};
        failed.pingText = "---";
        return failed;
    }
}

// " (Germany)" after a code; nothing for an unknown one.
std::string countryNameText(const std::string& code) {
    const std::string_view name = countryName(code);
    return name.empty() ? std::string() : " (" + std::string(name) + ")";
}

ServerReport reportOf(const std::string& given, const QueryTarget& target, const InfoExchange& shown) {
    ServerReport r{given, shown.answer, {}, -1, target.host, target.port, {}, {}, {}};
    const bool measured =
        !shown.pingText.empty() && shown.pingText.find_first_not_of("0123456789") == std::string::npos;
    if (shown.answered && measured) r.pingMs = std::stoi(shown.pingText);
    r.state = shown.answered ? kAnsweredState : oneLine(shown.memoLines.empty() ? "" : shown.memoLines[0]);
    return r;
}

} // namespace

int runQueryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    HostLookup lookup, std::istream* in) {
    SearchSeams seams;
    seams.lookup = std::move(lookup);
    seams.countryFolders = countryDataFolders(executableDir());
    seams.environment = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    return runQueryCommand(args, out, err, seams, in);
}

int runQueryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const SearchSeams& seams, std::istream* in) {
    HostLookup lookup = seams.lookup;
    std::istream& input = in ? *in : std::cin;
    const QueryArguments a = readQueryArguments(args, input, err);
    switch (a.action) {
    case QueryArguments::Action::Help:
        out << kUsage;
        return 0;
    case QueryArguments::Action::Version:
        out << "quillmark-query " << QM_VERSION << '\n';
        return 0;
    case QueryArguments::Action::Refused:
        err << kUsage;
        return 2;
    case QueryArguments::Action::Query:
        break;
    }
    // Countries come from a database opened once, and only when asked for.
    std::optional<CountryColumn> countries;
    if (a.withCountry || !a.search.db2.empty()) countries.emplace(a.countryDb, seams.countryFolders, err);
    AskedExtras extras{a.withPlayers, a.withRules, {}};
    if (a.withCountry) extras.countryOf = [&](const std::string& host) { return countries->codeOf(host); };
    if (a.search.wanted())
        return runSearchCommand(a, out, err, seams, extras, countries ? &*countries : nullptr);
    int status = 0;
    if (a.fromFile || a.targets.size() > 1) {
        status = runBatchCommand(a.given, a.targets, a.options, a.output, out, std::move(lookup), extras);
    } else {
        TIdUDPClient client(lookup);
        const SteadyClock clock;
        const InfoExchange shown = askOne(client, a.targets[0], clock);
        ServerReport report = reportOf(a.given[0], a.targets[0], shown);
        if (shown.answered) askExtras(report, a.targets[0], extras, a.options.silenceMs, lookup);
        if (extras.countryOf) report.country = extras.countryOf(a.targets[0].host);
        if (a.output == QueryOutput::Plain) {
            printPlain(out, a.targets[0], shown);
            if (report.country)
                out << "Country: " << countryText(report) << countryNameText(*report.country) << '\n';
            out << extrasText(report);
        } else {
            out << serverJson(report) << '\n';
        }
        status = shown.answered ? 0 : 1;
    }
    return a.badLines ? 2 : status;
}

} // namespace qm
