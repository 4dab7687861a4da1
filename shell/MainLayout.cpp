// The main window's frame: the info strip, the page control with its five
// tabs, the menus and the status bar, each control at its designed place
// and size; the pages build their own controls.  Positions are in pixels of
// the parent, as on the designed form; the window does not resize.
#include "Modules/Main.h"

#include "Modules/GuiLib.h"
#include "charts/ChartPanel.h"
#include "maps/BackupMenu.h"
#include "maps/MapPage.h"
#include "maps/MapUndo.h"
#include "monitor/DiagnosticsPage.h"
#include "monitor/DrumTestPage.h"
#include "monitor/MidiLogPage.h"
#include "monitor/RadioGroup.h"
#include "settings/SettingsPage.h"
#include "shell/Controls.h"
#include "shell/WidgetBuild.h"
#include "shell/WindowFonts.h"

#include <QAction>
#include <QActionGroup>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zembrik {

using namespace build;

namespace {
// Puts page on tab, filling it.
QWidget *fill(QWidget *tab, QWidget *page)
{
    auto *box = new QVBoxLayout(tab);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(page);
    return page;
}
} // namespace

void TformMain::BuildLayout()
{
    setWindowTitle(kApplicationTitle);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(WindowFont());

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(876, 91 + 438);
    setCentralWidget(client);

    BuildInfoStrip(client);

    pgMain = named(new QTabWidget(client), "pgMain");
    pgMain->setGeometry(0, 91, 876, 438);
    pgMain->setUsesScrollButtons(false);
    tabMap = named(new QWidget, "tabMap");
    tabSettings = named(new QWidget, "tabSettings");
    tabDiagnostics = named(new QWidget, "tabDiagnostics");
    tabLog = named(new QWidget, "tabLog");
    tabTest = named(new QWidget, "tabTest");
    pgMain->addTab(tabMap, QStringLiteral("MIDI Note Map"));
    pgMain->addTab(tabSettings, QStringLiteral("Settings"));
    pgMain->addTab(tabDiagnostics, QStringLiteral("Diagnostics"));
    pgMain->addTab(tabLog, QStringLiteral("MIDI Logging"));
    pgMain->addTab(tabTest, QStringLiteral("Drum Test"));

    BuildMapPage();
    BuildMonitorPages();

    pageSettings = new TSettingsPage(link_, connection_, tabSettings);
    pnlVelocity = pageSettings->pnlVelocity;
    connect(pageSettings, &TSettingsPage::Status, this, &TformMain::ShowStatus);

    sbarBottom = named(new QLabel, "sbarBottom");
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setFixedHeight(19);
    statusBar()->addWidget(sbarBottom, 1);

    BuildMenus();

    for (QWidget *w : findChildren<QWidget *>())
        w->setToolTipDuration(10000);

    // Fixed border: the client area is 876 x 548 below the menu bar.
    setFixedSize(876, menuBar()->sizeHint().height() + 91 + 438 + 19);
    setWindowIcon([] {
        QIcon icon;
        for (int px : {48, 32, 16})
            icon.addPixmap(RenderPicture(QStringLiteral(":/zembrik/icon.svg"), QSize(px, px)));
        return icon;
    }());
}

void TformMain::BuildInfoStrip(QWidget *client)
{
    grpInfo = named(new QGroupBox(QStringLiteral("Info"), client), "grpInfo");
    // Wide enough for the longest value in the desktop's sans-serif.
    grpInfo->setGeometry(4, 4, 338, 83);
    SetTag(grpInfo, 0);
    imgModelBase =
        named(new TImage(QStringLiteral(":/zembrik/model-base.svg"), QSize(72, 55), grpInfo), "imgModelBase");
    imgModelBase->move(6, 20);
    imgModelBase->setAccessibleName(ModelNames[0]);
    imgModelSecond =
        named(new TImage(QStringLiteral(":/zembrik/model-kq.svg"), QSize(65, 70), grpInfo), "imgModelSecond");
    imgModelSecond->move(10, 11);
    imgModelSecond->setAccessibleName(ModelNames[1]);
    imgModelSecond->hide();

    const QString captions[] = {QStringLiteral("Status:"), QStringLiteral("Firmware Version:"),
                                QStringLiteral("Game Mode:"), QStringLiteral("Console:")};
    QLabel **values[] = {&lblConnected, &lblFirmware, &lblGameMode, &lblConsole};
    const char *names[] = {"lblConnected", "lblFirmware", "lblGameMode", "lblConsole"};
    for (int i = 0; i < 4; ++i) {
        const int y = 17 + 16 * i;
        label(grpInfo, captions[i], QRect(86, y, 100, 15));
        *values[i] = label(grpInfo, QStringLiteral("?.?"), QRect(188, y, 146, 15), names[i]);
        (*values[i])->setFont(bold(font()));
    }
    lblConnected->setText(QStringLiteral(" NOT CONNECTED"));
    lblConnected->setStyleSheet(QStringLiteral("color: #ff0000; font-weight: bold;"));

    lblHelp = label(client,
                    QStringLiteral("Make sure the MIDI Zembrik is attached to<br>"
                                   "a USB port on the PC and that the System<br>"
                                   "Mode Switch on the back of the MIDI Zembrik<br>"
                                   "is in the <B>PS3</B> position (doesn't apply for the KQ)."),
                    QRect(348, 14, 376, 64), "lblHelp");
    lblHelp->setTextFormat(Qt::RichText);
    lblHelp->setAlignment(Qt::AlignCenter);
    lblHelp->setStyleSheet(QStringLiteral("color: #ff0000;"));

    imgLogo = named(new TImage(QStringLiteral(":/zembrik/logo.svg"), QSize(143, 63), client), "imgLogo");
    imgLogo->move(729, 14);
    imgLogo->setCursor(Qt::PointingHandCursor);
    imgLogo->setToolTip(kMakerAddress);
    imgLogo->setAccessibleName(QStringLiteral("MIDI Zembrik web site"));
    connect(imgLogo, &TImage::Clicked, this, &TformMain::imgLogoClick);
}

void TformMain::BuildMapPage()
{
    mapPage = static_cast<TMapPage *>(fill(tabMap, new TMapPage(editor_)));
    charts = new TChartPanel(*mapPage);
    // The keyboard reaches the charts after the switch note, before the
    // map buttons.
    QWidgetList panel;
    for (QWidget *w = charts->nextInFocusChain(); charts->isAncestorOf(w); w = w->nextInFocusChain())
        if (w->focusPolicy() != Qt::NoFocus)
            panel << w;
    QWidget *prev = mapPage->btnClearSwap;
    for (QWidget *w : panel)
        QWidget::setTabOrder(prev, w), prev = w;
    connect(mapPage->btnUpload, &QPushButton::clicked, this, &TformMain::btnGetMapClick);
    connect(mapPage->btnDownload, &QPushButton::clicked, this, &TformMain::btnDownloadClick);
    connect(mapPage->btnSave, &QPushButton::clicked, this, &TformMain::btnSaveClick);
    connect(mapPage->btnRecall, &QPushButton::clicked, this, &TformMain::btnRecallClick);
}

void TformMain::BuildMonitorPages()
{
    logPage = static_cast<TMidiLogPage *>(fill(tabLog, new TMidiLogPage(prompter_)));
    diagPage = static_cast<TDiagnosticsPage *>(fill(tabDiagnostics, new TDiagnosticsPage));
    pnlDiagBox = diagPage->pnlDiagBox;
    ledHome = diagPage->ledHome;
    lblHome = diagPage->lblHome;
    testPage = static_cast<TDrumTestPage *>(fill(tabTest, new TDrumTestPage));
    pnlDrumsRB = testPage->pnlDrumsRB;
    pnlDrumsGH = testPage->pnlDrumsGH;
    imgWaterfall = testPage->imgWaterfall;
    imgLanesRB = testPage->imgLanesRB;
    imgLanesGH = testPage->imgLanesGH;
    chkEnableWaterfall = testPage->chkEnableWaterfall;
    rgrpMap = testPage->rgrpMap;
    btnResetHits = testPage->btnResetHits;
    lblGameModeWarn = testPage->lblGameModeWarn;
}

void TformMain::BuildMenus()
{
    QMenuBar *MainMenu = menuBar();
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    QMenu *file = MainMenu->addMenu(QStringLiteral("File"));
    Recall1 = named(file->addAction(QStringLiteral("Recall..")), "Recall1");
    Save1 = named(file->addAction(QStringLiteral("Save..")), "Save1");
    file->addSeparator();
    backupMenu = new TBackupMenu(file, this);
    file->addSeparator();
    Exit1 = named(file->addAction(QStringLiteral("E&xit")), "Exit1");
    connect(Recall1, &QAction::triggered, this, &TformMain::btnRecallClick);
    connect(Save1, &QAction::triggered, this, &TformMain::btnSaveClick);
    connect(Exit1, &QAction::triggered, this, &TformMain::Exit1Click);

    QMenu *edit = named(MainMenu->addMenu(QStringLiteral("Edit")), "menuEdit1");
    mapUndo = new TMapUndo(editor_, this);
    edit->addActions({mapUndo->UndoAction, mapUndo->RedoAction});

    menuView1 = named(MainMenu->addMenu(QStringLiteral("View")), "menuView1");
    QMenu *gameMode = menuView1->addMenu(QStringLiteral("Game Mode"));
    gameModeGroup_ = new QActionGroup(this);
    miRockBand1 = named(gameMode->addAction(QStringLiteral("Rock Band")), "miRockBand1");
    miGuitarHero1 = named(gameMode->addAction(QStringLiteral("Guitar Hero")), "miGuitarHero1");
    for (QAction *a : {miRockBand1, miGuitarHero1}) {
        a->setCheckable(true);
        gameModeGroup_->addAction(a);
        connect(a, &QAction::triggered, this, &TformMain::miRockBand1Click);
    }
    miRockBand1->setChecked(true);

    QMenu *help = MainMenu->addMenu(QStringLiteral("Help"));
    About1 = named(help->addAction(QStringLiteral("About")), "About1");
    connect(About1, &QAction::triggered, this, &TformMain::About1Click);
}

} // namespace zembrik
