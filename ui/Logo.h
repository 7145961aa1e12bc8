#pragma once
#include <QPixmap>

namespace qm {

/// The program's logo: a quill over a target ring, drawn rather than loaded so the
/// program folder needs no picture files.
QPixmap drawLogo(int size);

} // namespace qm
