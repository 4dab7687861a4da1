// The "Settings" page: the box's MIDI note duration, velocity threshold
// (second model) and hi-hat pedal threshold (newer firmware), each edited
// with a TValueEdit.  Every change goes to the box at once with one command;
// nothing of the page is kept on the PC.  The connection routine calls
// ReadDeviceSettings (through the main window) once the box is connected.
//
// Each editor has a guard, raised while a routine of the page works on it,
// so that the changes the routine causes itself send nothing.  A change the
// user makes while a routine waits for the box is sent once that exchange
// has ended, so that page and box agree.  Owned by the main window's
// "Settings" tab; UI thread only.
#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QFrame;
class QLabel;

namespace zembrik {

class TConnection;
class TDeviceLink;
class TValueEdit;
struct TCommand;

class TSettingsPage : public QWidget {
    Q_OBJECT
public:
    TSettingsPage(TDeviceLink &link, const TConnection &connection, QWidget *parent = nullptr);

    // Shows the box's values: duration, velocity (second model), hi-hat.
    void ReadDeviceSettings();
    // Shows or hides the hi-hat panel and reads the threshold.
    void ReadHiHatThreshold();
    // Sends and shows a threshold, 0..127, or 255 for off.
    void SetHiHatThreshold(int t);

    TValueEdit *veditDuration = nullptr;
    QLabel *lblDefaultDuration = nullptr;
    QLabel *JvHTLabel1 = nullptr;
    QFrame *pnlVelocity = nullptr;
    TValueEdit *veditVelocity = nullptr;
    QLabel *lblDefaultVel = nullptr;
    QLabel *lblVelocity = nullptr;
    QFrame *pnlHiHatThreshold = nullptr;
    TValueEdit *veditHiHatThreshold = nullptr;
    QCheckBox *chkEnableHiHatThresh = nullptr;
    QLabel *JvHTLabel2 = nullptr;

public slots:
    void veditDurationValueChange();
    void veditVelocityValueChange();
    void veditHiHatThresholdValueChange();
    void chkEnableHiHatThreshClick();

signals:
    // A line for the status bar.
    void Status(const QString &text);

private:
    void BuildLayout();
    bool Connected() const;
    bool send(const TCommand &c);
    // Sends the command the editor asks for, and once more if the user
    // changed it while the box answered; returns what the box was last given.
    TCommand sendNewest(const std::function<TCommand()> &asked);
    // The threshold the hi-hat controls ask for: 255 when "Enabled" is
    // unchecked.
    int shownHiHatThreshold() const;
    // A read that got no reply: the editor shows its minimum, which stands
    // for "no value" and is not sent back.
    void showNoValue(TValueEdit *edit, int &guard, const QString &setting);

    TDeviceLink &link_;
    const TConnection &connection_;
    int durationGuard_ = 0;
    int velocityGuard_ = 0;
    int hiHatGuard_ = 0;
};

} // namespace zembrik
