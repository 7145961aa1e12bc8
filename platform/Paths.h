#pragma once
#include <string>

namespace qm {

/// Paths built from the game location use Windows separators; here a backslash is a
/// separator, so it becomes a slash before the path reaches the file system.
std::string nativePath(const std::string& path);

/// True only for an existing regular file (a folder or a missing path gives false).
bool isFile(const std::string& path);

/// The folder of the running executable, with its trailing separator.
std::string executableDir();

/// True when the file or folder exists and carries no write permission at all. Writers
/// honour this even for a privileged user, the way a read-only attribute stops everyone.
bool writeProtected(const std::string& path);

/// True when the folder takes new files: the system grants this process writes there.
bool folderTakesWrites(const std::string& folder);
/// The path made absolute against the current directory, for messages that name a file.
std::string absolutePath(const std::string& path);

/// The user's home folder, without a trailing separator.
std::string homeFolder();

/// Where a path leads once every symbolic link on its last part is followed: the file a
/// writer must replace so that a link stays a link. The path itself when it is no link; a
/// link that leads nowhere gives the path it names; a loop gives the path as it was.
std::string finalPathOf(const std::string& path);

/// True for a path that names its place without the current folder: "/..." on Linux,
/// "C:\..." or "\\server\..." on Windows.
bool isAbsolutePath(const std::string& path);

/// The folder part of a path, split at its last "/" or "\\" ("." for a bare name).
std::string folderOf(const std::string& path);

/// Makes the folder of `file` the process's current directory, as picking a file in the
/// file-open dialog does; relative names resolve there afterwards. Failures are ignored.
void moveCurrentDirectoryTo(const std::string& file);

} // namespace qm
