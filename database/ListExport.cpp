#include "database/ListExport.h"

#include "database/Db2File.h"
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
    const std::vector<std::string> header = exportLines(options, countLabel, {});
    // The whole file is scrambled in memory first: a text the format cannot store is found
    // before any file is touched, and the file is then written in one go.
    size_t size = 0;
    for (const std::string& line : header)
        size += line.size() + 2;
    for (const std::string& entry : entries)
        size += entry.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    Db2LineKeys keys;
    auto append = [&](const std::string& line) {
        const bool safe = appendScrambled(bytes, line, keys.key());
        bytes.append("\r\n");
        keys.next();
        return safe;
    };
    for (const std::string& line : header)
        if (!append(line))
            return {"Error: the export option '" + line +
                        "' holds characters a database cannot store; nothing was exported",
                    {},
                    false};
    for (const std::string& entry : entries)
        if (!append(entry))
            return {"Error: the entry '" + entry +
                        "' holds characters a database cannot store; nothing was exported",
                    {},
                    false};
    // The user named this file: when its folder takes no temporary file, write it in place.
    AtomicTextFile out(options.fileName, {LineEnd::CrLf, 0666, true});
    out.write(bytes);
    out.commit();
    // Where it went: a bare name lands in the documents folder, not beside the program.
    return {"Exporting complete: " + absolutePath(options.fileName), {}, true};
}

} // namespace qm
