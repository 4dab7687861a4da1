// The main window: information panel, the five pages, menus and status bar,
// and the window's side of the connection (it is the view TConnection
// drives).  Each page is a class of its own folder that owns its widgets
// and logic; the window creates them, forwards to them, and does what
// needs the box or the files: the map transfers and the map files.
//
// The handlers keep their designer names and stay short: each reads the
// widgets, calls the logic in the device and maps libraries, and shows the
// result.  The widgets are public members, as on a designed form, so that
// tests reach them by name as the user would.  UI thread only.
#pragma once

#include "Modules/AppInfo.h"
#include "device/Connection.h"
#include "device/DeviceLink.h"
#include "device/JvHid.h"
#include "maps/MapBackups.h"
#include "maps/MapEditor.h"
#include "maps/MapFile.h"
#include "maps/MapTransfer.h"
#include "maps/NoteMaps.h"
#include "monitor/MidiLearn.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;

namespace zembrik {

class IHidPlatform;
class IPrompter;
class TformAbout;
class TImage;
class TMapPage;
class TChartPanel;
class TSettingsPage;
class TMidiLogPage;
class TDrumTestPage;
class TDiagnosticsPage;
class TformEditNoteChart;
class TWindowSettings;
class TMapUndo;
class TBackupMenu;
class TLearnControl;

class TformMain : public QMainWindow, public IConnectionView {
    Q_OBJECT
public:
    TformMain(IHidPlatform *platform, IPrompter &prompter, QWidget *parent = nullptr);
    ~TformMain() override;

    // --- IConnectionView ---------------------------------------------------
    void ShowModel(int m) override;
    void SetConsole(int c) override;
    void AppendConsoleText(const QString &text) override;
    void ShowStatus(const QString &text) override;
    void ShowFirmware(const QString &text) override;
    void ShowGameMode(const QString &text) override;
    void ShowConnectionState(bool connected) override;
    void ShowAccessError(const QString &error) override;
    void WarnRemoval() override;
    void SetGameModeView(int mode) override;
    int ViewGameMode() const override { return ViewGameMode_; }
    void SetViewMenuVisible(bool visible) override;
    void SetSwitchGroupVisible(bool visible) override;
    void SetCloneVisible(bool visible) override;
    void SetMapCount(int n) override;
    void SelectMap(int map) override;
    int CurrentMap() const override { return editor_.CurrentMap(); }
    void SetMapGeometry(int outputs, int notes) override;
    void SetSwitchNote(int n) override;
    bool UnsavedMapAtRisk() const override { return RemovalWarningDue(MapStatus()); }
    void BoxGreeted() override { SetMapStatus(MapStatus() & ~msSavedToBox); }
    quint8 MapStatus() const { return editor_.MapStatus(); }
    void SetMapStatus(quint8 s);
    void ReadDeviceSettings() override;

    // --- The note map editor -------------------------------------------------
    // The editor's engine; the map page's grid mirrors it.
    TMapEditor &Editor() { return editor_; }
    const TMapEditor &Editor() const { return editor_; }
    void SelectMapOnBox(int map);
    void ClearLog();

    bool Connected() const { return connection_.Connected(); }
    bool FirmwareSupports(int feature) const { return connection_.Supports(feature); }
    int DeviceGameMode() const { return link_.DeviceGameMode; }
    const TConnection &Connection() const { return connection_; }
    TDeviceLink &Link() { return link_; }
    TJvHidDeviceController &HIDController() { return controller_; }
    TformAbout *About() const { return formAbout_; }
    bool TransferRunning() const { return transfer_.Running(); }
    QString StatusText() const;
    // The geometry and shown map, as map files use them.
    TMapLayout Layout() const { return editor_.Layout(); }

    // --- Controls ------------------------------------------------------------
    QGroupBox *grpInfo = nullptr;
    TImage *imgModelBase = nullptr;
    TImage *imgModelSecond = nullptr;
    QLabel *lblConnected = nullptr;
    QLabel *lblFirmware = nullptr;
    QLabel *lblGameMode = nullptr;
    QLabel *lblConsole = nullptr;
    QLabel *lblHelp = nullptr;
    TImage *imgLogo = nullptr;

    QTabWidget *pgMain = nullptr;
    QWidget *tabMap = nullptr;
    QWidget *tabSettings = nullptr;
    QWidget *tabDiagnostics = nullptr;
    QWidget *tabLog = nullptr;
    QWidget *tabTest = nullptr;

    TMapPage *mapPage = nullptr;   // on tabMap: the grid, the switch note, the map buttons
    TChartPanel *charts = nullptr; // on the map page, beside the grid
    TformEditNoteChart *formEditNoteChart = nullptr;
    // --- The settings file -----------------------------------------------------
    void RestoreSettings();
    void SaveSettings();
    void fstoreSettingsAfterRestorePlacement();

    TSettingsPage *pageSettings = nullptr; // on tabSettings
    QWidget *pnlVelocity = nullptr;        // the page's velocity panel
    QWidget *pnlDiagBox = nullptr;
    QWidget *ledHome = nullptr;
    QLabel *lblHome = nullptr;

    QFrame *pnlDrumsRB = nullptr;
    QFrame *pnlDrumsGH = nullptr;
    QWidget *imgWaterfall = nullptr;
    TImage *imgLanesRB = nullptr;
    TImage *imgLanesGH = nullptr;
    QCheckBox *chkEnableWaterfall = nullptr;
    QGroupBox *rgrpMap = nullptr;
    QPushButton *btnResetHits = nullptr;
    QLabel *lblGameModeWarn = nullptr;

    // The monitoring pages, on tabLog, tabTest and tabDiagnostics.
    TMidiLogPage *logPage = nullptr;
    TDrumTestPage *testPage = nullptr;
    TDiagnosticsPage *diagPage = nullptr;
    QTimer *timerDiagnostics = nullptr;

    QLabel *sbarBottom = nullptr;
    QAction *Recall1 = nullptr;
    QAction *Save1 = nullptr;
    QAction *Exit1 = nullptr;
    QMenu *menuView1 = nullptr;
    QAction *miRockBand1 = nullptr;
    QAction *miGuitarHero1 = nullptr;
    QAction *About1 = nullptr;
    // Beyond the designed form: undo of map edits, backups of the maps, and
    // MIDI learn on the map page.
    TMapUndo *mapUndo = nullptr;
    TBackupMenu *backupMenu = nullptr;
    TLearnControl *learnControl = nullptr;

public slots:
    void Exit1Click();
    void About1Click();
    void imgLogoClick();
    void miRockBand1Click();
    void btnGetMapClick();
    void btnDownloadClick();
    void btnSaveClick();
    void btnRecallClick();
    void RecallBackup(const QString &path);
    void pgMainChange(int index);
    void tabLogShow();
    void tabLogHide();
    void tabTestShow();
    void tabDiagnosticsShow();
    void rgrpMapClick(int index);
    void timerDiagnosticsTimer();
    // Routes the report in LastReport by the page shown.
    void HIDControllerDeviceData(const zembrik::TJvHidReport &report);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void BuildLayout();
    void BuildInfoStrip(QWidget *client);
    void BuildMapPage(); // and the chart panel on it
    void BuildMonitorPages();
    void BuildMenus();
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void setTransferActionsEnabled(bool enabled);
    void beginTransfer();
    void endTransfer();
    bool mayOverwriteChanges();
    void RecallMapFile(const QString &name);
    void keepBackup(TBackupDirection direction);

    IPrompter &prompter_;
    TJvHidDeviceController controller_;
    TDeviceLink link_;
    TConnection connection_;
    TMapTransfer transfer_;
    TMapEditor editor_;
    TMidiLearn learn_;
    TformAbout *formAbout_ = nullptr;
    QActionGroup *gameModeGroup_ = nullptr;

    int ViewGameMode_ = 0;
    bool shown_ = false;
    QWidget *shownPage_ = nullptr;
    bool exitNow_ = false;
    QString lastAccessError_;
    QString statusText_;
    std::unique_ptr<TWindowSettings> apstoreMainXML_;
    bool settingsSaved_ = false;
};

} // namespace zembrik
