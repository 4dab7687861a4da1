#include "monitor/MidiLearn.h"

#include "device/Commands.h"
#include "device/DeviceLink.h"

namespace zembrik {

TMidiLearn::TMidiLearn(TDeviceLink &link, QObject *parent) : QObject(parent), link_(link) {}

void TMidiLearn::setActive(bool on)
{
    if (active_ == on)
        return;
    active_ = on;
    pendingNote_ = -1;
    emit ActiveChanged(on);
}

bool TMidiLearn::Start()
{
    if (active_)
        return true;
    if (!link_.CurrentDevice)
        return false;
    // Active before the exchange: log reports arriving while it waits for
    // the reply are taken, and a Stop from inside it is not lost.
    setActive(true);
    TCommandReply reply;
    link_.SendCommand(cmd::SetMidiLog(true), reply);
    return true;
}

void TMidiLearn::Stop()
{
    if (!active_)
        return;
    // Inactive before the exchange: a second Stop while it waits sends nothing.
    setActive(false);
    TCommandReply reply;
    link_.SendCommand(cmd::SetMidiLog(false), reply);
}

void TMidiLearn::Forget()
{
    setActive(false);
    // Another box, or the same one started afresh, counts its reports anew.
    lastSequence_ = -1;
}

void TMidiLearn::Feed(const quint8 *data)
{
    if (!active_)
        return;
    const std::optional<TLogReport> report = TLogReport::Parse(data);
    if (!report || report->sequence == lastSequence_)
        return;
    lastSequence_ = report->sequence;
    for (const TLogPair &pair : *report) {
        switch (pair.code) {
        case lgNoteOn:
            pendingNote_ = pair.value;
            break;
        case lgOnVelocity:
            if (pendingNote_ >= 0 && pair.value > 0) {
                const int note = pendingNote_;
                pendingNote_ = -1;
                emit NoteLearned(note);
                return;
            }
            pendingNote_ = -1;
            break;
        case lgControlChange:
        case lgPedalPosition:
            break; // a note keeps waiting for its velocity across these
        default:
            pendingNote_ = -1;
            break;
        }
    }
}

} // namespace zembrik
