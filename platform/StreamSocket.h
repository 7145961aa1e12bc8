#pragma once
#include "platform/SocketSystem.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace qm {

/// The TCP calls of one connection, failures in Windows Sockets codes.
namespace tcp {

/// WSAEINPROGRESS: a connect that goes on.
inline constexpr int kInProgress = 10036;

struct Started {
    NativeSocket socket = kNoSocket;
    /// 0 when it connected at once, kInProgress while it goes on, else the code.
    int result = 0;
};
/// A non-blocking socket bound to any local port, its connect to address:port begun.
/// Throws EIdInvalidSocket, or the bind failure's text.
Started startConnect(const std::array<uint8_t, 4>& address, uint16_t port);
/// Waits up to `waitMs` for a connect under way: 0, the failure's code, or kInProgress.
int connectOutcome(NativeSocket s, int waitMs);
/// Makes a connected socket blocking again, for plain sends and receives.
void makeBlocking(NativeSocket s);
/// Sends every byte; a failure is thrown as the socket error.
void sendAll(NativeSocket s, const char* data, size_t size);
/// Receives what is there, at most `max` bytes (0: the peer closed); a failure is thrown.
size_t receive(NativeSocket s, char* into, size_t max);
/// A look, not a wait: true when the peer closed the connection, or sent bytes nobody
/// asked for (the connection is out of step); failures are thrown.
bool closedByPeer(NativeSocket s);
void shutdownAndClose(NativeSocket s);

} // namespace tcp
} // namespace qm
