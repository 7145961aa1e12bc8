#pragma once
#include "platform/DatagramSocket.h"

namespace qm {

/// Why a server a master or Steam listed is never asked, or nullptr when it may be: no game
/// server is at 0.0.0.0/8, a broadcast or multicast address, the reserved 240.0.0.0/4,
/// link-local 169.254.0.0/16 (listen servers only Steam's relay reaches) or port 0; and a
/// loopback address is taken only from a list that came from this computer. A hostile
/// master could otherwise make every client send where it chooses.
const char* unaskableReason(const Endpoint& server, bool listFromLoopback);

/// True for 127.0.0.0/8.
bool isLoopback(const Endpoint& address);

} // namespace qm
