#include "database/ListExport.h"

#include "database/Db2File.h"
#include "database/Db2Format.h"

namespace qm {

namespace {
constexpr size_t kFirstEntryLine = 5;
}

std::vector<std::string> exportLines(const ExportOptions& options, const std::string& countLabel,
                                     const std::vector<std::string>& entries) {
    std::vector<std::string> lines;
    lines.reserve(kFirstEntryLine + entries.size());
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
    if (const auto bad = firstUnsafeLine(lines)) {
        const std::string what = *bad >= kFirstEntryLine ? "the entry '" + lines[*bad] + "'"
                                                         : "the export option '" + lines[*bad] + "'";
        return {
            "Error: " + what + " holds characters a database cannot store; nothing was exported", {}, false};
    }
    // The user named this file: when its folder takes no temporary file, write it in place.
    Db2Writer out(options.fileName, {LineEnd::CrLf, 0666, true});
    for (const std::string& line : lines)
        out.writeLine(line);
    out.commit();
    return {"Exporting complete", {}, true};
}

} // namespace qm
