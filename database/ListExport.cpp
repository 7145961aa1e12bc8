#include "database/ListExport.h"

#include "database/DatabaseFile.h"
#include "database/Db2Format.h"
#include "platform/Paths.h"

namespace qm {

std::vector<std::string> exportLines(const ExportOptions& options, const std::string& countLabel,
                                     const std::vector<std::string>& entries) {
    std::vector<std::string> lines;
    lines.reserve(5 + entries.size());
    lines.emplace_back(kDb2ProductName);
    lines.push_back(options.build);
    lines.push_back(options.date);
    const size_t blank = countLabel.find(' ');
    lines.push_back(blank == std::string::npos ? std::string() : countLabel.substr(0, blank));
    lines.emplace_back("/Custom build");
    lines.insert(lines.end(), entries.begin(), entries.end());
    return lines;
}

Outcome exportList(const ExportOptions& options, const std::string& countLabel,
                   const std::vector<std::string>& entries) {
    if (options.date.empty() || options.fileName.empty() || options.build.empty())
        return {"Error: fill export options first", {}, false};
    const std::vector<std::string> lines = exportLines(options, countLabel, entries);
    if (const std::optional<size_t> bad = writeDatabaseLines(options.fileName, lines))
        return {(*bad < 5 ? "Error: the export option '" : "Error: the entry '") + lines[*bad] +
                    "' holds characters a database cannot store; nothing was exported",
                {},
                false};
    // Where it went: a bare name lands in the documents folder, not beside the program.
    return {"Exporting complete: " + absolutePath(options.fileName), {}, true};
}

} // namespace qm
