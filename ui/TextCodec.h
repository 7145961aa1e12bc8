#pragma once
#include <QString>

#include <string>

namespace qm {

/// Texts are bytes; for display they are read as UTF-8 when they are valid UTF-8 and as
/// Latin-1 otherwise, so that any byte shows as some character.
QString toDisplay(const std::string& bytes);
/// What the user typed, as bytes (UTF-8).
std::string fromDisplay(const QString& text);

} // namespace qm
