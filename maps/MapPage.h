// The "MIDI Note Map" page: the map tabs, the eight output columns of note
// cells with their "Clear" buttons, the map status, the switch note, the
// buttons that get and store maps, and the drum picture.  The grid mirrors
// the map editor's engine, which holds the maps and the editing rules; the
// handlers that only edit hand over to it.  What needs the box is asked for
// by a signal, and the window does the transfers and the files with the
// page's buttons.  The note charts sit on the same tab beside the grid.
// Owned by the main window's map tab; UI thread only.
#pragma once

#include "maps/MapEditor.h"
#include "maps/NoteCell.h"

#include <QWidget>

#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;

namespace zembrik {

class TImage;
class TShape;

class TMapPage : public QWidget {
    Q_OBJECT
public:
    explicit TMapPage(TMapEditor &editor, QWidget *parent = nullptr);
    ~TMapPage() override;
    // Cuts the cells off the editor.  The owner of the editor calls it
    // before the editor goes, since a cell losing the focus while the
    // window goes would edit.
    void DisconnectCells();

    TMapEditor &Editor() { return editor_; }
    // Puts value into a cell as the user would.
    void SetCell(TNoteCell *cell, int value);
    // The page's part of the game-mode view: the column titles, colours and
    // order, the Rock Band columns and note, and the drum picture.
    void SetGameModeView(int mode);

    QGroupBox *grpMap = nullptr;
    QLabel *lblInstruct = nullptr;
    QTabBar *tabMaps = nullptr;
    QPushButton *btnCopy = nullptr;
    std::array<QFrame *, MaxOutputs> pnlOut{};
    std::array<QLabel *, MaxOutputs> lblOut{};
    std::array<TShape *, MaxOutputs> shpOut{};
    std::array<std::array<TNoteCell *, MaxNotesPerOutput>, MaxOutputs> editNote{};
    std::array<QPushButton *, MaxOutputs> btnClear{};
    QLabel *lblRockBandNote = nullptr;
    QLabel *lblMapStatus = nullptr;
    QGroupBox *grpMapChange = nullptr;
    QLineEdit *editChangeNote = nullptr;
    QPushButton *btnSetSwitchNote = nullptr;
    QPushButton *btnClearSwap = nullptr;
    QPushButton *btnUpload = nullptr;
    QPushButton *btnRecall = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnDownload = nullptr;
    TImage *imgRBDrums = nullptr;
    TImage *imgGHDrums = nullptr;
    QLabel *lblDrumDiagram = nullptr;

public slots:
    void tabMapsChange(int index);
    void btnCopyClick();
    void btnClear1Click();
    void editNote10ValueChanged(zembrik::TNoteCell *cell);
    void btnSetSwitchNoteClick();
    void btnClearSwapClick();
    void editChangeNoteChange();

signals:
    // The box is to show this map.
    void MapSelecting(int map);
    // The box is to switch maps on this note (255: never).
    void SwitchNoteChanged(int note);

private:
    void buildGrid();
    void buildSwitchNote();
    void buildTransferButtons();
    // The editor's signals, mirrored into the grid.
    void editorCellChanged(int output, int slot, int value);
    void editorMapShown(int map);
    void editorMapSelecting(int map);
    void editorDuplicatesChanged(const TCellSet &red);
    void editorStatusChanged(quint8 status);
    void editorMapCountChanged(int count);
    void editorGeometryChanged(int outputs, int notes);
    void editorSwitchNoteChanged(int note);

    TMapEditor &editor_;
    QFrame *grpMapSheet_ = nullptr; // the map tabs' sheet, holding the columns
    bool tabsByProgram_ = false;
};

} // namespace zembrik
