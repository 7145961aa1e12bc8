#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace qm {

/// A file of the system's: a descriptor on Linux, a HANDLE on Windows. Always read and
/// written byte for byte, never through a text mode that would turn LF into CR LF.
using NativeFile = std::intptr_t;
inline constexpr NativeFile kNoFile = -1;

/// The calls on files; every failure is a FileError, its code read for `path`.
namespace nativefile {

/// Opens a regular file for reading without ever waiting (a FIFO where a file belongs
/// neither blocks nor is read: FileError 5). `size` becomes its size.
NativeFile openRegular(const std::string& path, uint64_t& size);
NativeFile standardInput();
NativeFile standardOutput();
/// Creates the file, or empties the one there.
NativeFile createOrTruncate(const std::string& path);
/// Up to `max` bytes; 0 at the end.
size_t readSome(NativeFile f, char* into, size_t max, const std::string& path);
void writeAll(NativeFile f, const char* data, size_t size, const std::string& path);
/// Starts writing bytes [from, from + length) to disk without waiting for them, where the
/// system can.
void startWriteback(NativeFile f, uint64_t from, uint64_t length);
/// Waits until everything written is on disk.
void sync(NativeFile f, const std::string& path);
void close(NativeFile f);

/// A new file beside `target` under a name nobody has, never a link followed; `name`
/// becomes its name. kNoFile when the folder refuses, with `failure` the file error code.
NativeFile createBeside(const std::string& target, std::string& name, int& failure);
/// The target itself, emptied, for writing in place (never through a link).
NativeFile openInPlace(const std::string& target);
/// True when this process may write the file itself.
bool fileTakesWrites(const std::string& path);
/// Gives the new file the permissions of the file it replaces, or `newFileMode` (less
/// the user's mask) when there is none.
void takePermissions(NativeFile f, const std::string& replaced, unsigned newFileMode);
/// Puts `from` in the place of `to` in one step, keeping `to`'s permissions, flushed to
/// disk with its folder. False, with nothing changed, when the two lie on different file
/// systems; other failures are thrown.
bool moveOver(const std::string& from, const std::string& to);
/// Deletes a file if it is there; failures are ignored.
void removeQuietly(const std::string& path);

} // namespace nativefile
} // namespace qm
