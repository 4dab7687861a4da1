// What the transport needs to know of a HID report descriptor: whether the
// device numbers its reports, and how long its longest input report is.
// Used by the hidraw binding, where no driver hands us the capabilities.
#pragma once

#include <QByteArray>

namespace zembrik {

struct HidReportLayout {
    bool usesReportIds = false;
    int maxInputReportBytes = 64; // data bytes, report-ID byte excluded
    bool valid = false;
    // As Windows counts it: report-ID byte always included.
    int inputReportLength() const { return maxInputReportBytes + 1; }
};

HidReportLayout ParseReportDescriptor(const QByteArray &descriptor);

} // namespace zembrik
