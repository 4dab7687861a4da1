#include "maps/MapFile.h"

#include "Modules/DataStore.h"
#include "Modules/XMLConfig.h"

#include <QFileInfo>

#include <algorithm>

namespace zembrik {

namespace {
const QString kRoot = QStringLiteral("Configuration");
QString mapSection(int m)
{
    return QStringLiteral("Map%1").arg(m);
}
QString slotKey(int o, int s)
{
    return QStringLiteral("Output%1.Note%2").arg(o).arg(s);
}
int bounded(int v, int max)
{
    return std::clamp(v, 0, max);
}
} // namespace

TMapFileResult SaveMapFile(const QString &fileName, const TNoteMaps &maps, const TMapLayout &layout)
{
    TMapFileResult result;
    const QFileInfo info(fileName);
    if (info.exists() && !info.isWritable()) {
        result.ok = false;
        result.error = QStringLiteral("%1 is read-only.").arg(fileName);
        return result;
    }
    // A fresh document; the old file stays until the new one is complete.
    TXMLConfig config(kRoot, fileName, false);
    for (int m = 0; m < bounded(layout.mapCount, MaxMaps); ++m)
        for (int o = 0; o < bounded(layout.outputs, MaxOutputs); ++o)
            for (int s = 0; s < bounded(layout.notesPerOutput, MaxNotesPerOutput); ++s)
                if (maps.At(m, o, s) != NoNote)
                    config.WriteInteger(mapSection(m), slotKey(o, s), maps.At(m, o, s));
    if (!config.Flush()) {
        result.ok = false;
        result.error = config.Storage().LastError();
        config.Storage().SetReadOnly(true); // no second attempt on destruction
    }
    return result;
}

TMapFileResult LoadMapFile(const QString &fileName, TNoteMaps &maps, const TMapLayout &layout)
{
    TMapFileResult result;
    TDataStore store(kRoot, fileName);
    result.recovery = store.RecoveryMessage();
    const int outputs = bounded(layout.outputs, MaxOutputs);
    const int notes = bounded(layout.notesPerOutput, MaxNotesPerOutput);
    auto note = [](int v) { return v >= 0 && v <= 127 ? v : NoNote; };
    if (store.ReadInteger(QStringLiteral("formMain"), QStringLiteral("editNote10_Text"), -1) != -1) {
        result.legacy = true;
        const int m = bounded(layout.currentMap, MaxMaps - 1);
        maps.Clear(m);
        for (int o = 0; o < outputs; ++o)
            for (int s = 0; s < notes; ++s)
                maps.Set(m, o, s,
                         note(store.ReadInteger(QStringLiteral("formMain"),
                                                QStringLiteral("editNote%1%2_Text").arg(o + 1).arg(s), -1)));
        return result;
    }
    maps.Clear(-1);
    for (int m = 0; m < bounded(layout.mapCount, MaxMaps); ++m)
        for (int o = 0; o < outputs; ++o)
            for (int s = 0; s < notes; ++s)
                maps.Set(m, o, s, note(store.ReadInteger(mapSection(m), slotKey(o, s), NoNote)));
    return result;
}

} // namespace zembrik
