#pragma once
#include "platform/SocketError.h" // socketFailureState

#include <string>

namespace qm {

/// "no reply (2 tries, 1 s each)".
std::string noReplyState(int tries, int silenceMs);

} // namespace qm
