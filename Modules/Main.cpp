#include "Modules/Main.h"

#include "Modules/AboutDlg.h"
#include "Modules/EditNoteChart.h"
#include "Modules/GuiLib.h"
#include "charts/ChartPanel.h"
#include "charts/ChartWidgets.h"
#include "maps/BackupMenu.h"
#include "maps/LearnControl.h"
#include "maps/MapFile.h"
#include "maps/MapPage.h"
#include "maps/MapUndo.h"
#include "monitor/DiagnosticsPage.h"
#include "monitor/DrumTestPage.h"
#include "monitor/MidiLearn.h"
#include "monitor/MidiLog.h"
#include "monitor/MidiLogPage.h"
#include "settings/SettingsPage.h"
#include "shell/Controls.h"
#include "shell/Prompter.h"
#include "shell/WindowSettings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
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

const QString kRemovedText = QStringLiteral("MIDI Zembrik removed without saving map!");
} // namespace

// --- Creation, showing, closing ---------------------------------------------------

TformMain::TformMain(IHidPlatform *platform, IPrompter &prompter, QWidget *parent)
    : QMainWindow(parent), prompter_(prompter), controller_(platform), link_(&controller_), connection_(link_, *this),
      transfer_(link_, connection_), learn_(link_)
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
    mapPage->DisconnectCells();
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
    ClearLog();
    connect(&editor_, &TMapEditor::geometryClamped, this, &TformMain::ShowStatus);
    connect(mapPage, &TMapPage::MapSelecting, this, &TformMain::SelectMapOnBox);
    connect(mapPage, &TMapPage::SwitchNoteChanged, this, [this](int n) {
        TCommandReply r;
        if (Connected())
            link_.SendCommand(cmd::SetSwitchNote(static_cast<quint8>(n)), r);
    });
    learnControl = new TLearnControl(learn_, *mapPage, this);
    connect(learnControl, &TLearnControl::Status, this, &TformMain::ShowStatus);
    connect(backupMenu, &TBackupMenu::RecallRequested, this, &TformMain::RecallBackup);
    SetMapCount(2);
    SetMapGeometry(8, 10);
    editor_.ClearMaps(-1);
    SetMapStatus(0);
    apstoreMainXML_ = std::make_unique<TWindowSettings>(*this);
    SetTaggedText(lblHelp, lblHelp->text());
    formEditNoteChart = new TformEditNoteChart(prompter_, this);
    charts->SetChartEditor(formEditNoteChart);
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
    learnControl->End();
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
    mapPage->btnUpload->setEnabled(connected && !transfer_.Running());
    mapPage->btnDownload->setEnabled(connected && !transfer_.Running());
    // A box greeted again has been told nothing of learning: it ends.
    connected ? learnControl->End() : learnControl->Forget();
    learnControl->SetAvailable(connected && FirmwareSupports(ffMidiLog) && !transfer_.Running());
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
    prompter_.Error(AccessErrorHelp(error));
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
    mapPage->grpMapChange->setVisible(visible);
}

void TformMain::SetCloneVisible(bool visible)
{
    mapPage->btnCopy->setVisible(visible);
}

// --- Game-mode view -----------------------------------------------------------------

void TformMain::miRockBand1Click()
{
    SetGameModeView(miGuitarHero1->isChecked() ? 1 : 0);
}

void TformMain::SetGameModeView(int mode)
{
    ViewGameMode_ = mode;
    mapPage->SetGameModeView(mode);

    TCommandReply r;
    if (link_.SendCommand(cmd::SetGameMode(static_cast<quint8>(mode)), r)) {
        lblGameMode->setText(GameModeNames.value(ViewGameMode_));
        link_.DeviceGameMode = mode;
    }
    lblGameModeWarn->setVisible(ViewGameMode_ != link_.DeviceGameMode);

    const bool gh = ViewGameMode_ == 1, rb = ViewGameMode_ == 0;
    (gh ? miGuitarHero1 : miRockBand1)->setChecked(true);
    pnlDrumsRB->setVisible(rb);
    pnlDrumsGH->setVisible(gh);
    imgLanesRB->setVisible(rb);
    imgLanesGH->setVisible(gh);
}

// --- Note map editor ----------------------------------------------------------------
// The editor's engine holds the maps; the map page mirrors it.

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

void TformMain::SetMapStatus(quint8 s)
{
    editor_.SetMapStatus(s);
}

void TformMain::SetSwitchNote(int n)
{
    editor_.SetSwitchNote(n);
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
    learn_.Feed(link_.LastReport.data()); // nothing unless learning
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
    if (page != tabMap)
        learnControl->End();
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

// Recalling over changes asks first.
bool TformMain::mayOverwriteChanges()
{
    return !(MapStatus() & msModified) || prompter_.Confirm(kRecallQuestion, IPrompter::Buttons::YesNo);
}

// What could change the maps or end the window under a running transfer.
void TformMain::setTransferActionsEnabled(bool enabled)
{
    for (QAction *a : {Recall1, Save1, Exit1, miRockBand1, miGuitarHero1})
        a->setEnabled(enabled);
    backupMenu->RecentMenu->setEnabled(enabled);
    mapUndo->SetEnabled(enabled);
    learnControl->SetAvailable(enabled && Connected() && FirmwareSupports(ffMidiLog));
    pgMain->setEnabled(enabled);
}

void TformMain::beginTransfer()
{
    setTransferActionsEnabled(false);
    mapPage->btnUpload->setEnabled(false);
    mapPage->btnDownload->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TformMain::endTransfer()
{
    QApplication::restoreOverrideCursor();
    setTransferActionsEnabled(true);
    mapPage->btnUpload->setEnabled(Connected());
    mapPage->btnDownload->setEnabled(Connected());
}

void TformMain::btnGetMapClick()
{
    if (!Connected() || transfer_.Running())
        return;
    if (!mayOverwriteChanges())
        return;
    // A device change while the transfer waits for the box would change the
    // maps and the geometry under it: it is handled once this has ended.
    connection_.HoldDeviceChanges(true);
    auto release = qScopeGuard([this] { connection_.HoldDeviceChanges(false); });
    TEditorStep step(editor_, QStringLiteral("Get Map from MIDI Zembrik"));
    SetMapStatus(MapStatus() | msUpdating);
    beginTransfer();
    try {
        transfer_.ReadMaps(editor_.NoteMaps, editor_.MapCount(), editor_.OutputCount(), editor_.NotesPerOutput());
    } catch (...) {
        // The grid shows what was read; later edits are recorded again.
        editor_.ShowMap(CurrentMap());
        endTransfer();
        SetMapStatus(MapStatus() & ~msUpdating);
        throw;
    }
    endTransfer();
    SelectMap(CurrentMap());
    editor_.MarkDuplicates(CurrentMap());
    SetMapStatus(msRecalledFromBox);
    setWindowTitle(kApplicationTitle);
    keepBackup(TBackupDirection::FromBox);
}

void TformMain::btnDownloadClick()
{
    if (!Connected() || transfer_.Running())
        return;
    // A device change while the transfer waits for the box would change the
    // maps and the geometry under it: it is handled once this has ended.
    connection_.HoldDeviceChanges(true);
    auto release = qScopeGuard([this] { connection_.HoldDeviceChanges(false); });
    TEditorStep step(editor_, QStringLiteral("Store Map on MIDI Zembrik"));
    editor_.CompactMap();
    editor_.StoreCellsIntoMap(CurrentMap());
    {
        beginTransfer();
        auto done = qScopeGuard([this] { endTransfer(); });
        transfer_.WriteMaps(editor_.NoteMaps, editor_.MapCount(), editor_.OutputCount(), editor_.NotesPerOutput());
    }
    SelectMap(CurrentMap());
    SetMapStatus((MapStatus() & ~(msModified | msRecalledFromBox)) | msSavedToBox);
    keepBackup(TBackupDirection::ToBox);
}

// A backup that cannot be written is only reported: the transfer went well.
void TformMain::keepBackup(TBackupDirection direction)
{
    if (const QString error = backupMenu->Keep(editor_.NoteMaps, Layout(), direction); !error.isEmpty())
        ShowStatus(error);
}

// --- Map files ------------------------------------------------------------------------

void TformMain::btnSaveClick()
{
    if (transfer_.Running())
        return;
    const QString name = prompter_.SaveFileName(kSaveFilter, kMapSuffix);
    if (name.isEmpty())
        return;
    TEditorStep step(editor_, QStringLiteral("Store Map in File"));
    editor_.CompactMap();
    editor_.StoreCellsIntoMap(CurrentMap());
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
    if (!mayOverwriteChanges())
        return;
    RecallMapFile(prompter_.OpenFileName(kOpenFilter, kMapSuffix));
}

// A backup is recalled as any map file is.
void TformMain::RecallBackup(const QString &path)
{
    if (transfer_.Running())
        return;
    if (!mayOverwriteChanges())
        return;
    RecallMapFile(path);
}

void TformMain::RecallMapFile(const QString &name)
{
    if (name.isEmpty())
        return;
    TEditorStep step(editor_, QStringLiteral("Get Map from File"));
    SetMapStatus(MapStatus() | msUpdating);
    const TMapFileResult result = LoadMapFile(name, editor_.NoteMaps, Layout());
    setWindowTitle(kApplicationTitle + QStringLiteral(" - ") + name);
    editor_.ShowMap(CurrentMap());
    editor_.MarkDuplicates(CurrentMap());
    SetMapStatus(msRecalledFromFile);
    if (!result.recovery.isEmpty())
        prompter_.Information(result.recovery);
}

// --- The settings file ----------------------------------------------------------------

void TformMain::RestoreSettings()
{
    const TRestoredSettings r = apstoreMainXML_->Restore();
    if (r.ChartPage)
        SetTag(charts->pageNoteCharts, *r.ChartPage);
    if (r.CustomChart)
        SetChartItems(charts->chartLists[6], *r.CustomChart);
    if (r.Model)
        SetTag(grpInfo, *r.Model);
    fstoreSettingsAfterRestorePlacement();
    if (const QString message = apstoreMainXML_->RecoveryMessage(); !message.isEmpty())
        QTimer::singleShot(0, this, [this, message] { prompter_.Information(message); });
}

void TformMain::fstoreSettingsAfterRestorePlacement()
{
    charts->pageNoteCharts->SetActivePageIndex(Tag(charts->pageNoteCharts));
    charts->pageNoteChartsChange(Tag(charts->pageNoteCharts));
}

void TformMain::SaveSettings()
{
    settingsSaved_ = true;
    apstoreMainXML_->Save(Tag(charts->pageNoteCharts), ChartItems(charts->chartLists[6]), Tag(grpInfo));
}

} // namespace zembrik
