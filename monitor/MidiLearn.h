// MIDI learn: the user hits a pad and the program takes its note.
//
// While active, the box's MIDI logging is on and every input report handed
// to Feed is read as a log report: the first Note ON whose velocity (the "ON
// Vel" pair that follows it, in the same report or the next) is above 0 is
// learned; a Note ON with velocity 0 is a note-off and is passed over.  One
// note is learned per report: the rest of that report is dropped, so one hit
// that sends two notes fills one cell, not two.  After a learned note the
// engine stays active for the next cell until Stop.
//
// Start and Stop switch the box's logging with command 0x0B; each sends
// only on a change, so logging is switched off exactly once.  When the box
// is gone, Forget marks the engine inactive without sending anything.  The
// owner stops it before destroying it (the destructor sends nothing, as it
// may run while the box is already gone).  QtCore only; UI thread only.
#pragma once

#include "monitor/LogReport.h"

#include <QObject>

namespace zembrik {

class TDeviceLink;

class TMidiLearn : public QObject {
    Q_OBJECT
public:
    explicit TMidiLearn(TDeviceLink &link, QObject *parent = nullptr);

    bool Active() const { return active_; }
    // Switches the box's logging on; false when no box is connected (the
    // engine then stays inactive).  The reply is not needed: the engine is
    // active once the command went out.
    bool Start();
    // Switches the box's logging off, once.
    void Stop();
    // The box is gone: inactive, nothing sent.
    void Forget();

    // One input report's 64 data bytes; ignored while inactive, and unless
    // it is a new log report.
    void Feed(const quint8 *data);

signals:
    void NoteLearned(int note);
    void ActiveChanged(bool active);

private:
    void setActive(bool on);

    TDeviceLink &link_;
    bool active_ = false;
    int lastSequence_ = -1;
    int pendingNote_ = -1; // a Note ON waiting for its velocity
};

} // namespace zembrik
