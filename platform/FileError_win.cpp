#include "platform/FileError.h"

#include <windows.h>

namespace qm {

int fileErrorCode(int err, const std::string&) {
    switch (static_cast<DWORD>(err)) {
    case ERROR_FILE_NOT_FOUND:
        return 2;
    // Windows tells a missing folder apart itself.
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return 3;
    case ERROR_TOO_MANY_OPEN_FILES:
        return 4;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: // the game holds the file open
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return 5;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return 101;
    default:
        return err;
    }
}

} // namespace qm
