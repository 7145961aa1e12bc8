#pragma once
#include "platform/Outcome.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qm {

class TIdHTTP;

/// The Update page's proxy fields, as typed.
struct UpdateProxySettings {
    std::string address; // empty: connect directly
    std::string port;    // empty: keep the client's port
    std::string login;
    std::string password;
};

struct UpdateSite {
    std::string hostName;
    std::string rootUrl;
    std::string updatePageUrl;
};

inline constexpr const char* kProgramKey = "Quillmark";
inline constexpr const char* kDatabaseKey = "QMbld";
inline constexpr const char* kLocalDatabase = "servers.db2";

/// The check after its first status text: sets the proxy on the client (a port that is
/// not a number is thrown), fetches the page, compares what it names with the program's
/// version and the build of `localDatabase`. What the information box gets goes to
/// `append` as it comes, one text per call (the page's text as one call, its lines joined
/// by LF); the outcome carries the closing status text and message, or no
/// status at all when the fetch failed.
Outcome runUpdateCheck(TIdHTTP& http, const UpdateProxySettings& proxy, const UpdateSite& site,
                       const std::string& programVersion, const std::string& localDatabase,
                       const std::function<void(const std::string&)>& append);

} // namespace qm
