// The windows' fonts: the designed face where it is installed, otherwise
// the desktop's sans-serif at the same pixel height.
#pragma once

#include <QFont>

namespace zembrik {

// Tahoma, 11 pixels high.
QFont WindowFont();
// The About dialog's face, 11 pixels high.
QFont DialogFont();

} // namespace zembrik
