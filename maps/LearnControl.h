// MIDI learn on the map page: a checkable "Learn" button in the note map
// group.  While it is checked the box logs its MIDI input (TMidiLearn); the
// first hit's note goes into the focused note cell as if typed there, and
// the focus moves on as Enter moves it.  The status bar tells which output
// and slot the next hit goes to, or asks for a cell to be clicked first.
// The window ends learning when it leaves the map page, starts a transfer,
// loses or re-greets the box, or closes.  Owned by the main window; UI
// thread only.
#pragma once

#include <QObject>

class QPushButton;

namespace zembrik {

class TMapPage;
class TMidiLearn;
class TNoteCell;

class TLearnControl : public QObject {
    Q_OBJECT
public:
    TLearnControl(TMidiLearn &learn, TMapPage &page, QObject *parent = nullptr);
    // A connected box that can log, and no transfer running.
    void SetAvailable(bool available);
    // Learning ends: the box's logging goes off (once).
    void End();
    // The box is gone: learning ends without a word to it.
    void Forget();

    QPushButton *btnLearn = nullptr;

signals:
    void Status(const QString &text);

private:
    void toggled(bool on);
    void learned(int note);
    void tellTarget();
    TNoteCell *focusedCell() const;

    TMidiLearn &learn_;
    TMapPage &page_;
};

} // namespace zembrik
