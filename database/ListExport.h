#pragma once
#include "platform/Outcome.h"

#include <string>
#include <vector>

namespace qm {

struct ExportOptions {
    std::string fileName;
    std::string build;
    std::string date;
};

/// The lines of an exported database: the header, "/Custom build", every entry.
std::vector<std::string> exportLines(const ExportOptions& options, const std::string& countLabel,
                                     const std::vector<std::string>& entries);

/// Export List: writes the entries as a database named by the options. Refuses empty
/// options, and any text the format cannot store, before a file is touched. File
/// failures are thrown (FileError); the target is replaced only by a complete file.
Outcome exportList(const ExportOptions& options, const std::string& countLabel,
                   const std::vector<std::string>& entries);

} // namespace qm
