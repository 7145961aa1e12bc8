#include "update/UpdateCheck.h"

#include "database/Db2File.h"
#include "database/Db2Format.h"
#include "platform/IntText.h"
#include "platform/TextFile.h"
#include "update/TIdHTTP.h"

#include <algorithm>
#include <cctype>

namespace qm {

namespace {

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The build on line 1 of the local database; failures become the box's text.
std::string localBuild(const std::string& path) {
    Db2Reader in(path);
    if (in.readLine() != kDb2ProductName)
        throw Failure("Error: servers.db2 is corrupted");
    return in.readLine();
}

} // namespace

std::optional<std::string> valueAfterKey(const std::vector<std::string>& lines, const std::string& key) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (equalsIgnoringCase(lines[i], key))
            return i + 1 < lines.size() ? lines[i + 1] : std::string();
    return std::nullopt;
}

Outcome runUpdateCheck(TIdHTTP& http, const UpdateProxySettings& proxy, const UpdateSite& site,
                       const std::string& programVersion, const std::string& localDatabase,
                       const std::function<void(const std::string&)>& append) {
    http.ProxyParams.ProxyServer = proxy.address;
    if (!proxy.port.empty())
        http.ProxyParams.ProxyPort = toInteger(proxy.port);
    http.ProxyParams.ProxyUsername = proxy.login;
    http.ProxyParams.ProxyPassword = proxy.password;

    std::vector<std::string> box;
    auto add = [&](const std::string& line) {
        box.push_back(line);
        append(line);
    };
    add("Setting HTTP Proxy...");
    add("Downloading update list...");
    std::string page;
    try {
        page = http.Get(site.updatePageUrl);
    } catch (const std::exception& e) {
        add(e.what());
        return {{}, {}, false};
    }
    LineCursor lines(page);
    while (!lines.atEnd())
        add(lines.readLine());

    bool found = false;
    const auto version = valueAfterKey(box, kProgramKey);
    if (version && *version != programVersion) {
        found = true;
        add("New version of Quillmark found");
    }
    try {
        const std::string build = localBuild(localDatabase);
        const auto newest = valueAfterKey(box, kDatabaseKey);
        if (newest && *newest != build) {
            found = true;
            add("New version of servers.db2 found");
        }
    } catch (const std::exception& e) {
        add(e.what());
    }

    if (found) {
        add("New updates were found. Visit " + site.rootUrl);
        return {"New updates were found. Visit " + site.rootUrl + " for more information",
                "New updates were found. Visit " + site.rootUrl + " to download the latest version", true};
    }
    add("You have the latest verson");
    return {"No new updates were found", {}, true};
}

} // namespace qm
