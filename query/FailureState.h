#pragma once
#include <string>

namespace qm {

/// A server's state in a table or a line of output when it gave no answer, in words
/// first and with the socket error's code after: "port closed (Socket Error # 10054)",
/// "name not found (Socket Error # 11001)". A code without words of its own reads as
/// the socket error's own text on one line.
std::string socketFailureState(int code);

/// "no reply (2 tries, 1 s each)".
std::string noReplyState(int tries, int silenceMs);

} // namespace qm
