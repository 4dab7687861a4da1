#include "monitor/Diagnostics.h"

namespace zembrik {

TDiagnosticsView DecodeDiagnostics(const quint8 *report, int model, int console)
{
    TDiagnosticsView v;
    const quint8 b0 = report[0], b1 = report[1], b2 = report[2];
    v.BaseModel = model == 0;
    if (v.BaseModel)
        v.Buttons = {bool(b0 & 0x04), bool(b0 & 0x08), bool(b0 & 0x01), bool(b0 & 0x02), bool(b0 & 0x10)};
    bool press;
    if (console == kConsoleWii) {
        v.Back = b1 & 0x01;
        v.Start = b1 & 0x02;
        press = b0 & 0x02;
    } else {
        v.Home = bool(b1 & 0x10);
        v.Back = b0 & 0x04;
        v.Start = b1 & 0x02;
        press = b1 & 0x01;
    }
    v.NavText = QStringLiteral("?");
    v.NavIcon = niCentred;
    if (press) {
        v.NavText = QStringLiteral("SELECT");
        v.NavIcon = niSelect;
    }
    switch (b2) {
    case 0:
        v.NavText = QStringLiteral("UP");
        v.NavIcon = niUp;
        break;
    case 2:
        v.NavText = QStringLiteral("RIGHT");
        v.NavIcon = niRight;
        break;
    case 4:
        v.NavText = QStringLiteral("DOWN");
        v.NavIcon = niDown;
        break;
    case 6:
        v.NavText = QStringLiteral("LEFT");
        v.NavIcon = niLeft;
        break;
    case 8:
        if (!press) {
            v.NavText = QStringLiteral("CENTERED");
            v.NavIcon = niCentred;
        }
        break;
    default:
        v.NavText = QStringLiteral("?");
        v.NavIcon = niCentred;
        break;
    }
    if (v.BaseModel) {
        v.Knob = report[15];
        v.Dial = (report[15] * 100 + 127) / 255; // rounded to the nearest
        switch (report[16]) {
        case 0:
            v.ModeItem = 1;
            break; // "Program 1"
        case 1:
            v.ModeItem = 0;
            break; // "Program 2"
        case 2:
            v.ModeItem = 2;
            break; // "Play"
        default:
            v.ModeItem = -1;
            break;
        }
        switch (report[17]) {
        case 0:
            v.FunctionItem = 1;
            break; // "Function B"
        case 1:
            v.FunctionItem = 0;
            break; // "Function A"
        default:
            v.FunctionItem = -1;
            break;
        }
    }
    return v;
}

} // namespace zembrik
