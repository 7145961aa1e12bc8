#pragma once
#include "platform/Failure.h"

namespace qm {

/// The Windows Sockets codes the program itself picks or tells apart; the rest come from
/// the system through socketErrorCode().
namespace SocketErrorCode {
inline constexpr int kAccessDenied = 10013;       // WSAEACCES
inline constexpr int kMessageTooLong = 10040;     // WSAEMSGSIZE: a datagram longer than the buffer
inline constexpr int kNetworkUnreachable = 10051; // WSAENETUNREACH
inline constexpr int kConnectionReset = 10054;    // WSAECONNRESET: a closed UDP port's ICMP report
inline constexpr int kTimedOut = 10060;           // WSAETIMEDOUT
inline constexpr int kConnectionRefused = 10061;  // WSAECONNREFUSED: a closed TCP port
inline constexpr int kNoBufferSpace = 10055;      // WSAENOBUFS
inline constexpr int kHostUnreachable = 10065;    // WSAEHOSTUNREACH
inline constexpr int kHostNotFound = 11001;       // WSAHOST_NOT_FOUND
inline constexpr int kTryAgain = 11002;           // WSATRY_AGAIN
inline constexpr int kNoRecovery = 11003;         // WSANO_RECOVERY
inline constexpr int kNoData = 11004;             // WSANO_DATA: a name without an IPv4 address
} // namespace SocketErrorCode

/// The text of a Windows Sockets code ("Connection refused."), empty for unknown codes.
std::string socketErrorText(int code);

/// A failure in words first and with the socket error's code after, for a table cell, a
/// status line or a line of output: "port closed (Socket Error # 10054)", "name not found
/// (Socket Error # 11001)". A code without words of its own reads as the socket error's
/// own text on one line.
std::string socketFailureState(int code);

/// A failed socket call: "Socket Error # N", CR LF, the code's text.
class EIdSocketError : public Failure {
  public:
    explicit EIdSocketError(int code);
    int code() const { return m_code; }

  private:
    int m_code;
};

class EIdPackageSizeTooBig : public Failure {
  public:
    EIdPackageSizeTooBig() : Failure("Package Size Too Big.") {}
};

class EIdNotAllBytesSent : public Failure {
  public:
    EIdNotAllBytesSent() : Failure("Not all bytes sent.") {}
};

class EIdInvalidSocket : public Failure {
  public:
    EIdInvalidSocket() : Failure("Cannot allocate socket.") {}
};

/// Throws the socket error of the last failed socket call (SocketSystem.h).
[[noreturn]] void throwLastSocketError();

} // namespace qm
