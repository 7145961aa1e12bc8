#include "query/FailureState.h"

#include "platform/SocketError.h"

namespace qm {

namespace {

const char* wordsFor(int code) {
    switch (code) {
    case 10054: return "port closed"; // the ICMP "port unreachable" of a closed UDP port
    case 11001: return "name not found";
    case 11002: return "name lookup failed for now";
    case 11003: return "name lookup failed";
    case 11004: return "name has no IPv4 address";
    case 10040: return "reply too long";
    case 10051: return "network unreachable";
    case 10065: return "host unreachable";
    case 10013: return "sending refused";
    default: return nullptr;
    }
}

// A socket error's two lines as one, for a table cell.
std::string oneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const bool lineEnd = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        line.push_back(lineEnd ? ' ' : text[i]);
        i += lineEnd;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back(); // a code without a text of its own
    return line;
}

} // namespace

std::string socketFailureState(int code) {
    const char* words = wordsFor(code);
    const std::string error = EIdSocketError(code).what();
    if (!words) return oneLine(error);
    return std::string(words) + " (" + error.substr(0, error.find("\r\n")) + ")";
}

std::string noReplyState(int tries, int silenceMs) {
    const std::string each =
        silenceMs % 1000 == 0 ? std::to_string(silenceMs / 1000) + " s" : std::to_string(silenceMs) + " ms";
    return "no reply (" + std::to_string(tries) + (tries == 1 ? " try, " : " tries, ") + each + " each)";
}

} // namespace qm
