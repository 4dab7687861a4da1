#include "maps/NoteMaps.h"

#include <algorithm>

namespace zembrik {

void TNoteMaps::Clear(int map)
{
    for (int m = 0; m < MaxMaps; ++m)
        if (map < 0 || m == map)
            for (auto &output : slots_[m])
                output.fill(NoNote);
}

int CellTextValue(const QString &text)
{
    if (text.isEmpty())
        return NoNote;
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    return ok ? v : NoNote;
}

std::bitset<MaxOutputs * MaxNotesPerOutput> DuplicateCells(const TNoteMaps &maps, int map)
{
    std::bitset<MaxOutputs * MaxNotesPerOutput> red;
    std::array<int, 256> first;
    first.fill(-1);
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s) {
            const int v = maps.At(map, o, s);
            if (v == NoNote || v < 0 || v > 255)
                continue;
            const int cell = o * MaxNotesPerOutput + s;
            if (first[v] < 0) {
                first[v] = cell;
            } else {
                red.set(first[v]);
                red.set(cell);
            }
        }
    return red;
}

bool CompactRow(std::array<int, MaxNotesPerOutput> &row)
{
    bool movedAny = false;
    for (bool moved = true; moved;) {
        moved = false;
        for (int s = 0; s + 1 < MaxNotesPerOutput; ++s)
            if (row[s] == NoNote && row[s + 1] != NoNote) {
                std::swap(row[s], row[s + 1]);
                moved = movedAny = true;
            }
    }
    return movedAny;
}

QString MapStatusText(quint8 status)
{
    QString text = QStringLiteral("Map Status: ");
    if (status & msModified)
        text += QStringLiteral("[Modified]");
    if (status & msRecalledFromBox)
        text += QStringLiteral("[Recalled from Midi Zembrik]");
    if (status & msRecalledFromFile)
        text += QStringLiteral("[Recalled from File]");
    if (status & msSavedToBox)
        text += QStringLiteral("[Saved to Midi Zembrik]");
    if (status & msSavedInFile)
        text += QStringLiteral("[Saved in File]");
    return text;
}

TCloseQuestion CloseQuestion(bool connected, quint8 status)
{
    if (connected)
        return (status == 0 || (status & (msSavedToBox | msRecalledFromBox))) ? TCloseQuestion::None
                                                                              : TCloseQuestion::NotSavedOnBox;
    return (status & msModified) ? TCloseQuestion::NotSaved : TCloseQuestion::None;
}

QString CloseQuestionText(TCloseQuestion q)
{
    switch (q) {
    case TCloseQuestion::NotSavedOnBox:
        return QStringLiteral("Map has not been saved on Midi Zembrik, are you sure you want to exit?");
    case TCloseQuestion::NotSaved:
        return QStringLiteral("Map has not been saved, are you sure you want to exit?");
    default:
        return {};
    }
}

TMapGeometry ClampGeometry(int maps, int outputs, int notesPerOutput)
{
    TMapGeometry g{std::clamp(maps, 1, MaxMaps), std::clamp(outputs, 1, MaxOutputs),
                   std::clamp(notesPerOutput, 1, MaxNotesPerOutput), false};
    g.clamped = g.maps != maps || g.outputs != outputs || g.notesPerOutput != notesPerOutput;
    return g;
}

} // namespace zembrik
