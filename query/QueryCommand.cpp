#include "query/QueryCommand.h"

#include "platform/Clock.h"
#include "query/InfoQuery.h"
#include "query/TIdUDPClient.h"

#include <ostream>

namespace qm {

namespace {

constexpr const char* kUsage =
    "usage: quillmark-query [--json] HOST[:PORT] [HOST[:PORT]...]\n"
    "Asks each game server for its details as the Monitoring page does; the port is\n"
    "27015 when left out. Exit status: 0 all answered, 1 some did not, 2 bad arguments.\n";

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

std::optional<QueryTarget> parseQueryTarget(const std::string& text) {
    QueryTarget t;
    const size_t colon = text.rfind(':');
    t.host = text.substr(0, colon);
    if (t.host.empty()) return std::nullopt;
    if (colon != std::string::npos) {
        const std::string port = text.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        t.port = std::stoi(port);
        if (t.port < 1 || t.port > 65535) return std::nullopt;
    }
    return t;
}

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

int runQueryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    HostLookup lookup) {
    bool json = false;
    std::vector<QueryTarget> targets;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            json = true;
            continue;
        }
        const auto target = arg.rfind("-", 0) == 0 ? std::nullopt : parseQueryTarget(arg);
        if (!target) {
            err << "quillmark-query: not a server: " << arg << "\n" << kUsage;
            return 2;
        }
        targets.push_back(*target);
    }
    if (targets.empty()) {
        err << kUsage;
        return 2;
    }
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
