#include "query/FailureState.h"

#include "platform/SocketError.h"

namespace qm {

namespace {

const char* wordsFor(int code) {
    switch (code) {
    case SocketErrorCode::kConnectionReset:
        return "port closed";
    case SocketErrorCode::kHostNotFound:
        return "name not found";
    case SocketErrorCode::kTryAgain:
        return "name lookup failed for now";
    case SocketErrorCode::kNoRecovery:
        return "name lookup failed";
    case SocketErrorCode::kNoData:
        return "name has no IPv4 address";
    case SocketErrorCode::kMessageTooLong:
        return "reply too long";
    case SocketErrorCode::kNetworkUnreachable:
        return "network unreachable";
    case SocketErrorCode::kHostUnreachable:
        return "host unreachable";
    case SocketErrorCode::kAccessDenied:
        return "sending refused";
    default:
        return nullptr;
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
