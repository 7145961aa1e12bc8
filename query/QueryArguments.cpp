#include "query/QueryArguments.h"

#include "platform/TextTools.h"

#include <filesystem>
#include <fstream>
#include <istream>
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

// A list line as an entry: blanks and tabs between its parts become one blank.
std::string entryOfLine(std::string_view line) {
    std::string entry;
    bool gap = false;
    for (char c : line) {
        if (c == ' ' || c == '\t') {
            gap = true;
            continue;
        }
        if (gap && !entry.empty()) entry.push_back(' ');
        gap = false;
        entry.push_back(c);
    }
    return entry;
}

// The servers of a list, one a line: blank lines and "#" comments are skipped; a line
// that is no server is reported with its number and the others are still asked.
bool readList(std::istream& list, const std::string& name, QueryArguments& a, std::ostream& err) {
    std::string line;
    for (size_t number = 1; std::getline(list, line); ++number) {
        if (number > kMaxListLines) {
            err << "quillmark-query: " << name << " has more than " << kMaxListLines
                << " lines; split it into smaller lists\n";
            return false;
        }
        std::string_view text = line;
        if (number == 1 && text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
            text.remove_prefix(kByteOrderMark.size());
        text = trimmed(text, true);
        if (text.empty() || text.front() == '#') continue;
        const std::string entry = entryOfLine(text);
        const auto target = targetOfEntry(entry);
        if (!target) {
            err << "quillmark-query: " << name << ":" << number << ": not a server: " << escapedControls(entry) << "\n";
            a.badLines = true;
            continue;
        }
        a.given.push_back(entry);
        a.targets.push_back(*target);
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
    if (std::filesystem::is_directory(path, ec)) {
        err << "quillmark-query: " << path << " is a folder, not a list of servers\n";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        err << "quillmark-query: cannot read " << path << "\n";
        return false;
    }
    return readList(file, path, a, err);
}

} // namespace

QueryArguments readQueryArguments(const std::vector<std::string>& args, std::istream& in, std::ostream& err) {
    QueryArguments a;
    const auto refuse = [&](const std::string& why) {
        err << "quillmark-query: " << why << "\n";
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
            continue;
        }
        if (arg == "--") {
            onlyServers = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            a.action = QueryArguments::Action::Help;
            return a;
        }
        if (arg == "--version") {
            a.action = QueryArguments::Action::Version;
            return a;
        }
        if (arg == "--json" || arg == "--jsonl") {
            a.output = arg == "--json" ? QueryOutput::Json : QueryOutput::JsonLines;
            continue;
        }
        // "--opt=value" and "--opt value" alike.
        std::string value;
        bool hasValue = false;
        if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            hasValue = true;
        }
        const bool takesValue = arg == "-f" || arg == "--file" || arg == "--maxsim" || arg == "--interval" ||
                                arg == "--retry";
        if (!takesValue) return refuse("unknown option " + escapedControls(arg));
        if (!hasValue) {
            if (i + 1 >= args.size()) return refuse(arg + " needs " + (arg == "-f" || arg == "--file" ? "a file" : "a number"));
            value = args[++i];
        }
        int number = 0;
        if (arg == "-f" || arg == "--file") {
            if (!readListFile(value, in, a, err)) {
                a.action = QueryArguments::Action::Refused;
                return a;
            }
        } else if (!readNumber(value, arg == "--maxsim" ? 1 : 0, number)) {
            return refuse(arg + " needs a number");
        } else if (arg == "--maxsim") {
            a.options.maxInFlight = static_cast<size_t>(number);
        } else if (arg == "--interval") {
            a.options.intervalMs = number;
        } else {
            a.options.retries = number;
        }
    }
    if (a.targets.empty() && !a.fromFile) return refuse("no server to ask");
    return a;
}

} // namespace qm
