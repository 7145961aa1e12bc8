#include "update/UpdateCheck.h"

#include "database/Db2File.h"
#include "database/Db2Format.h"
#include "platform/IntText.h"
#include "platform/SocketError.h"
#include "update/PageLines.h"
#include "update/TIdHTTP.h"

#include "platform/TextTools.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

namespace qm {

namespace {

// The build on line 1 of the local database; failures become the box's text.
std::string localBuild(const std::string& path) {
    Db2Reader in(path);
    if (in.readLine() != kDb2ProductName) throw Failure("Error: servers.db2 is corrupted");
    return in.readLine();
}

// The page as the box shows it, and the lines after its first key lines. A key on the
// page's last line takes the box line that comes next, which the check appends later.
struct PageReading {
    std::string text;
    std::optional<std::string> version;
    std::optional<std::string> build;
    bool versionKeyLast = false;
    bool buildKeyLast = false;
    size_t lineCount = 0;
};

// The page is rewritten in its own buffer (its line breaks as LF), so a page of megabytes
// is never held twice.
PageReading readPage(std::string page) {
    PageReading r;
    r.text = std::move(page);
    size_t written = 0;
    PageLines lines(r.text);
    std::string_view line;
    bool first = true;
    while (lines.next(line)) {
        if (r.versionKeyLast) {
            r.version = std::string(line);
            r.versionKeyLast = false;
        }
        if (r.buildKeyLast) {
            r.build = std::string(line);
            r.buildKeyLast = false;
        }
        if (!r.version && !r.versionKeyLast && equalsIgnoringCase(line, kProgramKey)) r.versionKeyLast = true;
        if (!r.build && !r.buildKeyLast && equalsIgnoringCase(line, kDatabaseKey)) r.buildKeyLast = true;
        // Never ahead of the line being read: each line break took at least one byte.
        if (!first) r.text[written++] = '\n';
        std::memmove(r.text.data() + written, line.data(), line.size());
        written += line.size();
        first = false;
        ++r.lineCount;
    }
    r.text.resize(written);
    return r;
}

} // namespace

Outcome runUpdateCheck(TIdHTTP& http, const UpdateProxySettings& proxy, const UpdateSite& site,
                       const std::string& programVersion, const std::string& localDatabase,
                       const std::function<void(const std::string&)>& append) {
    http.ProxyParams.ProxyServer = proxy.address;
    if (!proxy.port.empty()) http.ProxyParams.ProxyPort = toInteger(proxy.port);
    http.ProxyParams.ProxyUsername = proxy.login;
    http.ProxyParams.ProxyPassword = proxy.password;

    append("Setting HTTP Proxy...");
    append("Downloading update list...");
    PageReading page;
    try {
        page = readPage(http.Get(site.updatePageUrl));
    } catch (const EIdSocketError& e) {
        append(e.what());
        // The status line must not go on saying "Connecting to ..." once the attempt is
        // over, and says it in words as the status table does.
        return {"Checking for updates failed: " + socketFailureState(e.code()), {}, false};
    } catch (const std::exception& e) {
        append(e.what());
        const std::string why = e.what();
        return {"Checking for updates failed: " + why.substr(0, why.find("\r\n")), {}, false};
    }
    // The page goes into the box in one piece: line by line, a page of megabytes takes
    // the box seconds to show.
    if (page.lineCount > 0) append(page.text);

    bool found = false;
    const auto version = page.versionKeyLast ? std::string() : page.version;
    if (version && *version != programVersion) {
        found = true;
        append("New version of Quillmark found");
    }
    try {
        const std::string build = localBuild(localDatabase);
        const auto newest =
            page.buildKeyLast ? std::string(found ? "New version of Quillmark found" : "") : page.build;
        if (newest && *newest != build) {
            found = true;
            append("New version of servers.db2 found");
        }
    } catch (const std::exception& e) {
        append(e.what());
    }

    if (found) {
        append("New updates were found. Visit " + site.rootUrl);
        return {"New updates were found. Visit " + site.rootUrl + " for more information",
                "New updates were found. Visit " + site.rootUrl + " to download the latest version", true};
    }
    append("You have the latest verson");
    return {"No new updates were found", {}, true};
}

} // namespace qm
