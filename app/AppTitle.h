#pragma once

namespace qm {

inline constexpr const char* kApplicationTitle = "Quillmark";
inline constexpr const char* kProgramVersion = "3.51";
inline constexpr const char* kWindowCaption = "Quillmark 3.51";

} // namespace qm
