#include "maps/MapEditor.h"

#include <QScopeGuard>

#include <utility>

namespace zembrik {

namespace {
bool validCell(int output, int slot)
{
    return output >= 0 && output < MaxOutputs && slot >= 0 && slot < MaxNotesPerOutput;
}
bool validMap(int map)
{
    return map >= 0 && map < MaxMaps;
}
} // namespace

TMapEditor::TMapEditor(QObject *parent) : QObject(parent)
{
    for (auto &output : cells_)
        output.fill(NoNote);
}

void TMapEditor::EnterCell(int output, int slot, int value)
{
    TEditorStep step(*this, QStringLiteral("Enter Note"));
    enterCell(output, slot, value);
}

void TMapEditor::enterCell(int output, int slot, int value)
{
    if (!validCell(output, slot))
        return;
    value = ClampCellValue(value);
    cells_[output][slot] = value;
    emit cellChanged(output, slot, value);
    record(output, slot, value);
}

void TMapEditor::SetCell(int output, int slot, int value)
{
    setCell(output, slot, value);
}

void TMapEditor::setCell(int output, int slot, int value)
{
    // The cells only hold 0..127 or NoNote: a value out of range always
    // reaches the cell, which then shows it held to the range.
    if (validCell(output, slot) && cells_[output][slot] != value)
        enterCell(output, slot, value);
}

void TMapEditor::record(int output, int slot, int value)
{
    if (status_ & msUpdating)
        return;
    NoteMaps.Set(currentMap_, output, slot, value);
    MarkDuplicates(currentMap_);
    SetMapStatus(msModified);
}

void TMapEditor::ClearCells()
{
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            setCell(o, s, NoNote);
}

void TMapEditor::ShowMap(int map)
{
    // Emptying the cells is recorded into the shown map when msUpdating is
    // not set; the map to show is taken first, so that showing the shown
    // map again does not empty it.
    if (!validMap(map))
        return;
    const TNoteMaps shown = NoteMaps;
    ClearCells();
    emit mapShown(map);
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            setCell(o, s, shown.At(map, o, s));
}

void TMapEditor::StoreCellsIntoMap(int map)
{
    if (!validMap(map))
        return;
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            NoteMaps.Set(map, o, s, cells_[o][s]);
}

void TMapEditor::ClearMaps(int map)
{
    NoteMaps.Clear(map);
    ShowMap(currentMap_);
}

void TMapEditor::SelectMap(int map)
{
    if (map < 0 || map >= mapCount_)
        map = 0;
    const quint8 e = status_;
    SetMapStatus(e | msUpdating);
    if (map != currentMap_)
        StoreCellsIntoMap(currentMap_);
    ShowMap(map);
    MarkDuplicates(map);
    emit mapSelecting(map);
    currentMap_ = map;
    SetMapStatus(e & ~msUpdating);
}

void TMapEditor::MarkDuplicates(int map)
{
    if (!validMap(map))
        return;
    duplicates_ = DuplicateCells(NoteMaps, map);
    emit duplicatesChanged(duplicates_);
}

void TMapEditor::CompactMap()
{
    // On the cells, hence on the shown map; all slots take part, visible
    // or not.
    for (int o = 0; o < MaxOutputs; ++o) {
        auto row = cells_[o];
        if (!CompactRow(row))
            continue;
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            setCell(o, s, row[s]);
    }
}

void TMapEditor::CloneMap()
{
    if (mapCount_ <= 1)
        return;
    TEditorStep step(*this, QStringLiteral("Clone"));
    ClearCells();
    const int a = currentMap_;
    const int b = (a + 1) % mapCount_;
    for (int o = 0; o < outputCount_; ++o)
        for (int s = 0; s < notesPerOutput_; ++s)
            NoteMaps.Set(a, o, s, NoteMaps.At(b, o, s));
    ShowMap(a);
}

void TMapEditor::ClearOutput(int output)
{
    if (!validCell(output, 0))
        return;
    TEditorStep step(*this, QStringLiteral("Clear Output %1").arg(output + 1));
    for (int s = 0; s < MaxNotesPerOutput; ++s)
        setCell(output, s, NoNote);
}

void TMapEditor::SetMapCount(int n)
{
    const TMapGeometry g = ClampGeometry(n, outputCount_, notesPerOutput_);
    if (g.maps != n)
        emit geometryClamped(
            QStringLiteral("The MIDI Zembrik reports %1 maps; this program handles %2.").arg(n).arg(g.maps));
    mapCount_ = g.maps;
    emit mapCountChanged(mapCount_);
}

void TMapEditor::SetMapGeometry(int outputs, int notes)
{
    const TMapGeometry g = ClampGeometry(mapCount_, outputs, notes);
    if (g.clamped)
        emit geometryClamped(
            QStringLiteral("The MIDI Zembrik reports %1 outputs of %2 notes; this program handles up to %3 of %4.")
                .arg(outputs)
                .arg(notes)
                .arg(MaxOutputs)
                .arg(MaxNotesPerOutput));
    outputCount_ = g.outputs;
    notesPerOutput_ = g.notesPerOutput;
    emit geometryChanged(outputCount_, notesPerOutput_);
}

void TMapEditor::SetMapStatus(quint8 status)
{
    status_ = status;
    emit statusChanged(status_);
}

void TMapEditor::SetSwitchNote(int n)
{
    if (switchNoteRunning_)
        return;
    switchNoteRunning_ = true;
    auto release = qScopeGuard([this] { switchNoteRunning_ = false; });
    switchNote_ = ClampSwitchNote(n);
    emit switchNoteChanged(switchNote_);
}

TEditorState TMapEditor::State() const
{
    return {NoteMaps, cells_, currentMap_, status_};
}

void TMapEditor::RestoreState(const TEditorState &state)
{
    // Nothing here is a step of its own, nor part of one that is open.
    const int depth = std::exchange(stepDepth_, 1);
    auto restore = qScopeGuard([&] { stepDepth_ = depth; });
    NoteMaps = state.maps;
    if (state.currentMap != currentMap_ && validMap(state.currentMap)) {
        emit mapSelecting(state.currentMap);
        currentMap_ = state.currentMap;
    }
    emit mapShown(currentMap_);
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            if (cells_[o][s] != state.cells[o][s]) {
                cells_[o][s] = state.cells[o][s];
                emit cellChanged(o, s, cells_[o][s]);
            }
    MarkDuplicates(currentMap_);
    SetMapStatus(state.status);
}

void TMapEditor::BeginStep(const QString &text)
{
    if (stepDepth_++ > 0)
        return;
    stepText_ = text;
    stepBefore_ = State();
}

void TMapEditor::EndStep()
{
    if (stepDepth_ == 0 || --stepDepth_ > 0)
        return;
    const TEditorState after = State();
    if (after != stepBefore_)
        emit stepDone(stepText_, stepBefore_, after);
}

} // namespace zembrik
