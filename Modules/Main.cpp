#include "Modules/Main.h"

#include "Modules/AboutDlg.h"
#include "Modules/GuiLib.h"
#include "maps/MapFile.h"
#include "shell/Controls.h"
#include "shell/GameModeView.h"
#include "shell/Prompter.h"
#include "shell/SettingsFile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopeGuard>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

namespace zembrik {

namespace {
QString colourStyle(const QColor &c, bool bold)
{
    return QStringLiteral("color: %1;%2").arg(c.name(), bold ? QStringLiteral(" font-weight: bold;") : QString());
}
const QColor kConnectedGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kSilver(192, 192, 192);
const QColor kOrange(255, 128, 0);
const QColor kYellow(255, 255, 0);
const QColor kPurple(128, 0, 128);

const QString kRemovedText = QStringLiteral("MIDI Zembrik removed without saving map!");
} // namespace

// --- TNoteCell ----------------------------------------------------------------

TNoteCell::TNoteCell(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(3);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this));
    setAlignment(Qt::AlignCenter);
}

void TNoteCell::SetValueText(const QString &text)
{
    if (QLineEdit::text() != text)
        setText(text);
    if (value_ == text)
        return;
    value_ = text;
    emit ValueChanged(this);
}

void TNoteCell::commit()
{
    SetValueText(text());
}

void TNoteCell::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    commit();
}

void TNoteCell::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        setText(value_);
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
    if (e->matches(QKeySequence::Paste))
        commit();
}

void TNoteCell::mouseReleaseEvent(QMouseEvent *e)
{
    QLineEdit::mouseReleaseEvent(e);
    if (e->button() == Qt::MiddleButton) // selection paste
        commit();
}

// --- Creation, showing, closing ---------------------------------------------------

TformMain::TformMain(IHidPlatform *platform, IPrompter &prompter, QWidget *parent)
    : QMainWindow(parent), prompter_(prompter), controller_(platform), link_(&controller_), connection_(link_, *this),
      transfer_(link_)
{
    setObjectName(QStringLiteral("formMain"));
    controller_.OnEnumerate = [this](TJvHidDevice *d, int i) { return link_.HIDControllerEnumerate(d, i); };
    controller_.OnDeviceData = [this](TJvHidDevice *d, quint8 id, const quint8 *data, quint16 size) {
        link_.HIDControllerDeviceData(d, id, data, size);
    };
    controller_.OnArrival = [this](TJvHidDevice *) { deviceEvent(false); };
    controller_.OnRemoval = [this](TJvHidDevice *) { deviceEvent(true); };
    transfer_.ShowStatus = [this](const QString &t) { ShowStatus(t); };
    transfer_.SelectMapOnBox = [this](int m) { SelectMapOnBox(m); };
    transfer_.Progress = [this](int done, int total) {
        sbarBottom->setText(QStringLiteral("%1 (%2 of %3 entries)").arg(statusText_).arg(done).arg(total));
    };

    BuildLayout();
    formAbout_ = new TformAbout(this);
    FormCreate();
}

TformMain::~TformMain()
{
    // Closed without a save (File > Exit, or never shown): saved now.
    if (!settingsSaved_) {
        try {
            SaveSettings();
        } catch (const std::exception &) {
            // Nothing can be shown any more; the old file stays as it was.
        }
    }
}

// A device change while a transfer waits for the box (or while a deferred
// greeting runs) would change the maps and the geometry under it: it is
// held back and handled as soon as that has ended.
void TformMain::deviceEvent(bool removal)
{
    if (transfer_.Running() || connecting_) {
        pendingEvent_ = true;
        pendingRemoval_ = pendingRemoval_ || removal;
        return;
    }
    connecting_ = true;
    auto done = qScopeGuard([this] {
        connecting_ = false;
        runPendingDeviceEvent();
    });
    if (removal)
        connection_.HIDControllerRemoval();
    else
        connection_.HIDControllerArrival();
}

void TformMain::runPendingDeviceEvent()
{
    if (!pendingEvent_)
        return;
    QTimer::singleShot(0, this, [this] {
        if (!pendingEvent_ || transfer_.Running() || connecting_)
            return;
        const bool removal = pendingRemoval_;
        pendingEvent_ = pendingRemoval_ = false;
        deviceEvent(removal);
    });
}

void TformMain::FormCreate()
{
    pgMain->setCurrentIndex(0);
    link_.SequenceNumber = 0;
    CurrentMap_ = 0;
    ViewGameMode_ = 0;
    pageNoteCharts->SetActivePageIndex(0);
    ClearLog();
    SetMapCount(2);
    SetMapGeometry(8, 10);
    ClearMaps(-1);
    SetMapStatus(0);
    for (auto &column : editNote)
        for (TNoteCell *cell : column)
            connect(cell, &TNoteCell::ValueChanged, this, &TformMain::editNote10ValueChanged);
    apstoreMainXML_ = std::make_unique<TSettingsFile>();
    FormCreateCharts();
}

void TformMain::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        RestoreSettings();
        FormShow();
    }
}

void TformMain::FormShow()
{
    ShowModel(Tag(grpInfo));
}

void TformMain::closeEvent(QCloseEvent *e)
{
    if (exitNow_) {
        e->accept();
        return;
    }
    if (transfer_.Running()) {
        // The transfer is using the window; it ends within a few seconds.
        prompter_.Information(QStringLiteral("A map transfer is running. Please wait until it is complete."));
        e->ignore();
        return;
    }
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FormClose();
    SaveSettings();
    e->accept();
}

bool TformMain::FormCloseQuery()
{
    const TCloseQuestion q = CloseQuestion(Connected(), MapStatus_);
    if (q == TCloseQuestion::None)
        return true;
    return prompter_.Confirm(CloseQuestionText(q), IPrompter::Buttons::YesCancel);
}

void TformMain::FormClose()
{
    connection_.EndSession();
}

void TformMain::Exit1Click()
{
    // Ends at once: no close question, and nothing is sent to the box.
    // The application ends with its last window.
    exitNow_ = true;
    close();
}

void TformMain::About1Click()
{
    formAbout_->exec();
}

void TformMain::imgLogoClick()
{
    QDesktopServices::openUrl(QUrl(imgLogo->toolTip()));
}

// --- Information panel and status bar ---------------------------------------------

void TformMain::ShowModel(int m)
{
    imgModelBase->setVisible(m == 0);
    imgModelSecond->setVisible(m == 1);
    pnlVelocity->setVisible(m == 1);
    pnlDiagBox->setVisible(m == 0);
    ledHome->setVisible(m == 0);
    lblHome->setVisible(m == 0);
    SetTag(grpInfo, m);
}

void TformMain::SetConsole(int c)
{
    lblConsole->setText(ConsoleNames.value(c));
    lblConsole->repaint();
}

void TformMain::AppendConsoleText(const QString &text)
{
    lblConsole->setText(lblConsole->text() + text);
    lblConsole->repaint();
}

void TformMain::ShowStatus(const QString &text)
{
    statusText_ = text;
    sbarBottom->setText(text);
}

QString TformMain::StatusText() const
{
    return statusText_;
}

void TformMain::ShowFirmware(const QString &text)
{
    lblFirmware->setText(text);
}

void TformMain::ShowGameMode(const QString &text)
{
    lblGameMode->setText(text);
}

void TformMain::ShowConnectionState(bool connected)
{
    lblConnected->setText(connected ? QStringLiteral(" CONNECTED") : QStringLiteral(" NOT CONNECTED"));
    lblConnected->setStyleSheet(colourStyle(connected ? kConnectedGreen : kRed, true));
    lblHelp->setStyleSheet(colourStyle(connected ? kSilver : kRed, false));
    btnUpload->setEnabled(connected && !transfer_.Running());
    btnDownload->setEnabled(connected && !transfer_.Running());
    if (connected)
        lastAccessError_.clear();
}

void TformMain::ShowAccessError(const QString &error)
{
    ShowStatus(QStringLiteral("MIDI Zembrik cannot be opened (%1). Install the udev rule; see the README.").arg(error));
    // Once per cause, not on every device change.
    if (error == lastAccessError_)
        return;
    lastAccessError_ = error;
    prompter_.Error(
        QStringLiteral("A MIDI Zembrik is plugged in, but it cannot be opened:\n%1\n\n"
                       "Your user needs access to the box's device node. Install the udev rule 70-midizembrik.rules "
                       "that comes with the program (shell/ in the source, lib/udev/rules.d when installed) and "
                       "plug the box in again:\n\n"
                       "  sudo cp 70-midizembrik.rules /etc/udev/rules.d/\n"
                       "  sudo udevadm control --reload-rules\n"
                       "  sudo udevadm trigger")
            .arg(error));
}

void TformMain::WarnRemoval()
{
    prompter_.Information(kRemovedText);
}

void TformMain::SetViewMenuVisible(bool visible)
{
    menuView1->menuAction()->setVisible(visible);
}

void TformMain::SetSwitchGroupVisible(bool visible)
{
    grpMapChange->setVisible(visible);
}

void TformMain::SetCloneVisible(bool visible)
{
    btnCopy->setVisible(visible);
}

// --- Game-mode view -----------------------------------------------------------------

void TformMain::miRockBand1Click()
{
    SetGameModeView(miGuitarHero1->isChecked() ? 1 : 0);
}

void TformMain::SetGameModeView(int mode)
{
    ViewGameMode_ = mode;
    lblDrumDiagram->setText(GameModeNames.value(mode & 0x7F));

    TCommandReply r;
    if (link_.SendCommand(cmd::SetGameMode(static_cast<quint8>(mode)), r)) {
        lblGameMode->setText(GameModeNames.value(ViewGameMode_));
        link_.DeviceGameMode = mode;
    }
    lblGameModeWarn->setVisible(ViewGameMode_ != link_.DeviceGameMode);

    const bool gh = ViewGameMode_ == 1;
    lblOut[1]->setText(gh ? QStringLiteral("CYMBAL") : QStringLiteral("PAD"));
    shpOut[4]->SetBrushColor(gh ? kPurple : kOrange);
    shpOut[5]->SetBrushColor(gh ? kOrange : kYellow);
    (gh ? miGuitarHero1 : miRockBand1)->setChecked(true);
    lblRockBandNote->setVisible(!gh);

    std::array<int, MaxOutputs> left{};
    for (int o = 0; o < MaxOutputs; ++o)
        left[o] = pnlOut[o]->x();
    ArrangeColumns(left, gh ? 1 : 0);
    for (int o = 0; o < MaxOutputs; ++o)
        pnlOut[o]->move(left[o], pnlOut[o]->y());

    const bool rb = ViewGameMode_ == 0;
    pnlOut[6]->setVisible(rb);
    pnlOut[7]->setVisible(rb);
    imgRBDrums->setVisible(rb);
    imgGHDrums->setVisible(gh);
    pnlDrumsRB->setVisible(rb);
    pnlDrumsGH->setVisible(gh);
    imgLanesRB->setVisible(rb);
    imgLanesGH->setVisible(gh);
}

// --- Note map editor ----------------------------------------------------------------

TNoteCell *TformMain::GetCell(int output, int slot) const
{
    if (output < 0 || output >= MaxOutputs || slot < 0 || slot >= MaxNotesPerOutput)
        return nullptr;
    QWidget *column = FindControlByTag(grpMapSheet_, output);
    return FindControlByTag<TNoteCell>(column, (output + 1) * 10 + slot);
}

void TformMain::SetCell(TNoteCell *cell, int value)
{
    if (cell)
        cell->SetValueText(value == NoNote ? QString() : QString::number(value));
}

void TformMain::ClearCells()
{
    for (auto &column : editNote)
        for (TNoteCell *cell : column)
            SetCell(cell, NoNote);
}

void TformMain::ShowMap(int map)
{
    ClearCells();
    tabsByProgram_ = true;
    tabMaps->setCurrentIndex(map);
    tabsByProgram_ = false;
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            SetCell(editNote[o][s], NoteMaps.At(map, o, s));
}

void TformMain::StoreCellsIntoMap(int map)
{
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            NoteMaps.Set(map, o, s, CellTextValue(editNote[o][s]->ValueText()));
}

void TformMain::ClearMaps(int map)
{
    NoteMaps.Clear(map);
    ShowMap(CurrentMap_);
}

void TformMain::SetMapCount(int n)
{
    const TMapGeometry g = ClampGeometry(n, OutputCount, NotesPerOutput);
    if (g.maps != n)
        ShowStatus(QStringLiteral("The MIDI Zembrik reports %1 maps; this program handles %2.").arg(n).arg(g.maps));
    MapCount = g.maps;
    tabsByProgram_ = true;
    while (tabMaps->count() > MapCount)
        tabMaps->removeTab(tabMaps->count() - 1);
    while (tabMaps->count() < MapCount)
        tabMaps->addTab(QStringLiteral("Tab %1").arg(tabMaps->count() + 1));
    tabsByProgram_ = false;
}

void TformMain::SetMapGeometry(int outputs, int notes)
{
    const TMapGeometry g = ClampGeometry(MapCount, outputs, notes);
    if (g.clamped)
        ShowStatus(
            QStringLiteral("The MIDI Zembrik reports %1 outputs of %2 notes; this program handles up to %3 of %4.")
                .arg(outputs)
                .arg(notes)
                .arg(MaxOutputs)
                .arg(MaxNotesPerOutput));
    OutputCount = g.outputs;
    NotesPerOutput = g.notesPerOutput;
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            editNote[o][s]->setVisible(o < OutputCount && s < NotesPerOutput);
}

void TformMain::SelectMap(int map)
{
    if (map < 0 || map >= MapCount)
        map = 0;
    const quint8 e = MapStatus_;
    SetMapStatus(e | msUpdating);
    if (map != CurrentMap_)
        StoreCellsIntoMap(CurrentMap_);
    ShowMap(map);
    MarkDuplicates(map);
    btnCopy->setToolTip(map == 0 ? QStringLiteral("Copy data from Map 2 into Map 1.")
                                 : QStringLiteral("Copy data from Map 1 into Map 2"));
    SelectMapOnBox(map);
    CurrentMap_ = map;
    SetMapStatus(e & ~msUpdating);
}

void TformMain::SelectMapOnBox(int map)
{
    if (!Connected() || !FirmwareSupports(ffMultiMap))
        return;
    TCommandReply r;
    link_.SendCommand(cmd::SelectMap(static_cast<quint8>(map)), r);
}

void TformMain::MarkDuplicates(int map)
{
    const auto dup = DuplicateCells(NoteMaps, map);
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s) {
            TNoteCell *cell = editNote[o][s];
            QPalette pal = cell->palette();
            pal.setColor(QPalette::Text,
                         dup[o * MaxNotesPerOutput + s] ? QColor(Qt::red) : palette().color(QPalette::WindowText));
            cell->setPalette(pal);
        }
}

void TformMain::CompactMap()
{
    for (int o = 0; o < MaxOutputs; ++o) {
        bool moved = true;
        while (moved) {
            moved = false;
            for (int s = 0; s + 1 < MaxNotesPerOutput; ++s) {
                TNoteCell *here = editNote[o][s];
                TNoteCell *next = editNote[o][s + 1];
                if (here->ValueText().isEmpty() && !next->ValueText().isEmpty()) {
                    here->SetValueText(next->ValueText());
                    next->SetValueText(QString());
                    moved = true;
                }
            }
        }
    }
}

void TformMain::editNote10ValueChanged(TNoteCell *cell)
{
    const int tag = Tag(cell);
    const int o = tag / 10 - 1;
    const int s = tag % 10;
    const QString text = cell->ValueText();
    int v = text.isEmpty() ? NoNote : CellTextValue(text);
    if (v != NoNote && v != ClampCellValue(v)) {
        v = ClampCellValue(v);
        cell->SetValueText(QString::number(v)); // runs this handler again
    }
    if (MapStatus_ & msUpdating)
        return;
    NoteMaps.Set(CurrentMap_, o, s, v);
    MarkDuplicates(CurrentMap_);
    SetMapStatus(msModified);
}

void TformMain::tabMapsChange(int index)
{
    if (tabsByProgram_ || index < 0)
        return;
    SelectMap(index);
}

void TformMain::btnCopyClick()
{
    if (MapCount <= 1)
        return;
    ClearCells();
    const int a = CurrentMap_;
    const int b = (a + 1) % MapCount;
    for (int o = 0; o < OutputCount; ++o)
        for (int s = 0; s < NotesPerOutput; ++s)
            NoteMaps.Set(a, o, s, NoteMaps.At(b, o, s));
    ShowMap(a);
}

void TformMain::btnClear1Click()
{
    const int o = Tag(sender());
    QWidget *column = FindControlByTag(grpMapSheet_, o);
    for (int s = 0; s < MaxNotesPerOutput; ++s)
        SetCell(FindControlByTag<TNoteCell>(column, (o + 1) * 10 + s), NoNote);
}

void TformMain::SetMapStatus(quint8 s)
{
    MapStatus_ = s;
    lblMapStatus->setText(MapStatusText(s));
    lblMapStatus->repaint();
}

// --- Switch note --------------------------------------------------------------------

void TformMain::SetSwitchNote(int n)
{
    if (switchNoteRunning_)
        return;
    switchNoteRunning_ = true;
    auto release = qScopeGuard([this] { switchNoteRunning_ = false; });
    n = ClampSwitchNote(n);
    editChangeNote->setText(n == 255 ? QString() : QString::number(n));
    btnClearSwap->setEnabled(n != 255);
    btnSetSwitchNote->setEnabled(false);
    if (Connected()) {
        TCommandReply r;
        link_.SendCommand(cmd::SetSwitchNote(static_cast<quint8>(n)), r);
    }
}

void TformMain::btnSetSwitchNoteClick()
{
    const QString t = editChangeNote->text();
    SetSwitchNote(t.isEmpty() ? 255 : t.toInt());
}

void TformMain::btnClearSwapClick()
{
    SetSwitchNote(255);
}

void TformMain::editChangeNoteChange()
{
    if (switchNoteRunning_)
        return;
    btnSetSwitchNote->setEnabled(true);
    btnClearSwap->setEnabled(true);
}

// --- Pages filled by their own parts ---------------------------------------------------

void TformMain::ReadDeviceSettings() {}
void TformMain::ClearLog() {}

namespace {
const QString kRecallQuestion = QStringLiteral("Recalling a note map will overwrite the changes you've made.\r\n"
                                               "Are you sure you want to do this?");
// Saved names end in ".MAP"; on Linux names are case-sensitive, so the open
// dialog lists both spellings.
const QString kOpenFilter = QStringLiteral("MIDI Zembrik Map|*.map;*.MAP");
const QString kSaveFilter = QStringLiteral("MIDI Zembrik Map|*.MAP");
const QString kMapSuffix = QStringLiteral(".MAP");
} // namespace

// --- Map transfer -------------------------------------------------------------------------

// What could change the maps or end the window under a running transfer.
void TformMain::setTransferActionsEnabled(bool enabled)
{
    for (QAction *a : {Recall1, Save1, Exit1, miRockBand1, miGuitarHero1})
        a->setEnabled(enabled);
    pgMain->setEnabled(enabled);
}

void TformMain::beginTransfer()
{
    setTransferActionsEnabled(false);
    btnUpload->setEnabled(false);
    btnDownload->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TformMain::endTransfer()
{
    QApplication::restoreOverrideCursor();
    setTransferActionsEnabled(true);
    btnUpload->setEnabled(Connected());
    btnDownload->setEnabled(Connected());
}

void TformMain::btnGetMapClick()
{
    if (!Connected() || transfer_.Running())
        return;
    if ((MapStatus_ & msModified) && !prompter_.Confirm(kRecallQuestion, IPrompter::Buttons::YesNo))
        return;
    // A device change held back during the transfer is handled at the end.
    auto pending = qScopeGuard([this] { runPendingDeviceEvent(); });
    SetMapStatus(MapStatus_ | msUpdating);
    beginTransfer();
    try {
        transfer_.ReadMaps(NoteMaps, MapCount, OutputCount, NotesPerOutput);
    } catch (...) {
        // The grid shows what was read; later edits are recorded again.
        ShowMap(CurrentMap_);
        endTransfer();
        SetMapStatus(MapStatus_ & ~msUpdating);
        throw;
    }
    endTransfer();
    SelectMap(CurrentMap_);
    MarkDuplicates(CurrentMap_);
    SetMapStatus(msRecalledFromBox);
    setWindowTitle(kApplicationTitle);
}

void TformMain::btnDownloadClick()
{
    if (!Connected() || transfer_.Running())
        return;
    auto pending = qScopeGuard([this] { runPendingDeviceEvent(); });
    CompactMap();
    StoreCellsIntoMap(CurrentMap_);
    {
        beginTransfer();
        auto done = qScopeGuard([this] { endTransfer(); });
        transfer_.WriteMaps(NoteMaps, MapCount, OutputCount, NotesPerOutput);
    }
    SelectMap(CurrentMap_);
    SetMapStatus((MapStatus_ & ~(msModified | msRecalledFromBox)) | msSavedToBox);
}

// --- Map files ------------------------------------------------------------------------

TMapLayout TformMain::Layout() const
{
    return {MapCount, OutputCount, NotesPerOutput, CurrentMap_};
}

void TformMain::btnSaveClick()
{
    if (transfer_.Running())
        return;
    const QString name = prompter_.SaveFileName(kSaveFilter, kMapSuffix);
    if (name.isEmpty())
        return;
    CompactMap();
    StoreCellsIntoMap(CurrentMap_);
    const TMapFileResult result = SaveMapFile(name, NoteMaps, Layout());
    if (!result.ok) {
        // The previous file is untouched, and the map is not marked saved.
        ShowStatus(QStringLiteral("The map was not saved."));
        prompter_.Error(QStringLiteral("The map could not be saved in %1:\n%2\n\nAn existing file of that name is "
                                       "unchanged.")
                            .arg(name, result.error));
        return;
    }
    setWindowTitle(kApplicationTitle + QStringLiteral(" - ") + name);
    SetMapStatus((MapStatus_ & ~(msModified | msRecalledFromFile)) | msSavedInFile);
}

void TformMain::btnRecallClick()
{
    if (transfer_.Running())
        return;
    if ((MapStatus_ & msModified) && !prompter_.Confirm(kRecallQuestion, IPrompter::Buttons::YesNo))
        return;
    const QString name = prompter_.OpenFileName(kOpenFilter, kMapSuffix);
    if (name.isEmpty())
        return;
    SetMapStatus(MapStatus_ | msUpdating);
    const TMapFileResult result = LoadMapFile(name, NoteMaps, Layout());
    setWindowTitle(kApplicationTitle + QStringLiteral(" - ") + name);
    ShowMap(CurrentMap_);
    MarkDuplicates(CurrentMap_);
    SetMapStatus(msRecalledFromFile);
    if (!result.recovery.isEmpty())
        prompter_.Information(result.recovery);
}

} // namespace zembrik
