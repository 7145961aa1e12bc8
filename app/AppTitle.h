#pragma once

namespace qm {

inline constexpr const char* kApplicationTitle = "Quillmark";
inline constexpr const char* kProgramVersion = QM_VERSION;
inline constexpr const char* kWindowCaption = "Quillmark " QM_VERSION;
/// The desktop entry, icon and metadata name: the project site's name, reversed.
inline constexpr const char* kDesktopId = "example.quillmark.Quillmark";

} // namespace qm
