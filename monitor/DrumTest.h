// The drum test's logic without widgets: the lit state and hit count of one
// pad shape, and the waterfall of recent hits, one line per controller
// report.  The drum test page owns these; QtCore only.
#pragma once

#include "Modules/GeneralLib.h"

#include <QByteArray>

namespace zembrik {

// One shape that lights while its pad is pressed.  A pad held over several
// reports counts once; it counts again after a report without it.
struct TPadLamp {
    bool Lit = false;
    int Hits = 0;
    // Returns true when the hit count went up.
    bool Show(bool pressed)
    {
        if (!pressed) {
            Lit = false;
            return false;
        }
        if (Lit)
            return false;
        Lit = true;
        ++Hits;
        return true;
    }
};

struct TLaneColour {
    quint8 r, g, b;
};

// The scrolling picture of hits: 256 x 267 pixels, 24 bits each, in lanes
// 32 pixels wide.  New hits enter at the bottom line and every report moves
// the picture up by one line.  The lines are kept in a ring, so advancing
// writes one line and moves nothing; Line(0) is the top line.
class TWaterfall {
public:
    static constexpr int kWidth = 256;
    static constexpr int kHeight = 267;
    static constexpr int kLaneWidth = 32;
    static constexpr int kBytesPerLine = kWidth * 3;

    // Whether the bitmap has been made (at the first Advance).
    bool Exists() const { return !pixels_.isEmpty(); }
    // Moves the picture up one line and paints the report's hits on the
    // bottom line, in the lanes of the viewed game mode.
    void Advance(const TDrumPadStates &pads, bool guitarHero);
    // RGB bytes of line y, 0 at the top.
    const uchar *Line(int y) const;
    // How many lines have been added since the bitmap was made.
    quint64 Lines() const { return lines_; }

private:
    QByteArray pixels_;
    int top_ = 0; // ring index of the top line
    quint64 lines_ = 0;
};

} // namespace zembrik
