#include "platform/Paths.h"

#include "platform/WideText_win.h"

#include <algorithm>
#include <cstdlib>
#include <windows.h>

namespace qm {

bool isFile(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(wideOf(nativePath(path)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string homeFolder() {
    const wchar_t* profile = ::_wgetenv(L"USERPROFILE");
    std::string home = profile && *profile ? utf8Of(profile) : std::string();
    home = nativePath(home);
    while (home.size() > 3 && home.back() == '/')
        home.pop_back();
    return home;
}

std::string executableDir() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return "./";
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const std::string path = nativePath(utf8Of(buffer));
    return path.substr(0, path.rfind('/') + 1);
}

bool writeProtected(const std::string& path) {
    // A read-only attribute stops every writer on Windows; folders carry it only as a
    // shell hint, which writers do not honour.
    const DWORD attributes = ::GetFileAttributesW(wideOf(nativePath(path)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string finalPathOf(const std::string& path) {
    // The game's and Steam's files are replaced where they stand: Windows links are left
    // to the system, which replaces what a link names.
    return path;
}

void moveCurrentDirectoryTo(const std::string& file) {
    // A folder that vanished after the pick leaves the current directory as it was.
    ::SetCurrentDirectoryW(wideOf(folderOf(nativePath(file))).c_str());
}

bool folderTakesWrites(const std::string& folder) {
    // Windows grants writes through access lists that only a try reads right: a file made
    // and removed at once (Program Files refuses it, a folder beside the game takes it).
    const std::wstring probe = wideOf(nativePath(folder) + "/.quillmark-write-probe");
    const HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

} // namespace qm
