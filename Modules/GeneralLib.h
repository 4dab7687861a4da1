// Small helpers without widgets that several parts of the program share:
// the checked atomic file save used by the map files, the settings file and
// the MIDI log, the decoding of the drum controller's pads, and the text
// inside a tag of tagged text.  QtCore only.
#pragma once

#include <QByteArray>
#include <QString>

namespace zembrik {

// Writes bytes to fileName through a temporary file that replaces the old
// file only once every byte has been written.  On any failure the old file
// is left as it was and error (when given) names the file and the cause.
bool SaveFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error = nullptr);

// What a controller report says was hit, in the drum kit's terms.
struct TDrumPadStates {
    bool RedPad = false;
    bool BluePad = false;
    bool YellowPad = false;
    bool GreenPad = false;
    bool BlueCymbal = false;
    bool YellowCymbal = false;
    bool GreenCymbal = false;
    bool OrangeCymbal = false;
    bool Kick = false;
    friend bool operator==(const TDrumPadStates &, const TDrumPadStates &) = default;
};

// Reads bytes 0 to 2 of a controller report: the colour bits, the pad and
// cymbal flags and the direction byte.  In Rock Band (guitarHero false) the
// flags tell pads from cymbals; in Guitar Hero each bit is one pad.
TDrumPadStates DecodeDrumPads(const quint8 *report, bool guitarHero);

// The text inside the first tag named tag in text: from the first "<" + tag
// (exact case) past the next ">", up to the first "</" + tag (any case).
// "<U><B>Custom Chart</B></U>" with "B" gives "Custom Chart"; text without
// the tag is returned as it is.
QString InnerTextOfTag(const QString &tag, const QString &text);

} // namespace zembrik
