#pragma once
#include "platform/TextFile.h"

#include <string>

namespace qm {

/// Puts `from` in the place of `to` in one step: at every moment either the old or the new
/// file is there. A write-protected target or folder is refused. Fails with a FileError.
void replaceFile(const std::string& from, const std::string& to);

/// Deletes a file if it is there; failures are ignored.
void removeFileQuietly(const std::string& path);

/// A text file written beside its target and put in its place only by commit(), so that
/// a failed or interrupted write never leaves the target half written.
class AtomicTextFile {
public:
    explicit AtomicTextFile(const std::string& target);
    ~AtomicTextFile();
    AtomicTextFile(const AtomicTextFile&) = delete;
    AtomicTextFile& operator=(const AtomicTextFile&) = delete;

    void writeLine(std::string_view line) { m_writer.writeLine(line); }
    void commit();

private:
    static void refuseProtectedTarget(const std::string& target);

    std::string m_target;
    std::string m_temp;
    TextFileWriter m_writer;
    bool m_committed = false;
};

} // namespace qm
