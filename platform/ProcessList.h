#pragma once
#include <optional>
#include <string>
#include <vector>

namespace qm {

/// The name the system gives a running process (its command name, at most 15
/// characters), or nothing when there is no such process.
std::optional<std::string> processName(int pid, const std::string& procRoot = "/proc");

/// The ids of the current user's processes whose name is one of `names`.
std::vector<int> processesOfThisUserNamed(const std::vector<std::string>& names,
                                          const std::string& procRoot = "/proc");

/// True when the process is there and belongs to the current user.
bool isProcessOfThisUser(int pid, const std::string& procRoot = "/proc");

} // namespace qm
