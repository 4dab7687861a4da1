#include "monitor/DrumTestPage.h"

#include "monitor/FrameRate.h"
#include "monitor/RadioGroup.h"
#include "shell/Controls.h"
#include "shell/WidgetBuild.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <cstring>

namespace zembrik {

using namespace build;

namespace {

const QColor kGray(128, 128, 128);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kYellow(255, 255, 0), kBlue(0, 0, 255), kLime(0, 255, 0), kRed(255, 0, 0), kKickOrange(255, 128, 64),
    kDarkGreen(0, 128, 0), kPurple(128, 0, 128), kDotOrange(255, 128, 0);

enum TPicture { pcRockBand, pcGuitarHero };
enum TRole {
    roPad,    // a shape that lights and counts, its hit label in its centre
    roCymbal, // a Guitar Hero cymbal button: hit label on its dot above
    roDot,    // a filled circle: the cymbal knobs and the hit-label dots
};

// Both pictures' shapes, in the order they are drawn.  Lit shapes light in
// their outline colour; dots are filled with theirs.
struct TShapeDesign {
    TPicture picture;
    const char *name;
    const char *spoken; // what a screen reader calls it; null for dots
    TRole role;
    bool TDrumPadStates::*litBy; // null for dots
    TShape::Kind kind;
    QRect rect;
    QColor colour;
    int pen;
    QColor hitsText;
    QRect hits; // hit label of a cymbal button
};
using P = TDrumPadStates;
// clang-format off
const TShapeDesign kShapes[] = {
    {pcRockBand,   "shYellowCymbal",   "Yellow cymbal", roPad,    &P::YellowCymbal, TShape::Ellipse,   {43, 46, 64, 85},   kYellow,     1, kWhite, {}},
    {pcRockBand,   "shBlueCymbal",     "Blue cymbal",   roPad,    &P::BlueCymbal,   TShape::Ellipse,   {134, 46, 64, 85},  kBlue,       1, kWhite, {}},
    {pcRockBand,   "shGreenCymbal",    "Green cymbal",  roPad,    &P::GreenCymbal,  TShape::Ellipse,   {229, 46, 64, 85},  kLime,       1, kWhite, {}},
    {pcRockBand,   "shYellowPad",      "Yellow pad",    roPad,    &P::YellowPad,    TShape::Ellipse,   {91, 111, 64, 85},  kYellow,     4, kWhite, {}},
    {pcRockBand,   "shBluePad",        "Blue pad",      roPad,    &P::BluePad,      TShape::Ellipse,   {174, 111, 64, 85}, kBlue,       4, kWhite, {}},
    {pcRockBand,   "shRedPad",         "Red pad",       roPad,    &P::RedPad,       TShape::Ellipse,   {21, 156, 64, 85},  kRed,        4, kWhite, {}},
    {pcRockBand,   "shGreenPad",       "Green pad",     roPad,    &P::GreenPad,     TShape::Ellipse,   {244, 156, 64, 85}, kLime,       4, kWhite, {}},
    {pcRockBand,   "shKick1",          "Kick",          roPad,    &P::Kick,         TShape::RoundRect, {202, 245, 36, 85}, kKickOrange, 4, kWhite, {}},
    {pcRockBand,   "shYellowKnob",     nullptr,         roDot,    nullptr,          TShape::Circle,    {67, 56, 16, 16},   kYellow,     1, {},     {}},
    {pcRockBand,   "shBlueKnob",       nullptr,         roDot,    nullptr,          TShape::Circle,    {158, 56, 16, 16},  kBlue,       1, {},     {}},
    {pcRockBand,   "shGreenKnob",      nullptr,         roDot,    nullptr,          TShape::Circle,    {253, 56, 16, 16},  kLime,       1, {},     {}},
    {pcGuitarHero, "shRedPadGH",       "Red pad",       roPad,    &P::RedPad,       TShape::Ellipse,   {30, 150, 80, 85},  kRed,        4, kWhite, {}},
    {pcGuitarHero, "shBluePadGH",      "Blue pad",      roPad,    &P::BluePad,      TShape::Ellipse,   {128, 120, 80, 85}, kBlue,       4, kWhite, {}},
    {pcGuitarHero, "shGreenPadGH",     "Green pad",     roPad,    &P::GreenPad,     TShape::Ellipse,   {228, 150, 80, 85}, kDarkGreen,  4, kWhite, {}},
    {pcGuitarHero, "shKickGH",         "Kick",          roPad,    &P::Kick,         TShape::RoundRect, {200, 257, 31, 85}, kPurple,     4, kWhite, {}},
    {pcGuitarHero, "shYellowCymbalGH", "Yellow cymbal", roCymbal, &P::YellowCymbal, TShape::Ellipse,   {54, 61, 78, 68},   kYellow,     3, kBlack, {83, 35, 21, 14}},
    {pcGuitarHero, "shOrangeCymbalGH", "Orange cymbal", roCymbal, &P::OrangeCymbal, TShape::Ellipse,   {200, 61, 78, 68},  kKickOrange, 3, kWhite, {229, 35, 21, 14}},
    {pcGuitarHero, "shYellowDotGH",    nullptr,         roDot,    nullptr,          TShape::Circle,    {77, 26, 32, 32},   kYellow,     1, {},     {}},
    {pcGuitarHero, "shOrangeDotGH",    nullptr,         roDot,    nullptr,          TShape::Circle,    {223, 26, 32, 32},  kDotOrange,  1, {},     {}},
};
// clang-format on

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

QLabel *caption(QWidget *panel, const QString &text, const QRect &r, Qt::Alignment a)
{
    QLabel *l = label(panel, text, r);
    l->setAlignment(a);
    return l;
}

QLabel *wrapped(QWidget *page, const QString &text, const QRect &r)
{
    QLabel *l = label(page, text, r);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

// --- The waterfall's view ------------------------------------------------------

TWaterfallView::TWaterfallView(const TWaterfall &waterfall, QWidget *parent)
    : QWidget(parent), waterfall_(waterfall), frame_(new QTimer(this))
{
    setFixedSize(TWaterfall::kWidth, TWaterfall::kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    frame_->setSingleShot(true);
    frame_->setInterval(FrameIntervalMs());
    connect(frame_, &QTimer::timeout, this, [this] {
        copyBitmap();
        update();
    });
}

void TWaterfallView::Refresh()
{
    if (!frame_->isActive())
        frame_->start();
}

void TWaterfallView::copyBitmap()
{
    if (!waterfall_.Exists())
        return;
    if (bitmap_.isNull())
        bitmap_ = QImage(TWaterfall::kWidth, TWaterfall::kHeight, QImage::Format_RGB888);
    for (int y = 0; y < TWaterfall::kHeight; ++y)
        std::memcpy(bitmap_.scanLine(y), waterfall_.Line(y), TWaterfall::kBytesPerLine);
}

void TWaterfallView::paintEvent(QPaintEvent *)
{
    ++repaints_;
    QPainter p(this);
    if (bitmap_.isNull())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(0, 0, bitmap_);
}

// --- The page ---------------------------------------------------------------------

TDrumTestPage::TDrumTestPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlTestPage"));
    pnlDrumsRB = drumPanel(this, "pnlDrumsRB", QStringLiteral("Rock Band Drums"));
    pnlDrumsGH = drumPanel(this, "pnlDrumsGH", QStringLiteral("Guitar Hero World Tour Drums"));
    QFrame *panels[] = {pnlDrumsRB, pnlDrumsGH};

    // Shapes first, then their hit labels above them.
    for (const TShapeDesign &d : kShapes) {
        auto *s = named(new TShape(d.kind, panels[d.picture]), d.name);
        s->setGeometry(d.rect);
        if (d.spoken)
            s->setAccessibleName(QLatin1String(d.spoken));
        if (d.role == roDot) {
            s->SetBrushColor(d.colour);
            s->SetPen(Qt::black, 1);
            continue;
        }
        s->SetPen(d.colour, d.pen);
        s->SetBrushColor(kGray);
        lamps_.push_back({s, d.colour, d.litBy, d.role == roCymbal, {}});
    }
    for (const TShapeDesign &d : kShapes) {
        if (d.role == roDot)
            continue;
        const QPoint c = d.rect.center();
        const QRect r = d.role == roCymbal ? d.hits : QRect(c.x() - 10, c.y() - 7, 21, 14);
        QLabel *hits = label(panels[d.picture], QStringLiteral("0"), r);
        hits->setObjectName(QLatin1String(d.name) + QStringLiteral("Hits"));
        // The name says what the label counts; the count is its description.
        hits->setAccessibleName(QLatin1String(d.spoken) + QStringLiteral(" hits"));
        hits->setAccessibleDescription(hits->text());
        hits->setAlignment(Qt::AlignCenter);
        hits->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(d.hitsText.name()));
    }
    caption(pnlDrumsRB, QStringLiteral("Cymbals"), QRect(4, 28, 343, 16), Qt::AlignCenter);
    caption(pnlDrumsRB, QStringLiteral("Drum Pads"), QRect(91, 204, 147, 16), Qt::AlignCenter);
    caption(pnlDrumsRB, QStringLiteral("Kick Pedal"), QRect(110, 280, 86, 16), Qt::AlignRight);
    caption(pnlDrumsGH, QStringLiteral("Cymbals"), QRect(132, 86, 68, 16), Qt::AlignCenter);
    caption(pnlDrumsGH, QStringLiteral("Drum Pads"), QRect(110, 230, 118, 16), Qt::AlignCenter);
    caption(pnlDrumsGH, QStringLiteral("Kick Pedal"), QRect(108, 292, 86, 16), Qt::AlignRight);
    pnlDrumsGH->hide();

    imgWaterfall = named(new TWaterfallView(waterfall_, this), "imgWaterfall");
    imgWaterfall->move(368, 8);
    imgWaterfall->setAccessibleName(QStringLiteral("Hit waterfall"));
    imgLanesRB = named(new TImage(QStringLiteral(":/zembrik/lanes-rb.svg"), QSize(256, 32), this), "imgLanesRB");
    imgLanesRB->move(368, 277);
    imgLanesRB->setAccessibleName(QStringLiteral("Rock Band lanes"));
    imgLanesGH = named(new TImage(QStringLiteral(":/zembrik/lanes-gh.svg"), QSize(256, 32), this), "imgLanesGH");
    imgLanesGH->move(368, 277);
    imgLanesGH->setAccessibleName(QStringLiteral("Guitar Hero lanes"));
    imgLanesGH->hide();
    chkEnableWaterfall = named(new QCheckBox(QStringLiteral("Enable Waterfall Display"), this), "chkEnableWaterfall");
    chkEnableWaterfall->setGeometry(368, 314, 256, 20);

    wrapped(this, QStringLiteral("You can use this screen to test the current note mapping on the MIDI Zembrik"),
            QRect(634, 8, 234, 46))
        ->setFont(bold(font()));
    wrapped(this,
            QStringLiteral("Connect the MIDI OUT from your drums to the MIDI IN on the MIDI Zembrik and watch for pads "
                           "to light up in the picture to the left. Once a pad has been hit at least once, its "
                           "background color changes to black and the hit count number updates."),
            QRect(634, 56, 234, 104));

    rgrpMap = named(new TRadioGroup(QStringLiteral("Active Map Number"),
                                    {QStringLiteral("Map 1"), QStringLiteral("Map 2")}, 2, this),
                    "rgrpMap");
    rgrpMap->setGeometry(634, 166, 234, 46);
    connect(rgrpMap, &TRadioGroup::Click, this, &TDrumTestPage::MapChosen);
    wrapped(this,
            QStringLiteral("Select which map you want to test from the list above. Only 1 map can be active at a "
                           "time."),
            QRect(634, 216, 234, 44));

    btnResetHits = button(this, QStringLiteral("Reset hit counters"), QRect(634, 266, 150, 22), "btnResetHits");
    btnResetHits->setFlat(true);
    QFont u = btnResetHits->font();
    u.setUnderline(true);
    btnResetHits->setFont(u);
    btnResetHits->setCursor(Qt::PointingHandCursor);
    connect(btnResetHits, &QPushButton::clicked, this, &TDrumTestPage::btnResetHitsClick);

    lblGameModeWarn = label(this,
                            QStringLiteral("NOTE: The MIDI Zembrik is currently in a different Game Mode than what "
                                           "you are viewing -- the Drum Tests may yield strange results. This may be "
                                           "fixed by installing a newer version of firmware on the MIDI Zembrik."),
                            QRect(8, 364, 860, 36), "lblGameModeWarn");
    infoColours(lblGameModeWarn);
    lblGameModeWarn->setFont(bold(font()));
    lblGameModeWarn->hide();
}

TDrumTestPage::TLamp *TDrumTestPage::lamp(const QWidget *shape)
{
    for (TLamp &l : lamps_)
        if (l.shape == shape)
            return &l;
    return nullptr;
}

const TDrumTestPage::TLamp *TDrumTestPage::lamp(const QWidget *shape) const
{
    return const_cast<TDrumTestPage *>(this)->lamp(shape);
}

int TDrumTestPage::HitCount(const QWidget *control) const
{
    const TLamp *l = lamp(control);
    return l ? l->state.Hits : 0;
}

void TDrumTestPage::ProcessReport(const quint8 *data, int viewGameMode)
{
    ShowDrumPads(data, viewGameMode);
    UpdateWaterfall(data, viewGameMode);
}

void TDrumTestPage::ShowDrumPads(const quint8 *data, int viewGameMode)
{
    // The shapes of the viewed picture; the hidden one is left alone.
    const bool gh = viewGameMode != 0;
    const TDrumPadStates p = DecodeDrumPads(data, gh);
    QFrame *picture = gh ? pnlDrumsGH : pnlDrumsRB;
    for (const TLamp &l : lamps_) {
        if (l.shape->parentWidget() != picture)
            continue;
        if (l.cymbalButton)
            ShowCymbalHit(l.shape, p.*l.litBy);
        else
            ShowPadHit(l.shape, p.*l.litBy);
    }
}

void TDrumTestPage::show(TShape *shape, bool pressed)
{
    TLamp *l = lamp(shape);
    if (!l)
        return;
    if (l->state.Show(pressed))
        UpdateHitLabel(shape);
    const QColor fill = l->state.Lit ? l->lit : (l->state.Hits == 0 ? kGray : kBlack);
    if (shape->BrushColor() != fill)
        shape->SetBrushColor(fill);
}

void TDrumTestPage::ShowPadHit(TShape *shape, bool pressed)
{
    show(shape, pressed);
}

void TDrumTestPage::ShowCymbalHit(TShape *shape, bool pressed)
{
    // The cymbal buttons light in their border colour, like the pads.
    show(shape, pressed);
}

void TDrumTestPage::UpdateHitLabel(QWidget *control)
{
    if (!control || !control->parentWidget())
        return;
    auto *hits = control->parentWidget()->findChild<QLabel *>(control->objectName() + QStringLiteral("Hits"),
                                                              Qt::FindDirectChildrenOnly);
    if (hits) {
        hits->setText(QString::number(HitCount(control)));
        hits->setAccessibleDescription(hits->text());
    }
}

void TDrumTestPage::btnResetHitsClick()
{
    for (QFrame *panel : {pnlDrumsRB, pnlDrumsGH})
        for (TLamp &l : lamps_)
            if (l.shape->parentWidget() == panel) {
                l.state.Hits = 0;
                UpdateHitLabel(l.shape);
            }
}

void TDrumTestPage::UpdateWaterfall(const quint8 *data, int viewGameMode)
{
    if (!chkEnableWaterfall->isChecked())
        return;
    const bool gh = viewGameMode != 0;
    waterfall_.Advance(DecodeDrumPads(data, gh), gh);
    imgWaterfall->Refresh();
}

void TDrumTestPage::tabTestShow(bool multiMap, int currentMap)
{
    rgrpMap->setVisible(multiMap);
    rgrpMap->SetItemIndex(currentMap);
}

} // namespace zembrik
