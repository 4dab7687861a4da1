// The program's copy of the box's note maps, and the rules of the map editor
// that need no widgets: clamping of cell values, duplicate detection,
// compaction of an output's notes, the status line, the close question and
// the bounds a box's geometry is held to.  TMapEditor (maps/MapEditor.h)
// applies them.  Plain values.
#pragma once

#include "maps/MapStatus.h"

#include <QString>

#include <array>
#include <bitset>

namespace zembrik {

constexpr int MaxMaps = 2;
constexpr int MaxOutputs = 8;
constexpr int MaxNotesPerOutput = 10;
constexpr int NoNote = 255;

class TNoteMaps {
public:
    TNoteMaps() { Clear(-1); }
    int At(int map, int output, int slot) const { return slots_[map][output][slot]; }
    void Set(int map, int output, int slot, int value) { slots_[map][output][slot] = value; }
    // map < 0: both maps.
    void Clear(int map);
    friend bool operator==(const TNoteMaps &, const TNoteMaps &) = default;

private:
    std::array<std::array<std::array<int, MaxNotesPerOutput>, MaxOutputs>, MaxMaps> slots_;
};

// A cell's value as it takes effect: NoNote passes, others are held to 0..127.
constexpr int ClampCellValue(int v)
{
    if (v == NoNote)
        return NoNote;
    return v < 0 ? 0 : (v > 127 ? 127 : v);
}
// The switch note: 255 means none; other values are held to 0..127.
constexpr int ClampSwitchNote(int n)
{
    if (n < 0)
        return 0;
    return (n > 127 && n != 255) ? 127 : n;
}
// A cell's text: empty is NoNote; anything not a number is NoNote too.
int CellTextValue(const QString &text);

// Cells (index output * 10 + slot) whose note is used more than once in the
// map, across all outputs and slots.
std::bitset<MaxOutputs * MaxNotesPerOutput> DuplicateCells(const TNoteMaps &maps, int map);

// One output's slots with the notes moved to the lowest slots in their
// order.  Returns whether anything moved.
bool CompactRow(std::array<int, MaxNotesPerOutput> &row);

QString MapStatusText(quint8 status);

enum class TCloseQuestion { None, NotSavedOnBox, NotSaved };
TCloseQuestion CloseQuestion(bool connected, quint8 status);
QString CloseQuestionText(TCloseQuestion q);

// A box reporting more than the table holds is held to its bounds.
struct TMapGeometry {
    int maps, outputs, notesPerOutput;
    bool clamped;
};
TMapGeometry ClampGeometry(int maps, int outputs, int notesPerOutput);

} // namespace zembrik
