#include "monitor/LogReport.h"

#include <algorithm>

namespace zembrik {

std::optional<TLogReport> TLogReport::Parse(const quint8 *data, int size)
{
    if (!data || size < 3 || data[0] != kMarker)
        return std::nullopt;
    TLogReport report;
    report.sequence = data[1];
    report.pairCount = std::min({data[2] / 2, kMaxPairs, (size - 3) / 2});
    for (int k = 0; k < report.pairCount; ++k)
        report.pairs[static_cast<std::size_t>(k)] = {data[3 + 2 * k], data[4 + 2 * k]};
    return report;
}

} // namespace zembrik
