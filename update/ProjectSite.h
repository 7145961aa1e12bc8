#pragma once

namespace qm {

/// The project's web site. The name is under the reserved ".example" domain, so no one
/// else can own it; a real release points it at the project's own host.
inline constexpr const char* kSiteHost = "quillmark.example";
inline constexpr const char* kSiteRoot = "http://quillmark.example/";
inline constexpr const char* kUpdatePageUrl = "http://quillmark.example/update.html";

} // namespace qm
