// The "Diagnostics" page: LEDs for the box's Home, Back and Start buttons,
// the nav switch picture, and (base model only, on pnlDiagBox) the function
// and mode switches, the adjust knob, the coloured buttons and the firmware
// notice.  The main window's timer decodes the latest report and hands the
// result to ShowReport.  UI thread only.
#pragma once

#include "monitor/Diagnostics.h"

#include <QWidget>

class QDial;
class QGroupBox;
class QLabel;
class QListWidget;

namespace zembrik {

class TRadioGroup;
class TShape;

// The nav image's icons, 16 x 16: 0 a gray ball, 1..4 a red ball with an
// arrow up, down, left, right, 5 a plain red ball.
QPixmap NavIcon(int icon);

class TDiagnosticsPage : public QWidget {
    Q_OBJECT
public:
    explicit TDiagnosticsPage(QWidget *parent = nullptr);

    void ShowReport(const TDiagnosticsView &view);
    void tabDiagnosticsShow(bool supported);
    int NavIconShown() const { return navIcon_; }
    bool LedOn(const TShape *led) const;

    TShape *ledHome = nullptr;
    QLabel *lblHome = nullptr;
    TShape *ledBack = nullptr;
    TShape *ledStart = nullptr;
    QGroupBox *grpNav = nullptr;
    QLabel *imgNav = nullptr;
    QLabel *labelNavPos = nullptr;
    QWidget *pnlDiagBox = nullptr;
    TRadioGroup *radgrpFunction = nullptr;
    TRadioGroup *radgrpMode = nullptr;
    QLabel *lblAdjustKnob = nullptr;
    QDial *dialAdjust = nullptr;
    QListWidget *chklistButtons = nullptr;
    QLabel *lblNotice = nullptr;

private:
    void setLed(TShape *led, bool on);
    void setNavIcon(int icon);
    int navIcon_ = -1;
};

} // namespace zembrik
