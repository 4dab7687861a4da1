// The program's title and its maker's address, shown by the main window and
// the About dialog.
#pragma once

#include <QString>

namespace zembrik {

inline const QString kMakerAddress = QStringLiteral("https://www.midizembrik.example/");
inline const QString kApplicationTitle = QStringLiteral("MIDI Zembrik Setup");

} // namespace zembrik
