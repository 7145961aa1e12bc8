#pragma once
#include <stdexcept>
#include <string>

namespace qm {

/// A failure whose message is meant for the user as it stands. Operations that do not
/// catch it end, and the window's error report shows what().
class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace qm
