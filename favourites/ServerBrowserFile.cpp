#include "favourites/ServerBrowserFile.h"

#include "platform/AtomicFile.h"
#include "platform/FsPath.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <filesystem>

namespace qm {

std::string readServerBrowserFile(const std::string& path) {
    return readFileBytes(path);
}

void replaceServerBrowserFile(const std::string& path, std::string_view text) {
    AtomicTextFile out(path, {LineEnd::Lf, 0666, false});
    out.write(text);
    out.commit();
}

Outcome rewriteServerBrowserFile(const std::string& path,
                                 const std::function<std::string(std::string_view)>& rewrite,
                                 std::string_view textOfMissingFile) {
    try {
        std::error_code ec;
        const bool missing = !std::filesystem::exists(std::filesystem::symlink_status(fsPath(path), ec)) &&
                             !textOfMissingFile.empty();
        const std::string text = missing ? std::string(textOfMissingFile) : readServerBrowserFile(path);
        replaceServerBrowserFile(path, rewrite(text));
    } catch (const std::exception& e) {
        return {{},
                "Cannot write " + absolutePath(path) + ": " + e.what() + ". The file was left as it was.",
                false};
    }
    return {};
}

} // namespace qm
