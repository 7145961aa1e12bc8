#include "platform/NativeFile.h"

#include "platform/FileError.h"
#include "platform/Paths.h"
#include "platform/WideText_win.h"

#include <random>
#include <windows.h>

namespace qm::nativefile {

namespace {

HANDLE handle(NativeFile f) {
    return reinterpret_cast<HANDLE>(f);
}

NativeFile file(HANDLE h) {
    return reinterpret_cast<NativeFile>(h);
}

int fileErrorCodeOf(DWORD err) {
    return fileErrorCode(static_cast<int>(err), {});
}

[[noreturn]] void throwLastError() {
    throw FileError(fileErrorCodeOf(::GetLastError()));
}

NativeFile duplicated(DWORD standard) {
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), ::GetStdHandle(standard), ::GetCurrentProcess(), &copy, 0,
                           FALSE, DUPLICATE_SAME_ACCESS))
        throwLastError();
    return file(copy);
}

std::wstring wide(const std::string& path) {
    return wideOf(nativePath(path));
}

std::wstring fullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    return full;
}

} // namespace

NativeFile openRegular(const std::string& path, uint64_t& size) {
    // Shared for reading and writing: the game may hold its file open.
    const HANDLE h = ::CreateFileW(wide(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throwLastError();
    LARGE_INTEGER length{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &length)) {
        ::CloseHandle(h);
        throw FileError(5);
    }
    size = static_cast<uint64_t>(length.QuadPart);
    return file(h);
}

NativeFile standardInput() {
    return duplicated(STD_INPUT_HANDLE);
}

NativeFile standardOutput() {
    return duplicated(STD_OUTPUT_HANDLE);
}

NativeFile createOrTruncate(const std::string& path) {
    const HANDLE h = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throwLastError();
    return file(h);
}

size_t readSome(NativeFile f, char* into, size_t max, const std::string&) {
    DWORD n = 0;
    const DWORD wanted = static_cast<DWORD>(max < (1u << 30) ? max : (1u << 30));
    if (::ReadFile(handle(f), into, wanted, &n, nullptr)) return n;
    // The writer of a pipe went: the end of the input.
    if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;
    throwLastError();
}

void writeAll(NativeFile f, const char* data, size_t size, const std::string&) {
    size_t done = 0;
    while (done < size) {
        DWORD n = 0;
        const size_t rest = size - done;
        if (!::WriteFile(handle(f), data + done, static_cast<DWORD>(rest < (1u << 30) ? rest : (1u << 30)),
                         &n, nullptr))
            throwLastError();
        done += n;
    }
}

void startWriteback(NativeFile, uint64_t, uint64_t) {
    // Windows writes behind on its own; the flush at close waits for what is left.
}

void sync(NativeFile f, const std::string&) {
    if (::FlushFileBuffers(handle(f))) return;
    // A console or pipe (standard output) takes no flush, and needs none.
    const DWORD err = ::GetLastError();
    if (err == ERROR_INVALID_HANDLE || err == ERROR_INVALID_FUNCTION) return;
    throw FileError(fileErrorCodeOf(err));
}

void close(NativeFile f) {
    if (f != kNoFile) ::CloseHandle(handle(f));
}

NativeFile createBeside(const std::string& target, std::string& name, int& failure) {
    const std::string path = nativePath(target);
    const std::string stem = folderOf(path) + "/." + path.substr(path.rfind('/') + 1) + ".";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        const std::string candidate = stem + suffix;
        // CREATE_NEW: a file of that name is never opened, whatever it is.
        const HANDLE h = ::CreateFileW(wideOf(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            name = candidate;
            return file(h);
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    failure = fileErrorCodeOf(::GetLastError());
    return kNoFile;
}

NativeFile openInPlace(const std::string& target) {
    const HANDLE h = ::CreateFileW(wide(target).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throwLastError();
    return file(h);
}

bool fileTakesWrites(const std::string& path) {
    const HANDLE h = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

void takePermissions(NativeFile, const std::string&, unsigned) {
    // A new file takes its folder's access list; ReplaceFileW gives it the replaced
    // file's attributes and access list in moveOver().
}

bool moveOver(const std::string& from, const std::string& to) {
    // ReplaceFileW is given whole paths: Wine's refuses one without its drive ("/tmp/x").
    const std::wstring source = fullPath(wide(from)), target = fullPath(wide(to));
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (::ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                           nullptr))
            return true;
        const DWORD err = ::GetLastError();
        // Only another volume calls for the copy; any other refusal is the answer (the
        // copy would be refused the same way).
        if (err == ERROR_NOT_SAME_DEVICE) return false;
        throw FileError(fileErrorCodeOf(err));
    }
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    if (::GetLastError() == ERROR_NOT_SAME_DEVICE) return false;
    throwLastError();
}

void removeQuietly(const std::string& path) {
    ::DeleteFileW(wide(path).c_str());
}

} // namespace qm::nativefile
