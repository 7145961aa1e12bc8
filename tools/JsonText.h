#pragma once
#include <string>

namespace qm {

/// A text as a JSON string: valid UTF-8 as it is, any other byte as its Latin-1 letter.
std::string jsonString(const std::string& bytes);

} // namespace qm
