#include "query/QueryCommand.h"

#include "platform/Clock.h"
#include "query/BatchCommand.h"
#include "query/InfoQuery.h"
#include "query/TIdUDPClient.h"

#include <fstream>
#include <ostream>

namespace qm {

namespace {

constexpr const char* kUsage =
    "usage: quillmark-query [--json] HOST[:PORT]\n"
    "       quillmark-query [--json] [--maxsim N] [--interval MS] [--retry N]\n"
    "                       [-f FILE] [HOST[:PORT]...]\n"
    "Asks a game server for its details as the Monitoring page does; the port is 27015\n"
    "when left out. Given many servers (or -f FILE with one a line, as HOST:PORT or as a\n"
    "server list entry \"address:port gamedir\"), asks them all at once and prints a line\n"
    "each: entry, state, ping, players/max, map, name (tab-separated). --maxsim sets the\n"
    "servers asked at once (32), --interval the pause between two starts (1 ms), --retry\n"
    "the tries after the first (1). Exit status: 0 all answered, 1 some did not, 2 bad\n"
    "arguments.\n";

bool validUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += len;
    }
    return true;
}

// The memo shows a socket error on two lines; a terminal shows them the same way.
std::string withNewlines(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    return text;
}

void printPlain(std::ostream& out, const QueryTarget& target, const InfoExchange& shown) {
    out << target.text() << '\n';
    for (const std::string& line : shown.memoLines)
        out << withNewlines(line) << '\n';
    out << "Ping: " << shown.pingText << '\n';
}

void printJson(std::ostream& out, const QueryTarget& target, const InfoExchange& shown) {
    out << "{\"server\":" << jsonString(target.text())
        << ",\"answered\":" << (shown.answered ? "true" : "false");
    if (shown.answered) {
        out << ",\"protocol\":" << jsonString(shown.answer.protocolName()) << ",\"fields\":{";
        bool first = true;
        for (const std::string& line : shown.memoLines) {
            const size_t colon = line.find(": ");
            out << (first ? "" : ",") << jsonString(line.substr(0, colon)) << ":"
                << jsonString(colon == std::string::npos ? "" : line.substr(colon + 2));
            first = false;
        }
        out << "}";
    } else {
        out << ",\"error\":" << jsonString(withNewlines(shown.memoLines.empty() ? "" : shown.memoLines[0]));
    }
    const bool measured =
        !shown.pingText.empty() && shown.pingText.find_first_not_of("0123456789") == std::string::npos;
    out << ",\"ping\":" << (measured ? shown.pingText : jsonString(shown.pingText)) << "}\n";
}

} // namespace

std::string jsonString(const std::string& bytes) {
    static const char* hex = "0123456789abcdef";
    const bool utf8 = validUtf8(bytes);
    std::string out = "\"";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        } else if (c >= 0x80 && !utf8) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(ch);
        }
    }
    return out + "\"";
}

namespace {

bool readNumberOption(const std::vector<std::string>& args, size_t& i, int minimum, int& value) {
    if (i + 1 >= args.size()) return false;
    const std::string& text = args[++i];
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(text);
    return value >= minimum;
}

// The servers of a list file, one a line; blank lines and "#" comments are skipped.
bool readListFile(const std::string& path, std::vector<std::string>& given, std::vector<QueryTarget>& targets,
                  std::ostream& err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << "quillmark-query: cannot read " << path << "\n";
        return false;
    }
    std::string line;
    for (size_t number = 1; std::getline(in, line); ++number) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        line.erase(0, start);
        const auto target = targetOfEntry(line);
        if (!target) {
            err << "quillmark-query: " << path << ":" << number << ": not a server: " << line << "\n";
            return false;
        }
        given.push_back(line);
        targets.push_back(*target);
    }
    return true;
}

} // namespace

int runQueryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    HostLookup lookup) {
    bool json = false;
    bool fromFile = false;
    BatchOptions options;
    std::vector<std::string> given;
    std::vector<QueryTarget> targets;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        int number = 0;
        bool ok = true;
        if (arg == "--json") {
            json = true;
        } else if (arg == "-f") {
            fromFile = true;
            if (i + 1 >= args.size()) {
                err << "quillmark-query: -f needs a file\n" << kUsage;
                return 2;
            }
            if (!readListFile(args[++i], given, targets, err)) return 2;
        } else if (arg == "--maxsim") {
            ok = readNumberOption(args, i, 1, number);
            options.maxInFlight = static_cast<size_t>(number);
        } else if (arg == "--interval") {
            ok = readNumberOption(args, i, 0, number);
            options.intervalMs = number;
        } else if (arg == "--retry") {
            ok = readNumberOption(args, i, 0, number);
            options.retries = number;
        } else {
            const auto target = arg.rfind("-", 0) == 0 ? std::nullopt : parseQueryTarget(arg);
            if (!target) {
                err << "quillmark-query: not a server: " << arg << "\n" << kUsage;
                return 2;
            }
            given.push_back(arg);
            targets.push_back(*target);
        }
        if (!ok) {
            err << "quillmark-query: " << arg << " needs a number\n" << kUsage;
            return 2;
        }
    }
    if (targets.empty() && !fromFile) {
        err << kUsage;
        return 2;
    }
    if (fromFile || targets.size() > 1)
        return runBatchCommand(given, targets, options, json, out, std::move(lookup));
    TIdUDPClient client(std::move(lookup));
    SteadyClock clock;
    bool all = true;
    for (size_t i = 0; i < targets.size(); ++i) {
        InfoExchange shown;
        try {
            shown =
                runInfoExchange(client, targets[i].host, targets[i].port, clock, clock.frequency() / 1000);
        } catch (const std::exception& e) {
            // The window shows a failed send in its error box; here it is the server's line.
            shown.memoLines = {e.what()};
            shown.pingText = "---";
        }
        all = all && shown.answered;
        if (json) {
            printJson(out, targets[i], shown);
        } else {
            if (i > 0) out << '\n';
            printPlain(out, targets[i], shown);
        }
    }
    return all ? 0 : 1;
}

} // namespace qm
