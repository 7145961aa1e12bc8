#pragma once
#include <string>

namespace qm {

/// What an operation tells the user: a status line text and, when something needs
/// attention, the text of a message box shown before the status text is written.
struct Outcome {
    std::string status;
    std::string message;
    bool ok = true;
};

} // namespace qm
