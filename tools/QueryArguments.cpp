#include "tools/QueryArguments.h"

#include "platform/FsPath.h"
#include "platform/TextTools.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <ostream>

namespace qm {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool readNumber(const std::string& text, int minimum, int& value) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(text);
    return value >= minimum;
}

// A list line as an entry "HOST[:PORT] [gamedir]", blanks and tabs between its parts
// made one blank; nothing when the line is not of that shape.
std::optional<std::string> entryOfLine(std::string_view line) {
    std::vector<std::string_view> parts;
    for (size_t at = 0; at < line.size();) {
        const size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) break;
        const size_t end = std::min(line.find_first_of(" \t", start), line.size());
        parts.push_back(line.substr(start, end - start));
        at = end;
    }
    if (parts.empty() || parts.size() > 2 || !parseQueryTarget(std::string(parts[0]))) return std::nullopt;
    std::string entry(parts[0]);
    if (parts.size() == 2) entry.append(" ").append(parts[1]);
    return entry;
}

// The servers of a list, one a line: blank lines and "#" comments are skipped; a line
// that is no server is reported with its number and the others are still asked.
bool readList(std::istream& list, const std::string& name, QueryArguments& a, std::ostream& err) {
    // A line is held only up to its cap: a file of one endless line costs no memory.
    std::string line(kMaxListLineBytes + 1, '\0');
    for (size_t number = 1;; ++number) {
        list.getline(line.data(), static_cast<std::streamsize>(line.size()));
        const auto taken = static_cast<size_t>(list.gcount());
        const bool tooLong = list.fail() && !list.eof() && taken == kMaxListLineBytes;
        if (!tooLong && taken == 0 && !list) break;
        // What was taken holds the line's end unless the text ended first.
        std::string_view text(line.data(), tooLong || list.eof() ? taken : taken - 1);
        if (tooLong) {
            list.clear();
            list.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        }
        if (number > kMaxListLines) {
            err << "quillmark-query: " << name << " has more than " << kMaxListLines
                << " lines; split it into smaller lists\n";
            return false;
        }
        if (tooLong) {
            err << "quillmark-query: " << name << ":" << number << ": not a server: a line longer than "
                << kMaxListLineBytes << " bytes\n";
            a.badLines = true;
            continue;
        }
        if (number == 1 && text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
            text.remove_prefix(kByteOrderMark.size());
        text = trimmed(text, true);
        if (text.empty() || text.front() == '#') continue;
        const std::optional<std::string> entry = entryOfLine(text);
        if (!entry) {
            err << "quillmark-query: " << name << ":" << number
                << ": not a server: " << escapedControls(std::string(text)) << "\n";
            a.badLines = true;
            continue;
        }
        a.given.push_back(*entry);
        a.targets.push_back(*targetOfEntry(*entry));
    }
    if (list.bad()) {
        err << "quillmark-query: cannot read " << name << "\n";
        return false;
    }
    return true;
}

bool readListFile(const std::string& path, std::istream& in, QueryArguments& a, std::ostream& err) {
    a.fromFile = true;
    if (path == "-") return readList(in, "standard input", a, err);
    std::error_code ec;
    if (std::filesystem::is_directory(fsPath(path), ec)) {
        err << "quillmark-query: " << path << " is a folder, not a list of servers\n";
        return false;
    }
    std::ifstream file(fsPath(path), std::ios::binary);
    if (!file) {
        err << "quillmark-query: cannot read " << path << "\n";
        return false;
    }
    return readList(file, path, a, err);
}

bool takesValue(const std::string& option) {
    return option == "-f" || option == "--file" || option == "--maxsim" || option == "--interval" ||
           option == "--retry" || option == "--wait" || option == "--master" || option == "--masters-of" ||
           option == "--filter" || option == "--region" || option == "--limit" || option == "--key-file" ||
           option == "--db2" || option == "--build" || option == "--country-db";
}

std::string valueKind(const std::string& option) {
    if (option == "-f" || option == "--file" || option == "--key-file") return "a file";
    if (option == "--masters-of") return "a game folder";
    if (option == "--db2" || option == "--country-db") return "a file";
    if (option == "--build") return "a text";
    if (option == "--master") return "HOST:PORT";
    if (option == "--filter") return "a filter such as \\gamedir\\cstrike";
    return "a number";
}

// The options of a search; false when `option` is none of them.
bool applySearchOption(const std::string& option, const std::string& value, ServerSearchArguments& s,
                       std::ostream& err, bool& refused) {
    int number = 0;
    if (option == "--master") {
        // A master that cannot be asked is the arguments' fault, not the search's.
        refused = !parseQueryTarget(value);
        if (refused)
            err << "quillmark-query: --master needs HOST[:PORT], not " << escapedControls(value) << "\n";
        s.masters.push_back(value);
    } else if (option == "--masters-of") {
        s.mastersOf = value;
    } else if (option == "--filter") {
        s.filter = value;
    } else if (option == "--key-file") {
        s.keyFile = value;
    } else if (option == "--db2" || option == "--build") {
        refused = value.empty();
        if (refused) err << "quillmark-query: " << option << " needs " << valueKind(option) << "\n";
        (option == "--db2" ? s.db2 : s.build) = value;
    } else if (option == "--region") {
        refused = !readNumber(value, 0, number) || number > 255;
        if (refused) err << "quillmark-query: --region needs a number from 0 to 255\n";
        s.region = static_cast<uint8_t>(number);
    } else if (option == "--limit") {
        refused = !readNumber(value, 1, number);
        if (refused) err << "quillmark-query: --limit needs a number\n";
        s.limit = static_cast<size_t>(number);
        s.limitGiven = true;
    } else {
        return false;
    }
    return true;
}

// Sets what `option` names; false, with the refusal told, when its value will not do.
bool applyOption(const std::string& option, const std::string& value, std::istream& in, QueryArguments& a,
                 std::ostream& err) {
    if (option == "-f" || option == "--file") return readListFile(value, in, a, err);
    if (option == "--country-db") {
        a.withCountry = true;
        a.countryDb = value;
        return !value.empty();
    }
    bool refused = false;
    if (applySearchOption(option, value, a.search, err, refused)) return !refused;
    int number = 0;
    if (!readNumber(value, option == "--maxsim" || option == "--wait" ? 1 : 0, number)) {
        err << "quillmark-query: " << option << " needs a number\n";
        return false;
    }
    if (option == "--maxsim")
        a.options.maxInFlight = static_cast<size_t>(number);
    else if (option == "--interval")
        a.options.intervalMs = number;
    else if (option == "--wait")
        a.options.silenceMs = number;
    else
        a.options.retries = number;
    return true;
}

} // namespace

QueryArguments readQueryArguments(const std::vector<std::string>& args, std::istream& in, std::ostream& err) {
    QueryArguments a;
    const auto refuse = [&](const std::string& why) {
        if (!why.empty()) err << "quillmark-query: " << why << "\n";
        a.action = QueryArguments::Action::Refused;
        return a;
    };
    bool onlyServers = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyServers || arg.empty() || arg[0] != '-' || arg == "-") {
            const auto target = parseQueryTarget(arg);
            if (!target) return refuse("not a server: " + escapedControls(arg));
            a.given.push_back(arg);
            a.targets.push_back(*target);
        } else if (arg == "--") {
            onlyServers = true;
        } else if (arg == "-h" || arg == "--help" || arg == "--version") {
            a.action = arg == "--version" ? QueryArguments::Action::Version : QueryArguments::Action::Help;
            return a;
        } else if (arg == "--steam-list" || arg == "--query" || arg == "--every-master") {
            (arg == "--steam-list" ? a.search.steamList
             : arg == "--query"    ? a.search.query
                                   : a.search.everyMaster) = true;
        } else if (arg == "--key" || arg.rfind("--key=", 0) == 0) {
            // A process's arguments are there for every user of the machine to read.
            return refuse(
                "the Steam key is read from QUILLMARK_STEAM_KEY or --key-file, never from an argument");
        } else if (arg == "--players" || arg == "--rules" || arg == "--country") {
            (arg == "--players" ? a.withPlayers : arg == "--rules" ? a.withRules : a.withCountry) = true;
        } else if (arg == "--json" || arg == "--jsonl") {
            a.output = arg == "--json" ? QueryOutput::Json : QueryOutput::JsonLines;
        } else {
            // "--opt=value" and "--opt value" alike.
            const size_t eq = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
            std::string value = eq == std::string::npos ? std::string() : arg.substr(eq + 1);
            if (eq != std::string::npos) arg.resize(eq);
            if (!takesValue(arg)) return refuse("unknown option " + escapedControls(arg));
            if (eq == std::string::npos) {
                if (i + 1 >= args.size()) return refuse(arg + " needs " + valueKind(arg));
                value = args[++i];
            }
            if (!applyOption(arg, value, in, a, err)) return refuse("");
        }
    }
    if (a.search.wanted() && (!a.targets.empty() || a.fromFile))
        return refuse("servers are either given or searched for, not both");
    if (a.search.steamList && (!a.search.masters.empty() || !a.search.mastersOf.empty()))
        return refuse("--steam-list does not go with masters");
    if (a.targets.empty() && !a.fromFile && !a.search.wanted()) return refuse("no server to ask");
    if (!a.search.wanted() && (!a.search.db2.empty() || !a.search.build.empty()))
        return refuse("--db2 and --build go with a search (--master, --masters-of or --steam-list)");
    return a;
}

} // namespace qm
