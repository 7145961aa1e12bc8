#pragma once
#include <cstdint>

namespace qm {

/// A socket of the system's: a descriptor on Linux, a SOCKET on Windows.
using NativeSocket = std::intptr_t;
inline constexpr NativeSocket kNoSocket = -1;

/// Readies the system's sockets once for the whole process (WSAStartup on Windows);
/// every socket of the program is made after it.
void startSockets();
void closeSocket(NativeSocket s);
/// The Windows Sockets code of the last failed socket call of this thread.
int lastSocketError();
/// The Windows Sockets code for an errno value (the identity on Windows, whose sockets
/// report those codes themselves), so that messages read the same on every platform.
int socketErrorCode(int err);
/// Waits up to `waitMs` (0 looks once) for `s` to be readable; true when it is, or when
/// the wait failed (the read then reports why).
bool socketReadableWithin(NativeSocket s, int waitMs);

} // namespace qm
