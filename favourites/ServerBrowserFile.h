#pragma once
#include "platform/Outcome.h"

#include <functional>
#include <string>
#include <string_view>

namespace qm {

/// The whole text of a server-browser favourites file. Fails with a FileError.
std::string readServerBrowserFile(const std::string& path);

/// Puts `text` in the place of the file in one step, keeping the file's mode; lines end
/// as the text has them (LF, as Steam and the rev_ builds write). Fails with a FileError
/// and leaves the file as it was.
void replaceServerBrowserFile(const std::string& path, std::string_view text);

/// Reads the file, has `rewrite` make its new text, and puts that in its place; any
/// failure (the file's or its text's) is a message naming the file, and leaves it as it
/// was. A missing file is first made from `textOfMissingFile` when that is given.
/// The outcome has no status of its own: the caller names what was written.
Outcome rewriteServerBrowserFile(const std::string& path,
                                 const std::function<std::string(std::string_view)>& rewrite,
                                 std::string_view textOfMissingFile = {});

} // namespace qm
