// Small helpers without widgets that several parts of the program share:
// the checked atomic file save used by the map files, the settings file and
// the MIDI log; the text inside a tag of tagged text.  QtCore only.
#pragma once

#include <QByteArray>
#include <QString>

namespace zembrik {

// Writes bytes to fileName through a temporary file that replaces the old
// file only once every byte has been written.  On any failure the old file
// is left as it was and error (when given) names the file and the cause.
bool SaveFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error = nullptr);

// The text inside the first tag named tag in text: from the first "<" + tag
// (exact case) past the next ">", up to the first "</" + tag (any case).
// "<U><B>Custom Chart</B></U>" with "B" gives "Custom Chart"; text without
// the tag is returned as it is.
QString InnerTextOfTag(const QString &tag, const QString &text);

} // namespace zembrik
