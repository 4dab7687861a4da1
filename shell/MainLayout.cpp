// The main window's layout: every control at its designed place and size.
// Positions are in pixels of the parent, as on the designed form; the
// window does not resize.
#include "Modules/Main.h"

#include "Modules/GuiLib.h"
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
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

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
    imgModelSecond =
        named(new TImage(QStringLiteral(":/zembrik/model-kq.svg"), QSize(65, 70), grpInfo), "imgModelSecond");
    imgModelSecond->move(10, 11);
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
    connect(imgLogo, &TImage::Clicked, this, &TformMain::imgLogoClick);
}

void TformMain::BuildMapPage()
{
    grpMap = named(new QGroupBox(QStringLiteral("Note Map"), tabMap), "grpMap");
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
    connect(tabMaps, &QTabBar::currentChanged, this, &TformMain::tabMapsChange);

    btnCopy = button(grpMap, QStringLiteral("Clone"), QRect(398, 48, 72, 22), "btnCopy",
                     QStringLiteral("Copy data from Map 2 into Map 1."));
    connect(btnCopy, &QPushButton::clicked, this, &TformMain::btnCopyClick);

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
        shpOut[o]->setToolTip(QLatin1String(kColumns[o].hint));

        for (int s = 0; s < MaxNotesPerOutput; ++s) {
            auto *cell = new TNoteCell(col);
            const int number = (o + 1) * 10 + s;
            cell->setObjectName(QStringLiteral("editNote%1").arg(number));
            SetTag(cell, number);
            cell->setGeometry(5, 28 + 18 * s, 40, 17);
            editNote[o][s] = cell;
        }
        btnClear[o] = button(col, QStringLiteral("Clear"), QRect(3, 209, 44, 21), "btnClear");
        btnClear[o]->setObjectName(QStringLiteral("btnClear%1").arg(o + 1));
        SetTag(btnClear[o], o);
        connect(btnClear[o], &QPushButton::clicked, this, &TformMain::btnClear1Click);
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
    connect(editChangeNote, &QLineEdit::textChanged, this, &TformMain::editChangeNoteChange);
    btnSetSwitchNote = button(grpMapChange, QStringLiteral("Set"), QRect(320, 16, 64, 24), "btnSetSwitchNote",
                              QStringLiteral("Click to set the note used to swap maps"));
    btnSetSwitchNote->setEnabled(false);
    connect(btnSetSwitchNote, &QPushButton::clicked, this, &TformMain::btnSetSwitchNoteClick);
    btnClearSwap = button(grpMapChange, QStringLiteral("Clear"), QRect(390, 16, 64, 24), "btnClearSwap",
                          QStringLiteral("Click to clear note (disables map swapping)"));
    connect(btnClearSwap, &QPushButton::clicked, this, &TformMain::btnClearSwapClick);
    grpMapChange->hide();

    // Note charts; their lists are filled by the chart tables.
    pageNoteCharts = named(new TPageControl(tabMap), "pageNoteCharts");
    pageNoteCharts->setGeometry(486, 4, 192, 368);
    const char *pages[7][3] = {
        {"tabDrum0", "Generic Drums", "listNotes0"}, {"tabDrum1", "Yamaha DTXplorer", "listNotes1"},
        {"tabDrum2", "Yamaha DD65", "listNotes2"},   {"tabDrum3", "Roland TD-6", "listNotes3"},
        {"tabDrum5", "Roland HD-1", "JvHTListBox1"}, {"tabTD20", "Roland TD-20", "listNotesTD20"},
        {"tabDrum4", "Custom", "listNotes4"},
    };
    for (int i = 0; i < 7; ++i) {
        QWidget *page = pageNoteCharts->AddPage(QLatin1String(pages[i][0]), QLatin1String(pages[i][1]));
        auto *list = named(new QListWidget(page), pages[i][2]);
        list->setFrameShape(QFrame::NoFrame);
        chartLists[i] = list;
    }
    const QRect r = pageNoteCharts->PageRect();
    const int customHeight = std::min(317, r.height() - 30); // room for "Edit.."
    for (int i = 0; i < 7; ++i)
        chartLists[i]->setGeometry(0, 0, r.width(), i == 6 ? customHeight : r.height());
    btnEditNoteChart = button(pageNoteCharts->Page(6), QStringLiteral("Edit.."),
                              QRect(r.width() / 2 - 40, customHeight + 3, 80, 24), "btnEditNoteChart");

    auto *grpGetMap = named(new QGroupBox(QStringLiteral("Get Map"), tabMap), "grpGetMap");
    grpGetMap->setGeometry(682, 2, 186, 80);
    btnUpload = button(grpGetMap, QStringLiteral("Get Map from MIDI Zembrik"), QRect(6, 19, 174, 25), "btnUpload",
                       QStringLiteral("Get note map settings from the MIDI Zembrik."));
    btnRecall = button(grpGetMap, QStringLiteral("Get Map from File..."), QRect(6, 48, 174, 25), "btnRecall",
                       QStringLiteral("Recall note mappings from a file."));
    auto *grpStoreMap = named(new QGroupBox(QStringLiteral("Store Map"), tabMap), "grpStoreMap");
    grpStoreMap->setGeometry(682, 86, 186, 80);
    btnSave = button(grpStoreMap, QStringLiteral("Store Map in File..."), QRect(6, 19, 174, 25), "btnSave",
                     QStringLiteral("Save note mappings to a file."));
    btnDownload = button(grpStoreMap, QStringLiteral("Store Map on MIDI Zembrik"), QRect(6, 48, 174, 25), "btnDownload",
                         QStringLiteral("Store note mappings on MIDI Zembrik."));
    btnUpload->setEnabled(false);
    btnDownload->setEnabled(false);
    connect(btnUpload, &QPushButton::clicked, this, &TformMain::btnGetMapClick);
    connect(btnDownload, &QPushButton::clicked, this, &TformMain::btnDownloadClick);
    connect(btnSave, &QPushButton::clicked, this, &TformMain::btnSaveClick);
    connect(btnRecall, &QPushButton::clicked, this, &TformMain::btnRecallClick);

    imgRBDrums = named(new TImage(QStringLiteral(":/zembrik/drums-rb.svg"), QSize(100, 131), tabMap), "imgRBDrums");
    imgRBDrums->move(725, 180);
    imgGHDrums = named(new TImage(QStringLiteral(":/zembrik/drums-gh.svg"), QSize(100, 131), tabMap), "imgGHDrums");
    imgGHDrums->move(725, 180);
    imgGHDrums->hide();
    lblDrumDiagram = label(tabMap, QStringLiteral("ROCK BAND DRUMS"), QRect(682, 314, 186, 32), "lblDrumDiagram");
    lblDrumDiagram->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblDrumDiagram->setWordWrap(true);
    lblDrumDiagram->setFont(bold(font()));
}

void TformMain::BuildMonitorPages()
{
    auto fill = [](QWidget *tab, QWidget *page) {
        auto *box = new QVBoxLayout(tab);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(page);
        return page;
    };
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
    Exit1 = named(file->addAction(QStringLiteral("E&xit")), "Exit1");
    connect(Recall1, &QAction::triggered, this, &TformMain::btnRecallClick);
    connect(Save1, &QAction::triggered, this, &TformMain::btnSaveClick);
    connect(Exit1, &QAction::triggered, this, &TformMain::Exit1Click);

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
