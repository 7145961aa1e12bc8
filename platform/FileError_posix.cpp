#include "platform/FileError.h"

#include <cerrno>
#include <filesystem>

namespace qm {

int fileErrorCode(int err, const std::string& path) {
    switch (err) {
    case ENOENT: {
        // A missing folder is a bad name rather than a missing file, as the game's own
        // platform reports it.
        std::error_code ec;
        auto parent = std::filesystem::path(path).parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) return 3;
        return 2;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY:
        return 5;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // past the file size the system allows: full, as far as the user can tell
        return 101;
    default:
        return err;
    }
}

} // namespace qm
