#pragma once
#include <string>
#include <vector>

namespace qm {

/// A console program's arguments after its name, as UTF-8 text: Windows reads them from
/// the wide command line, so that a path in any language arrives whole.
std::vector<std::string> commandArguments(int argc, char* argv[]);

/// Standard output and error print UTF-8 text as it is: in a Windows console as the
/// characters it encodes, redirected as the same bytes the Linux build writes.
void useUtf8Console();

} // namespace qm
