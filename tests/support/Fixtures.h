#pragma once
#include <string>
#include <vector>

namespace qm::test {

/// Path of a file under the shared fixtures folder.
std::string fixturePath(const std::string& relative);
/// The favourites files taken from real game folders.
std::vector<std::string> vdfFixtures();

} // namespace qm::test
