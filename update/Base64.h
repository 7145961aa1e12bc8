#pragma once
#include <string>

namespace qm {

/// Standard base64 with padding, for the Basic proxy login.
std::string base64(const std::string& bytes);

} // namespace qm
