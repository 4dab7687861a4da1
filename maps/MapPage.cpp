#include "maps/MapPage.h"

#include "Modules/GuiLib.h"
#include "device/Connection.h"
#include "shell/Controls.h"
#include "shell/GameModeView.h"
#include "shell/WidgetBuild.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabBar>

namespace zembrik {

using namespace build;

namespace {

struct TColumnDesign {
    const char *title;
    QColor colour;
    const char *hint;
};
const TColumnDesign kColumns[MaxOutputs] = {
    {"PAD", QColor(255, 0, 0), "Channel 1"},
    {"PAD", QColor(255, 255, 0), "Channel 2"},
    {"PAD", QColor(0, 0, 255), "Channel 3"},
    {"PAD", QColor(0, 255, 0), "Channel 4"},
    {"PEDAL", QColor(255, 128, 0), "Channel 5"},
    {"CYMBAL", QColor(255, 255, 0), "Channel 6 (ALT CH2)"},
    {"CYMBAL", QColor(0, 0, 255), "Channel 7 (ALT CH3)"},
    {"CYMBAL", QColor(0, 255, 0), "Channel 8 (ALT CH4)"},
};

constexpr int kColumnLeft = 6;
constexpr int kColumnStep = 52;
constexpr int kColumnWidth = 50;

const QColor kOrange(255, 128, 0);
const QColor kYellow(255, 255, 0);
const QColor kPurple(128, 0, 128);

} // namespace

TMapPage::TMapPage(TMapEditor &editor, QWidget *parent) : QWidget(parent), editor_(editor)
{
    setObjectName(QStringLiteral("mapPage"));
    buildGrid();
    buildSwitchNote();
    buildTransferButtons();

    connect(&editor_, &TMapEditor::cellChanged, this, &TMapPage::editorCellChanged);
    connect(&editor_, &TMapEditor::mapShown, this, &TMapPage::editorMapShown);
    connect(&editor_, &TMapEditor::mapSelecting, this, &TMapPage::editorMapSelecting);
    connect(&editor_, &TMapEditor::duplicatesChanged, this, &TMapPage::editorDuplicatesChanged);
    connect(&editor_, &TMapEditor::statusChanged, this, &TMapPage::editorStatusChanged);
    connect(&editor_, &TMapEditor::mapCountChanged, this, &TMapPage::editorMapCountChanged);
    connect(&editor_, &TMapEditor::geometryChanged, this, &TMapPage::editorGeometryChanged);
    connect(&editor_, &TMapEditor::switchNoteChanged, this, &TMapPage::editorSwitchNoteChanged);
    for (auto &column : editNote)
        for (TNoteCell *cell : column)
            connect(cell, &TNoteCell::ValueChanged, this, &TMapPage::editNote10ValueChanged);
}

TMapPage::~TMapPage()
{
    DisconnectCells();
}

void TMapPage::DisconnectCells()
{
    for (auto &column : editNote)
        for (TNoteCell *cell : column)
            disconnect(cell, nullptr, this, nullptr);
}

void TMapPage::buildGrid()
{
    grpMap = named(new QGroupBox(QStringLiteral("Note Map"), this), "grpMap");
    grpMap->setGeometry(4, 2, 478, 404);

    lblInstruct = label(grpMap,
                        QStringLiteral("Assign notes by dragging them from the list to the right, or enter the MIDI "
                                       "note number into the chart below."),
                        QRect(8, 17, 462, 30), "lblInstruct");
    infoColours(lblInstruct);

    tabMaps = named(new QTabBar(grpMap), "tabMaps");
    tabMaps->setGeometry(8, 49, 300, 22);
    tabMaps->setDrawBase(false);
    tabMaps->setExpanding(false);
    tabMaps->addTab(QStringLiteral("Map 1"));
    tabMaps->addTab(QStringLiteral("Map 2"));
    connect(tabMaps, &QTabBar::currentChanged, this, &TMapPage::tabMapsChange);

    btnCopy = button(grpMap, QStringLiteral("Clone"), QRect(398, 48, 72, 22), "btnCopy",
                     QStringLiteral("Copy data from Map 2 into Map 1."));
    connect(btnCopy, &QPushButton::clicked, this, &TMapPage::btnCopyClick);

    grpMapSheet_ = named(new QFrame(grpMap), "pnlMapSheet");
    grpMapSheet_->setGeometry(8, 71, 462, 268);
    grpMapSheet_->setFrameShape(QFrame::StyledPanel);

    for (int o = 0; o < MaxOutputs; ++o) {
        auto *col = new QFrame(grpMapSheet_);
        col->setObjectName(QStringLiteral("pnlOut%1").arg(o + 1));
        col->setGeometry(kColumnLeft + kColumnStep * o, 4, kColumnWidth, 232);
        SetTag(col, o);
        pnlOut[o] = col;

        lblOut[o] = label(col, QLatin1String(kColumns[o].title), QRect(0, 0, kColumnWidth, 14));
        lblOut[o]->setObjectName(QStringLiteral("lblOut%1").arg(o + 1));
        lblOut[o]->setAlignment(Qt::AlignCenter);

        shpOut[o] = new TShape(TShape::RoundRect, col);
        shpOut[o]->setObjectName(o == 4 ? QStringLiteral("shpPedal") : QStringLiteral("shpOut%1").arg(o + 1));
        shpOut[o]->setGeometry(10, 15, 30, 10);
        shpOut[o]->SetBrushColor(kColumns[o].colour);
        shpOut[o]->SetPen(Qt::black, 1);
        // A screen reader names the swatch by its hint; the hint is the
        // same in every game-mode view.
        shpOut[o]->setToolTip(QLatin1String(kColumns[o].hint));
        shpOut[o]->setAccessibleName(shpOut[o]->toolTip());

        for (int s = 0; s < MaxNotesPerOutput; ++s) {
            auto *cell = new TNoteCell(col);
            const int number = (o + 1) * 10 + s;
            cell->setObjectName(QStringLiteral("editNote%1").arg(number));
            SetTag(cell, number);
            cell->setGeometry(5, 28 + 18 * s, 40, 17);
            cell->setAccessibleName(QStringLiteral("Output %1 note %2").arg(o + 1).arg(s + 1));
            editNote[o][s] = cell;
        }
        btnClear[o] = button(col, QStringLiteral("Clear"), QRect(3, 209, 44, 21), "btnClear");
        btnClear[o]->setObjectName(QStringLiteral("btnClear%1").arg(o + 1));
        SetTag(btnClear[o], o);
        connect(btnClear[o], &QPushButton::clicked, this, &TMapPage::btnClear1Click);
    }
    // The keyboard goes through the cells output by output, whatever the
    // columns' order on screen.
    QWidget *prev = nullptr;
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s) {
            if (prev)
                setTabOrder(prev, editNote[o][s]);
            prev = editNote[o][s];
        }

    lblRockBandNote = label(grpMapSheet_,
                            QStringLiteral("Note: When playing Guitar Hero in this mode, the PEDAL is a purple note "
                                           "and there are 4 note \"lanes\"."),
                            QRect(6, 237, 450, 28), "lblRockBandNote");
    infoColours(lblRockBandNote);

    lblMapStatus = label(grpMap, QStringLiteral("Map Status: "), QRect(8, 340, 462, 15), "lblMapStatus");
}

void TMapPage::buildSwitchNote()
{
    grpMapChange = named(new QGroupBox(QStringLiteral("Switch Maps on the Fly"), grpMap), "grpMapChange");
    grpMapChange->setGeometry(8, 356, 462, 46);
    auto *switchText =
        label(grpMapChange,
              QStringLiteral("The MIDI Zembrik will switch between Map 1 and Map 2 when this note is received."),
              QRect(8, 15, 262, 28));
    switchText->setWordWrap(true);
    editChangeNote = named(new QLineEdit(grpMapChange), "editChangeNote");
    editChangeNote->setGeometry(276, 17, 38, 22);
    editChangeNote->setMaxLength(3);
    editChangeNote->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), editChangeNote));
    editChangeNote->setToolTip(QStringLiteral("Enter value of MIDI note here (0-127)"));
    editChangeNote->setAccessibleName(QStringLiteral("Switch note"));
    connect(editChangeNote, &QLineEdit::textChanged, this, &TMapPage::editChangeNoteChange);
    btnSetSwitchNote = button(grpMapChange, QStringLiteral("Set"), QRect(320, 16, 64, 24), "btnSetSwitchNote",
                              QStringLiteral("Click to set the note used to swap maps"));
    btnSetSwitchNote->setEnabled(false);
    connect(btnSetSwitchNote, &QPushButton::clicked, this, &TMapPage::btnSetSwitchNoteClick);
    btnClearSwap = button(grpMapChange, QStringLiteral("Clear"), QRect(390, 16, 64, 24), "btnClearSwap",
                          QStringLiteral("Click to clear note (disables map swapping)"));
    connect(btnClearSwap, &QPushButton::clicked, this, &TMapPage::btnClearSwapClick);
    grpMapChange->hide();
}

// The window connects the transfer and file buttons to its handlers.
void TMapPage::buildTransferButtons()
{
    auto *grpGetMap = named(new QGroupBox(QStringLiteral("Get Map"), this), "grpGetMap");
    grpGetMap->setGeometry(682, 2, 186, 80);
    btnUpload = button(grpGetMap, QStringLiteral("Get Map from MIDI Zembrik"), QRect(6, 19, 174, 25), "btnUpload",
                       QStringLiteral("Get note map settings from the MIDI Zembrik."));
    btnRecall = button(grpGetMap, QStringLiteral("Get Map from File..."), QRect(6, 48, 174, 25), "btnRecall",
                       QStringLiteral("Recall note mappings from a file."));
    auto *grpStoreMap = named(new QGroupBox(QStringLiteral("Store Map"), this), "grpStoreMap");
    grpStoreMap->setGeometry(682, 86, 186, 80);
    btnSave = button(grpStoreMap, QStringLiteral("Store Map in File..."), QRect(6, 19, 174, 25), "btnSave",
                     QStringLiteral("Save note mappings to a file."));
    btnDownload = button(grpStoreMap, QStringLiteral("Store Map on MIDI Zembrik"), QRect(6, 48, 174, 25), "btnDownload",
                         QStringLiteral("Store note mappings on MIDI Zembrik."));
    btnUpload->setEnabled(false);
    btnDownload->setEnabled(false);

    imgRBDrums = named(new TImage(QStringLiteral(":/zembrik/drums-rb.svg"), QSize(100, 131), this), "imgRBDrums");
    imgRBDrums->move(725, 180);
    imgRBDrums->setAccessibleName(QStringLiteral("Rock Band drums"));
    imgGHDrums = named(new TImage(QStringLiteral(":/zembrik/drums-gh.svg"), QSize(100, 131), this), "imgGHDrums");
    imgGHDrums->move(725, 180);
    imgGHDrums->setAccessibleName(QStringLiteral("Guitar Hero drums"));
    imgGHDrums->hide();
    lblDrumDiagram = label(this, QStringLiteral("ROCK BAND DRUMS"), QRect(682, 314, 186, 32), "lblDrumDiagram");
    lblDrumDiagram->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblDrumDiagram->setWordWrap(true);
    lblDrumDiagram->setFont(bold(font()));
}

// --- Game-mode view -----------------------------------------------------------------

void TMapPage::SetGameModeView(int mode)
{
    lblDrumDiagram->setText(GameModeNames.value(mode & 0x7F));
    const bool gh = mode == 1;
    lblOut[1]->setText(gh ? QStringLiteral("CYMBAL") : QStringLiteral("PAD"));
    shpOut[4]->SetBrushColor(gh ? kPurple : kOrange);
    shpOut[5]->SetBrushColor(gh ? kOrange : kYellow);
    lblRockBandNote->setVisible(!gh);

    std::array<int, MaxOutputs> left{};
    for (int o = 0; o < MaxOutputs; ++o)
        left[o] = pnlOut[o]->x();
    ArrangeColumns(left, gh ? 1 : 0);
    for (int o = 0; o < MaxOutputs; ++o)
        pnlOut[o]->move(left[o], pnlOut[o]->y());

    const bool rb = mode == 0;
    pnlOut[6]->setVisible(rb);
    pnlOut[7]->setVisible(rb);
    imgRBDrums->setVisible(rb);
    imgGHDrums->setVisible(gh);
}

// --- Editing ------------------------------------------------------------------------
// The editor's engine holds the maps, the cells' values and the status; the
// handlers hand over to it, and its signals are mirrored into the grid.

void TMapPage::SetCell(TNoteCell *cell, int value)
{
    if (!cell)
        return;
    const int tag = Tag(cell);
    editor_.SetCell(tag / 10 - 1, tag % 10, value);
}

void TMapPage::editNote10ValueChanged(TNoteCell *cell)
{
    const int tag = Tag(cell);
    editor_.EnterCell(tag / 10 - 1, tag % 10, CellTextValue(cell->ValueText()));
}

void TMapPage::tabMapsChange(int index)
{
    if (tabsByProgram_ || index < 0)
        return;
    editor_.SelectMap(index);
}

void TMapPage::btnCopyClick()
{
    editor_.CloneMap();
}

void TMapPage::btnClear1Click()
{
    editor_.ClearOutput(Tag(sender()));
}

void TMapPage::editorCellChanged(int output, int slot, int value)
{
    editNote[output][slot]->ShowValueText(value == NoNote ? QString() : QString::number(value));
}

void TMapPage::editorMapShown(int map)
{
    tabsByProgram_ = true;
    tabMaps->setCurrentIndex(map);
    tabsByProgram_ = false;
}

void TMapPage::editorMapSelecting(int map)
{
    btnCopy->setToolTip(map == 0 ? QStringLiteral("Copy data from Map 2 into Map 1.")
                                 : QStringLiteral("Copy data from Map 1 into Map 2"));
    emit MapSelecting(map);
}

void TMapPage::editorDuplicatesChanged(const TCellSet &red)
{
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s) {
            TNoteCell *cell = editNote[o][s];
            QPalette pal = cell->palette();
            pal.setColor(QPalette::Text,
                         red[o * MaxNotesPerOutput + s] ? QColor(Qt::red) : palette().color(QPalette::WindowText));
            cell->setPalette(pal);
        }
}

void TMapPage::editorStatusChanged(quint8 status)
{
    lblMapStatus->setText(MapStatusText(status));
    lblMapStatus->repaint();
}

void TMapPage::editorMapCountChanged(int count)
{
    tabsByProgram_ = true;
    while (tabMaps->count() > count)
        tabMaps->removeTab(tabMaps->count() - 1);
    while (tabMaps->count() < count)
        tabMaps->addTab(QStringLiteral("Tab %1").arg(tabMaps->count() + 1));
    tabsByProgram_ = false;
}

void TMapPage::editorGeometryChanged(int outputs, int notes)
{
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            editNote[o][s]->setVisible(o < outputs && s < notes);
}

// --- Switch note --------------------------------------------------------------------

// Runs inside the editor's SetSwitchNote, whose guard keeps the edit's
// change from enabling "Set" and "Clear".
void TMapPage::editorSwitchNoteChanged(int n)
{
    editChangeNote->setText(n == NoNote ? QString() : QString::number(n));
    btnClearSwap->setEnabled(n != NoNote);
    btnSetSwitchNote->setEnabled(false);
    emit SwitchNoteChanged(n);
}

void TMapPage::btnSetSwitchNoteClick()
{
    const QString t = editChangeNote->text();
    editor_.SetSwitchNote(t.isEmpty() ? 255 : t.toInt());
}

void TMapPage::btnClearSwapClick()
{
    editor_.SetSwitchNote(255);
}

void TMapPage::editChangeNoteChange()
{
    if (editor_.SwitchNoteRunning())
        return;
    btnSetSwitchNote->setEnabled(true);
    btnClearSwap->setEnabled(true);
}

} // namespace zembrik
