#pragma once
#include <string>
#include <vector>

namespace qm::test {

/// Path of a file under the shared fixtures folder.
std::string fixturePath(const std::string& relative);
/// The favourites files taken from real game folders.
std::vector<std::string> vdfFixtures();
/// The .vdf files of one fixtures folder, sorted.
std::vector<std::string> vdfFixturesIn(const std::string& folder);

} // namespace qm::test
