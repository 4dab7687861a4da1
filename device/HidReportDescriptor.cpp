#include "device/HidReportDescriptor.h"

#include <map>
#include <vector>

namespace zembrik {

HidReportLayout ParseReportDescriptor(const QByteArray &descriptor)
{
    struct Globals {
        unsigned reportSize = 0;
        unsigned reportCount = 0;
        unsigned reportId = 0;
    };
    HidReportLayout layout;
    std::vector<Globals> stack;
    Globals g;
    std::map<unsigned, unsigned long> inputBits; // per report ID

    const auto *p = reinterpret_cast<const unsigned char *>(descriptor.constData());
    const qsizetype n = descriptor.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char prefix = p[i];
        if (prefix == 0xFE) { // long item: size, tag, data
            if (i + 1 >= n)
                return layout;
            i += 3 + p[i + 1];
            continue;
        }
        const int size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (i + 1 + size > n)
            return layout;
        unsigned long value = 0;
        for (int k = 0; k < size; ++k)
            value |= static_cast<unsigned long>(p[i + 1 + k]) << (8 * k);
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        if (type == 1) { // global
            switch (tag) {
            case 7:
                g.reportSize = value;
                break;
            case 8:
                g.reportId = value;
                layout.usesReportIds = true;
                break;
            case 9:
                g.reportCount = value;
                break;
            case 10:
                stack.push_back(g);
                break;
            case 11:
                if (!stack.empty()) {
                    g = stack.back();
                    stack.pop_back();
                }
                break;
            default:
                break;
            }
        } else if (type == 0 && tag == 8) { // main: Input
            inputBits[g.reportId] += static_cast<unsigned long>(g.reportSize) * g.reportCount;
        }
        i += 1 + size;
    }
    unsigned long maxBytes = 0;
    for (const auto &[id, bits] : inputBits)
        maxBytes = std::max(maxBytes, (bits + 7) / 8);
    if (maxBytes > 0) {
        layout.maxInputReportBytes = static_cast<int>(std::min<unsigned long>(maxBytes, 4096));
        layout.valid = true;
    }
    return layout;
}

} // namespace zembrik
