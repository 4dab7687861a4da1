// The main window's layout: every control at its designed place and size.
// Positions are in pixels of the parent, as on the designed form; the
// window does not resize.
#include "Modules/Main.h"

#include "Modules/GuiLib.h"
#include "settings/SettingsPage.h"
#include "shell/Controls.h"
#include "shell/WidgetBuild.h"
#include "shell/WindowFonts.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

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

// One drum test shape with its hit label, named after the shape plus "Hits".
TShape *hitShape(QWidget *panel, const char *name, TShape::Kind kind, const QRect &r, const QColor &lit, int pen,
                 const QColor &hitsText = Qt::white)
{
    auto *s = named(new TShape(kind, panel), name);
    s->setGeometry(r);
    s->SetPen(lit, pen);
    s->SetBrushColor(QColor(128, 128, 128));
    s->setProperty("LitColor", lit);
    auto *hits = label(panel, QStringLiteral("0"), QRect(r.center().x() - 10, r.center().y() - 7, 21, 14));
    hits->setObjectName(QLatin1String(name) + QStringLiteral("Hits"));
    hits->setAlignment(Qt::AlignCenter);
    hits->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(hitsText.name()));
    return s;
}

QFrame *drumPanel(QWidget *page, const char *name, const QString &title)
{
    auto *p = named(new QFrame(page), name);
    p->setGeometry(8, 8, 351, 352);
    p->setFrameShape(QFrame::StyledPanel);
    auto *t = label(p, title, QRect(0, 6, 351, 18));
    QFont f = bold(p->font());
    f.setPixelSize(13);
    f.setUnderline(true);
    t->setFont(f);
    t->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return p;
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
    BuildTestPage();

    pageSettings = new TSettingsPage(link_, connection_, tabSettings);
    pnlVelocity = pageSettings->pnlVelocity;
    connect(pageSettings, &TSettingsPage::Status, this, &TformMain::ShowStatus);
    // Placeholders the diagnostics page fills in.
    pnlDiagBox = named(new QWidget(tabDiagnostics), "pnlDiagBox");
    ledHome = named(new QWidget(tabDiagnostics), "ledHome");
    lblHome = named(new QLabel(tabDiagnostics), "lblHome");
    for (QWidget *w : {pnlDiagBox, ledHome, static_cast<QWidget *>(lblHome)})
        w->resize(0, 0);

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

void TformMain::BuildTestPage()
{
    pnlDrumsRB = drumPanel(tabTest, "pnlDrumsRB", QStringLiteral("Rock Band Drums"));
    const QColor yellow(255, 255, 0), blue(0, 0, 255), lime(0, 255, 0), red(255, 0, 0), kick(255, 128, 64);
    hitShape(pnlDrumsRB, "shYellowCymbal", TShape::Ellipse, QRect(43, 46, 64, 85), yellow, 1, Qt::black);
    hitShape(pnlDrumsRB, "shBlueCymbal", TShape::Ellipse, QRect(134, 46, 64, 85), blue, 1);
    hitShape(pnlDrumsRB, "shGreenCymbal", TShape::Ellipse, QRect(229, 46, 64, 85), lime, 1, Qt::black);
    hitShape(pnlDrumsRB, "shYellowPad", TShape::Ellipse, QRect(91, 111, 64, 85), yellow, 4, Qt::black);
    hitShape(pnlDrumsRB, "shBluePad", TShape::Ellipse, QRect(174, 111, 64, 85), blue, 4);
    hitShape(pnlDrumsRB, "shRedPad", TShape::Ellipse, QRect(21, 156, 64, 85), red, 4);
    hitShape(pnlDrumsRB, "shGreenPad", TShape::Ellipse, QRect(244, 156, 64, 85), lime, 4, Qt::black);
    hitShape(pnlDrumsRB, "shKick1", TShape::RoundRect, QRect(202, 245, 36, 85), kick, 4);
    const std::pair<const char *, QColor> knobs[] = {
        {"shYellowKnob", yellow}, {"shBlueKnob", blue}, {"shGreenKnob", lime}};
    const int knobX[] = {67, 158, 253};
    for (int i = 0; i < 3; ++i) {
        auto *k = named(new TShape(TShape::Circle, pnlDrumsRB), knobs[i].first);
        k->setGeometry(knobX[i], 56, 16, 16);
        k->SetBrushColor(knobs[i].second);
        k->SetPen(Qt::black, 1);
    }
    label(pnlDrumsRB, QStringLiteral("Cymbals"), QRect(4, 28, 343, 16))->setAlignment(Qt::AlignCenter);
    label(pnlDrumsRB, QStringLiteral("Drum Pads"), QRect(91, 204, 147, 16))->setAlignment(Qt::AlignCenter);
    label(pnlDrumsRB, QStringLiteral("Kick Pedal"), QRect(110, 280, 86, 16))->setAlignment(Qt::AlignRight);

    pnlDrumsGH = drumPanel(tabTest, "pnlDrumsGH", QStringLiteral("Guitar Hero World Tour Drums"));
    hitShape(pnlDrumsGH, "shRedPadGH", TShape::Ellipse, QRect(30, 150, 80, 85), red, 4);
    hitShape(pnlDrumsGH, "shBluePadGH", TShape::Ellipse, QRect(128, 120, 80, 85), blue, 4);
    hitShape(pnlDrumsGH, "shGreenPadGH", TShape::Ellipse, QRect(228, 150, 80, 85), QColor(0, 128, 0), 4);
    hitShape(pnlDrumsGH, "shKickGH", TShape::RoundRect, QRect(200, 257, 31, 85), QColor(128, 0, 128), 4);
    for (auto [name, x, lit] :
         {std::tuple{"shYellowCymbalGH", 54, yellow}, std::tuple{"shOrangeCymbalGH", 200, kick}}) {
        auto *s = named(new TShape(TShape::Ellipse, pnlDrumsGH), name);
        s->setGeometry(x, 61, 78, 68);
        s->SetPen(lit, 3);
        s->SetBrushColor(QColor(128, 128, 128));
        s->setProperty("LitColor", lit);
        auto *dot = new TShape(TShape::Circle, pnlDrumsGH);
        dot->setGeometry(x + 23, 26, 32, 32);
        dot->SetBrushColor(x == 54 ? yellow : QColor(255, 128, 0));
        dot->SetPen(Qt::black, 1);
        auto *hits = label(pnlDrumsGH, QStringLiteral("0"), QRect(x + 29, 35, 21, 14));
        hits->setObjectName(QLatin1String(name) + QStringLiteral("Hits"));
        hits->setAlignment(Qt::AlignCenter);
        hits->setStyleSheet(x == 54 ? QStringLiteral("color: #000000; font-weight: bold;")
                                    : QStringLiteral("color: #ffffff; font-weight: bold;"));
    }
    label(pnlDrumsGH, QStringLiteral("Cymbals"), QRect(132, 86, 68, 16))->setAlignment(Qt::AlignCenter);
    label(pnlDrumsGH, QStringLiteral("Drum Pads"), QRect(110, 230, 118, 16))->setAlignment(Qt::AlignCenter);
    label(pnlDrumsGH, QStringLiteral("Kick Pedal"), QRect(108, 292, 86, 16))->setAlignment(Qt::AlignRight);
    pnlDrumsGH->hide();

    imgWaterfall = label(tabTest, QString(), QRect(368, 8, 256, 267), "imgWaterfall");
    imgWaterfall->setStyleSheet(QStringLiteral("background: #000000;"));
    imgLanesRB = named(new TImage(QStringLiteral(":/zembrik/lanes-rb.svg"), QSize(256, 32), tabTest), "imgLanesRB");
    imgLanesRB->move(368, 277);
    imgLanesGH = named(new TImage(QStringLiteral(":/zembrik/lanes-gh.svg"), QSize(256, 32), tabTest), "imgLanesGH");
    imgLanesGH->move(368, 277);
    imgLanesGH->hide();
    chkEnableWaterfall =
        named(new QCheckBox(QStringLiteral("Enable Waterfall Display"), tabTest), "chkEnableWaterfall");
    chkEnableWaterfall->setGeometry(368, 314, 256, 20);

    auto *title =
        label(tabTest, QStringLiteral("You can use this screen to test the current note mapping on the MIDI Zembrik"),
              QRect(634, 8, 234, 46));
    title->setWordWrap(true);
    title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    title->setFont(bold(font()));
    auto *text = label(tabTest,
                       QStringLiteral("Connect the MIDI OUT from your drums to the MIDI IN on the MIDI Zembrik and "
                                      "watch for pads to light up in the picture to the left. Once a pad has been hit "
                                      "at least once, its background color changes to black and the hit count number "
                                      "updates."),
                       QRect(634, 56, 234, 104));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    rgrpMap = named(new QGroupBox(QStringLiteral("Active Map Number"), tabTest), "rgrpMap");
    rgrpMap->setGeometry(634, 166, 234, 46);
    auto *map1 = new QRadioButton(QStringLiteral("Map 1"), rgrpMap);
    map1->setGeometry(10, 20, 100, 20);
    auto *map2 = new QRadioButton(QStringLiteral("Map 2"), rgrpMap);
    map2->setGeometry(120, 20, 100, 20);
    auto *mapText = label(tabTest,
                          QStringLiteral("Select which map you want to test from the list above. Only 1 map can be "
                                         "active at a time."),
                          QRect(634, 216, 234, 44));
    mapText->setWordWrap(true);
    mapText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    btnResetHits = button(tabTest, QStringLiteral("Reset hit counters"), QRect(634, 266, 150, 22), "btnResetHits");
    btnResetHits->setFlat(true);
    QFont u = btnResetHits->font();
    u.setUnderline(true);
    btnResetHits->setFont(u);
    btnResetHits->setCursor(Qt::PointingHandCursor);

    lblGameModeWarn = label(tabTest,
                            QStringLiteral("NOTE: The MIDI Zembrik is currently in a different Game Mode than what "
                                           "you are viewing -- the Drum Tests may yield strange results. This may be "
                                           "fixed by installing a newer version of firmware on the MIDI Zembrik."),
                            QRect(8, 364, 860, 36), "lblGameModeWarn");
    infoColours(lblGameModeWarn);
    lblGameModeWarn->setFont(bold(font()));
    lblGameModeWarn->hide();
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
