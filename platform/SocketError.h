#pragma once
#include "platform/Failure.h"

namespace qm {

/// The Windows Sockets code for an errno value, so that messages read the same on every
/// platform ("Socket Error # 10061" for a refused connection).
int socketErrorCode(int err);

/// The text of a Windows Sockets code ("Connection refused."), empty for unknown codes.
std::string socketErrorText(int code);

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

/// Throws the socket error of the present errno.
[[noreturn]] void throwLastSocketError();

} // namespace qm
