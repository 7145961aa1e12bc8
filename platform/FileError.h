#pragma once
#include "platform/Failure.h"

namespace qm {

/// A file operation that the system refused, carrying the program's code and text for it
/// ("File not found", "File access denied", ...).
class FileError : public Failure {
  public:
    explicit FileError(int code);
    FileError(int code, const std::string& text) : Failure(text), m_code(code) {}
    int code() const { return m_code; }

  private:
    int m_code;
};

/// The text shown for a file error code: 2, 3, 4, 5, 100, 101, 106, otherwise "I/O error N".
std::string fileErrorText(int code);

/// Maps the system's error value of a failed call on `path` (errno on Linux, GetLastError()
/// on Windows) to the program's file error code.
int fileErrorCode(int err, const std::string& path);

[[noreturn]] void throwFileError(int err, const std::string& path);

} // namespace qm
