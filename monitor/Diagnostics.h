// What the diagnostics page shows for one controller report: the box's
// buttons, nav switch, knob and switches, decoded by model and console.
// QtCore only; the diagnostics page shows the result.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace zembrik {

// Icons of the nav image.
enum TNavIcon { niCentred = 0, niUp = 1, niDown = 2, niLeft = 3, niRight = 4, niSelect = 5 };

struct TDiagnosticsView {
    // Absent: the control is left as it is.
    std::optional<bool> Home;
    bool Back = false;
    bool Start = false;
    QString NavText;
    int NavIcon = niCentred;
    // Base model only.
    bool BaseModel = false;
    std::array<bool, 5> Buttons{}; // "Red", "Yellow", "Blue", "Green", "Orange"
    int Knob = 0;                  // byte 15
    int Dial = 0;                  // 0..100
    int ModeItem = -1;             // "Program 2", "Program 1", "Play"; -1 none
    int FunctionItem = -1;         // "Function A", "Function B"; -1 none
};

inline constexpr int kConsoleWii = 1;

// report: the 64 data bytes of the latest input report.
TDiagnosticsView DecodeDiagnostics(const quint8 *report, int model, int console);

} // namespace zembrik
