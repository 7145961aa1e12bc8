#pragma once
#include "platform/TextFile.h"

#include <memory>
#include <string>

namespace qm {

/// Puts `from` in the place of `to` in one step: at every moment either the old or the new
/// file is there. `from` takes the permission bits of the file it replaces, and the folder
/// is flushed after the rename so that the new file survives a power cut. A
/// write-protected target or folder is refused. Fails with a FileError.
void replaceFile(const std::string& from, const std::string& to);

/// Deletes a file if it is there; failures are ignored.
void removeFileQuietly(const std::string& path);

struct AtomicWriteOptions {
    LineEnd lineEnd = LineEnd::CrLf;
    /// Permission bits of a file that did not exist before (the umask applies); a
    /// replaced file keeps its own.
    unsigned newFileMode = 0666;
    /// When the folder takes no new file but the target is writable, write the target in
    /// place rather than fail: for files the user names, where that is what was asked.
    bool writeInPlaceWhenFolderRefuses = false;
};

/// A text file written beside its target, under a fresh name of its own, and put in its
/// place only by commit(), so that a failed or interrupted write never leaves the target
/// half written. Whatever fails, the temporary file is removed.
class AtomicTextFile {
  public:
    explicit AtomicTextFile(const std::string& target, const AtomicWriteOptions& options = {});
    ~AtomicTextFile();
    AtomicTextFile(const AtomicTextFile&) = delete;
    AtomicTextFile& operator=(const AtomicTextFile&) = delete;

    void writeLine(std::string_view line) { m_writer->writeLine(line); }
    void write(std::string_view bytes) { m_writer->write(bytes); }
    template <class Fill> bool writeLineFilled(size_t length, Fill fill) {
        return m_writer->writeLineFilled(length, fill);
    }
    void commit();
    /// The temporary file's name; empty when writing in place.
    const std::string& temporaryPath() const { return m_temp; }

  private:
    std::string m_target;
    std::string m_temp;
    std::unique_ptr<TextFileWriter> m_writer;
    bool m_committed = false;
};

} // namespace qm
