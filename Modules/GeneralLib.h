// Small helpers without widgets that several parts of the program share:
// the checked atomic file save used by the map files, the settings file and
// the MIDI log.  QtCore only.
#pragma once

#include <QByteArray>
#include <QString>

namespace zembrik {

// Writes bytes to fileName through a temporary file that replaces the old
// file only once every byte has been written.  On any failure the old file
// is left as it was and error (when given) names the file and the cause.
bool SaveFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error = nullptr);

} // namespace zembrik
