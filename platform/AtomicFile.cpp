#include "platform/AtomicFile.h"

#include "platform/FileError.h"
#include "platform/Paths.h"

#include "platform/NativeFile.h"

namespace qm {

void replaceFile(const std::string& from, const std::string& linkOrFile) {
    // A link stays a link: the file it leads to is the one replaced.
    const std::string to = finalPathOf(linkOrFile);
    if (writeProtected(to) || writeProtected(folderOf(to))) throw FileError(5);
    if (nativefile::moveOver(from, to)) return;
    // The link leads to another file system: the bytes go across, then `from` goes.
    TextFileStream in(from);
    AtomicTextFile out(to);
    for (std::string_view block = in.buffered(); !block.empty(); block = in.buffered()) {
        out.write(block);
        in.consume(block.size());
    }
    out.commit();
    removeFileQuietly(from);
}

void removeFileQuietly(const std::string& path) {
    nativefile::removeQuietly(path);
}

AtomicTextFile::AtomicTextFile(const std::string& linkOrFile, const AtomicWriteOptions& options)
    : m_target(finalPathOf(linkOrFile)) {
    const std::string& target = m_target;
    if (writeProtected(target)) throw FileError(5);
    int failure = 5;
    NativeFile f =
        writeProtected(folderOf(target)) ? kNoFile : nativefile::createBeside(target, m_temp, failure);
    if (f == kNoFile) {
        if (!options.writeInPlaceWhenFolderRefuses || !isFile(target) || !nativefile::fileTakesWrites(target))
            throw FileError(failure);
        f = nativefile::openInPlace(target);
    } else {
        nativefile::takePermissions(f, target, options.newFileMode);
    }
    m_writer = std::make_unique<TextFileWriter>(f, m_temp.empty() ? target : m_temp, options.lineEnd);
}

AtomicTextFile::~AtomicTextFile() {
    m_writer.reset();
    if (!m_committed && !m_temp.empty()) removeFileQuietly(m_temp);
}

void AtomicTextFile::commit() {
    m_writer->close();
    if (!m_temp.empty()) replaceFile(m_temp, m_target);
    m_committed = true;
}

} // namespace qm
