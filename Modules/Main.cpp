#include "Modules/Main.h"

#include "Modules/AboutDlg.h"
#include "Modules/GuiLib.h"
#include "maps/MapFile.h"
#include "monitor/DiagnosticsPage.h"
#include "monitor/DrumTestPage.h"
#include "monitor/MidiLog.h"
#include "monitor/MidiLogPage.h"
#include "settings/SettingsPage.h"
#include "shell/Controls.h"
#include "shell/GameModeView.h"
#include "shell/Prompter.h"
#include "shell/SettingsFile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
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

// --- Creation, showing, closing ---------------------------------------------------

TformMain::TformMain(IHidPlatform *platform, IPrompter &prompter, QWidget *parent)
    : QMainWindow(parent), prompter_(prompter), controller_(platform), link_(&controller_), connection_(link_, *this),
      transfer_(link_, connection_)
{
    setObjectName(QStringLiteral("formMain"));
    connect(&transfer_, &TMapTransfer::Status, this, &TformMain::ShowStatus);
    connect(&transfer_, &TMapTransfer::Progress, this, [this](int done, int total) {
        sbarBottom->setText(QStringLiteral("%1 (%2 of %3 entries)").arg(statusText_).arg(done).arg(total));
    });

    BuildLayout();
    connect(&link_, &TDeviceLink::ReportReceived, this, &TformMain::HIDControllerDeviceData);
    connect(logPage, &TMidiLogPage::BoxLogging, this, [this](bool on) {
        TCommandReply r;
        link_.SendCommand(cmd::SetMidiLog(on), r); // the reply is not used
    });
    logPage->DroppedReports = [this] { return link_.CurrentDevice ? link_.CurrentDevice->DroppedReports() : 0; };
    connect(testPage, &TDrumTestPage::MapChosen, this, &TformMain::rgrpMapClick);
    connect(pgMain, &QTabWidget::currentChanged, this, &TformMain::pgMainChange);
    timerDiagnostics = new QTimer(this);
    timerDiagnostics->setObjectName(QStringLiteral("timerDiagnostics"));
    timerDiagnostics->setInterval(200);
    connect(timerDiagnostics, &QTimer::timeout, this, &TformMain::timerDiagnosticsTimer);
    timerDiagnostics->start();
    formAbout_ = new TformAbout(this);
    FormCreate();
}

TformMain::~TformMain()
{
    // A cell losing the focus while the window goes must not reach the
    // editor, which is gone by then.
    for (auto &column : editNote)
        for (TNoteCell *cell : column)
            disconnect(cell, nullptr, this, nullptr);
    // Closed without a save (File > Exit, or never shown): saved now.
    if (!settingsSaved_) {
        try {
            SaveSettings();
        } catch (const std::exception &) {
            // Nothing can be shown any more; the old file stays as it was.
        }
    }
}

void TformMain::FormCreate()
{
    pgMain->setCurrentIndex(0);
    link_.SequenceNumber = 0;
    ViewGameMode_ = 0;
    pageNoteCharts->SetActivePageIndex(0);
    ClearLog();
    ConnectMapEditor();
    SetMapCount(2);
    SetMapGeometry(8, 10);
    ClearMaps(-1);
    SetMapStatus(0);
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
    const TCloseQuestion q = CloseQuestion(Connected(), MapStatus());
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
// The editor's engine holds the maps, the cells' values and the status; the
// handlers hand over to it, and its signals are mirrored into the grid.

void TformMain::ConnectMapEditor()
{
    connect(&editor_, &TMapEditor::cellChanged, this, &TformMain::editorCellChanged);
    connect(&editor_, &TMapEditor::mapShown, this, &TformMain::editorMapShown);
    connect(&editor_, &TMapEditor::mapSelecting, this, &TformMain::editorMapSelecting);
    connect(&editor_, &TMapEditor::duplicatesChanged, this, &TformMain::editorDuplicatesChanged);
    connect(&editor_, &TMapEditor::statusChanged, this, &TformMain::editorStatusChanged);
    connect(&editor_, &TMapEditor::mapCountChanged, this, &TformMain::editorMapCountChanged);
    connect(&editor_, &TMapEditor::geometryChanged, this, &TformMain::editorGeometryChanged);
    connect(&editor_, &TMapEditor::geometryClamped, this, &TformMain::ShowStatus);
    connect(&editor_, &TMapEditor::switchNoteChanged, this, &TformMain::editorSwitchNoteChanged);
    for (auto &column : editNote)
        for (TNoteCell *cell : column)
            connect(cell, &TNoteCell::ValueChanged, this, &TformMain::editNote10ValueChanged);
}

void TformMain::SetCell(TNoteCell *cell, int value)
{
    if (!cell)
        return;
    const int tag = Tag(cell);
    editor_.SetCell(tag / 10 - 1, tag % 10, value);
}

void TformMain::ClearCells()
{
    editor_.ClearCells();
}

void TformMain::ShowMap(int map)
{
    editor_.ShowMap(map);
}

void TformMain::StoreCellsIntoMap(int map)
{
    editor_.StoreCellsIntoMap(map);
}

void TformMain::ClearMaps(int map)
{
    editor_.ClearMaps(map);
}

void TformMain::SetMapCount(int n)
{
    editor_.SetMapCount(n);
}

void TformMain::SetMapGeometry(int outputs, int notes)
{
    editor_.SetMapGeometry(outputs, notes);
}

void TformMain::SelectMap(int map)
{
    editor_.SelectMap(map);
}

void TformMain::SelectMapOnBox(int map)
{
    transfer_.SelectMapOnBox(map);
}

void TformMain::MarkDuplicates(int map)
{
    editor_.MarkDuplicates(map);
}

void TformMain::CompactMap()
{
    editor_.CompactMap();
}

void TformMain::SetMapStatus(quint8 s)
{
    editor_.SetMapStatus(s);
}

void TformMain::editNote10ValueChanged(TNoteCell *cell)
{
    const int tag = Tag(cell);
    editor_.EnterCell(tag / 10 - 1, tag % 10, CellTextValue(cell->ValueText()));
}

void TformMain::tabMapsChange(int index)
{
    if (tabsByProgram_ || index < 0)
        return;
    SelectMap(index);
}

void TformMain::btnCopyClick()
{
    editor_.CloneMap();
}

void TformMain::btnClear1Click()
{
    editor_.ClearOutput(Tag(sender()));
}

void TformMain::editorCellChanged(int output, int slot, int value)
{
    editNote[output][slot]->ShowValueText(value == NoNote ? QString() : QString::number(value));
}

void TformMain::editorMapShown(int map)
{
    tabsByProgram_ = true;
    tabMaps->setCurrentIndex(map);
    tabsByProgram_ = false;
}

void TformMain::editorMapSelecting(int map)
{
    btnCopy->setToolTip(map == 0 ? QStringLiteral("Copy data from Map 2 into Map 1.")
                                 : QStringLiteral("Copy data from Map 1 into Map 2"));
    SelectMapOnBox(map);
}

void TformMain::editorDuplicatesChanged(const TCellSet &red)
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

void TformMain::editorStatusChanged(quint8 status)
{
    lblMapStatus->setText(MapStatusText(status));
    lblMapStatus->repaint();
}

void TformMain::editorMapCountChanged(int count)
{
    tabsByProgram_ = true;
    while (tabMaps->count() > count)
        tabMaps->removeTab(tabMaps->count() - 1);
    while (tabMaps->count() < count)
        tabMaps->addTab(QStringLiteral("Tab %1").arg(tabMaps->count() + 1));
    tabsByProgram_ = false;
}

void TformMain::editorGeometryChanged(int outputs, int notes)
{
    for (int o = 0; o < MaxOutputs; ++o)
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            editNote[o][s]->setVisible(o < outputs && s < notes);
}

// --- Switch note --------------------------------------------------------------------

void TformMain::SetSwitchNote(int n)
{
    editor_.SetSwitchNote(n);
}

// Runs inside the editor's SetSwitchNote, whose guard keeps the edit's
// change from enabling "Set" and "Clear".
void TformMain::editorSwitchNoteChanged(int n)
{
    editChangeNote->setText(n == NoNote ? QString() : QString::number(n));
    btnClearSwap->setEnabled(n != NoNote);
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
    if (editor_.SwitchNoteRunning())
        return;
    btnSetSwitchNote->setEnabled(true);
    btnClearSwap->setEnabled(true);
}

// --- Pages filled by their own parts ---------------------------------------------------

void TformMain::ReadDeviceSettings()
{
    pageSettings->ReadDeviceSettings();
}

// --- Live monitoring: the log, the drum test and the diagnostics ---------------------

void TformMain::HIDControllerDeviceData(const TJvHidReport &report)
{
    const qint64 readAtMs = report.ReadAtNs / 1000000;
    QWidget *page = pgMain->currentWidget();
    if (page == tabLog && logPage->LoggingEnabled())
        logPage->ProcessReport(link_.LastReport.data(), readAtMs);
    else if (page == tabTest)
        testPage->ProcessReport(link_.LastReport.data(), ViewGameMode_);
}

void TformMain::ClearLog()
{
    logPage->Log()->ClearLog();
}

void TformMain::pgMainChange(int)
{
    QWidget *page = pgMain->currentWidget();
    if (shownPage_ == tabLog && page != tabLog)
        tabLogHide();
    shownPage_ = page;
    if (page == tabLog)
        tabLogShow();
    else if (page == tabTest)
        tabTestShow();
    else if (page == tabDiagnostics)
        tabDiagnosticsShow();
}

void TformMain::tabLogShow()
{
    logPage->tabLogShow(FirmwareSupports(ffMidiLog));
}

void TformMain::tabLogHide()
{
    logPage->tabLogHide();
}

void TformMain::tabTestShow()
{
    testPage->tabTestShow(FirmwareSupports(ffMultiMap), CurrentMap());
}

void TformMain::tabDiagnosticsShow()
{
    diagPage->tabDiagnosticsShow(FirmwareSupports(ffDiagnostics));
}

void TformMain::rgrpMapClick(int index)
{
    SelectMap(index);
}

void TformMain::timerDiagnosticsTimer()
{
    if (pgMain->currentWidget() != tabDiagnostics || !Connected() || !FirmwareSupports(ffDiagnostics) ||
        !link_.ReportArrived)
        return;
    diagPage->ShowReport(DecodeDiagnostics(link_.LastReport.data(), connection_.Model(), connection_.Console()));
    link_.ReportArrived = false;
}

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
    if ((MapStatus() & msModified) && !prompter_.Confirm(kRecallQuestion, IPrompter::Buttons::YesNo))
        return;
    // A device change while the transfer waits for the box would change the
    // maps and the geometry under it: it is handled once this has ended.
    connection_.HoldDeviceChanges(true);
    auto release = qScopeGuard([this] { connection_.HoldDeviceChanges(false); });
    SetMapStatus(MapStatus() | msUpdating);
    beginTransfer();
    try {
        transfer_.ReadMaps(editor_.NoteMaps, editor_.MapCount(), editor_.OutputCount(), editor_.NotesPerOutput());
    } catch (...) {
        // The grid shows what was read; later edits are recorded again.
        ShowMap(CurrentMap());
        endTransfer();
        SetMapStatus(MapStatus() & ~msUpdating);
        throw;
    }
    endTransfer();
    SelectMap(CurrentMap());
    MarkDuplicates(CurrentMap());
    SetMapStatus(msRecalledFromBox);
    setWindowTitle(kApplicationTitle);
}

void TformMain::btnDownloadClick()
{
    if (!Connected() || transfer_.Running())
        return;
    // A device change while the transfer waits for the box would change the
    // maps and the geometry under it: it is handled once this has ended.
    connection_.HoldDeviceChanges(true);
    auto release = qScopeGuard([this] { connection_.HoldDeviceChanges(false); });
    CompactMap();
    StoreCellsIntoMap(CurrentMap());
    {
        beginTransfer();
        auto done = qScopeGuard([this] { endTransfer(); });
        transfer_.WriteMaps(editor_.NoteMaps, editor_.MapCount(), editor_.OutputCount(), editor_.NotesPerOutput());
    }
    SelectMap(CurrentMap());
    SetMapStatus((MapStatus() & ~(msModified | msRecalledFromBox)) | msSavedToBox);
}

// --- Map files ------------------------------------------------------------------------

void TformMain::btnSaveClick()
{
    if (transfer_.Running())
        return;
    const QString name = prompter_.SaveFileName(kSaveFilter, kMapSuffix);
    if (name.isEmpty())
        return;
    CompactMap();
    StoreCellsIntoMap(CurrentMap());
    const TMapFileResult result = SaveMapFile(name, editor_.NoteMaps, Layout());
    if (!result.ok) {
        // The previous file is untouched, and the map is not marked saved.
        ShowStatus(QStringLiteral("The map was not saved."));
        prompter_.Error(QStringLiteral("The map could not be saved in %1:\n%2\n\nAn existing file of that name is "
                                       "unchanged.")
                            .arg(name, result.error));
        return;
    }
    setWindowTitle(kApplicationTitle + QStringLiteral(" - ") + name);
    SetMapStatus((MapStatus() & ~(msModified | msRecalledFromFile)) | msSavedInFile);
}

void TformMain::btnRecallClick()
{
    if (transfer_.Running())
        return;
    if ((MapStatus() & msModified) && !prompter_.Confirm(kRecallQuestion, IPrompter::Buttons::YesNo))
        return;
    const QString name = prompter_.OpenFileName(kOpenFilter, kMapSuffix);
    if (name.isEmpty())
        return;
    SetMapStatus(MapStatus() | msUpdating);
    const TMapFileResult result = LoadMapFile(name, editor_.NoteMaps, Layout());
    setWindowTitle(kApplicationTitle + QStringLiteral(" - ") + name);
    ShowMap(CurrentMap());
    MarkDuplicates(CurrentMap());
    SetMapStatus(msRecalledFromFile);
    if (!result.recovery.isEmpty())
        prompter_.Information(result.recovery);
}

} // namespace zembrik
