#include "platform/SocketError.h"

#include "platform/SocketSystem.h"

#include <map>

namespace qm {

std::string socketErrorText(int code) {
    static const std::map<int, const char*> texts = {
        {10004, "Interrupted system call."},
        {10009, "Bad file number."},
        {10013, "Access denied."},
        {10014, "Bad address."},
        {10022, "Invalid argument."},
        {10024, "Too many open files."},
        {10035, "Operation would block. "},
        {10036, "Operation now in progress."},
        {10037, "Operation already in progress."},
        {10038, "Socket operation on non-socket."},
        {10039, "Destination address required."},
        {10040, "Message too long."},
        {10041, "Protocol wrong type for socket."},
        {10042, "Bad protocol option."},
        {10043, "Protocol not supported."},
        {10044, "Socket type not supported."},
        {10045, "Operation not supported on socket."},
        {10046, "Protocol family not supported."},
        {10047, "Address family not supported by protocol family."},
        {10048, "Address already in use."},
        {10049, "Cannot assign requested address."},
        {10050, "Network is down."},
        {10051, "Network is unreachable."},
        {10052, "Net dropped connection or reset."},
        {10053, "Software caused connection abort."},
        {10054, "Connection reset by peer."},
        {10055, "No buffer space available."},
        {10056, "Socket is already connected."},
        {10057, "Socket is not connected."},
        {10058, "Cannot send or receive after socket is closed."},
        {10059, "Too many references, cannot splice."},
        {10060, "Connection timed out."},
        {10061, "Connection refused."},
        {10062, "Too many levels of symbolic links."},
        {10063, "File name too long."},
        {10064, "Host is down."},
        {10065, "No route to host."},
        {10066, "Directory not empty"},
    };
    auto it = texts.find(code);
    return it == texts.end() ? std::string() : it->second;
}

EIdSocketError::EIdSocketError(int code)
    : Failure("Socket Error # " + std::to_string(code) + "\r\n" + socketErrorText(code)), m_code(code) {}

void throwLastSocketError() {
    throw EIdSocketError(lastSocketError());
}

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
    case SocketErrorCode::kConnectionRefused:
        return "connection refused";
    case SocketErrorCode::kTimedOut:
        return "timed out";
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

} // namespace qm
