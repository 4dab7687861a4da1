#include "monitor/DiagnosticsPage.h"

#include "monitor/RadioGroup.h"
#include "shell/Controls.h"
#include "shell/WidgetBuild.h"

#include <QDial>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>

namespace zembrik {

using namespace build;

namespace {
const QColor kLedOn(0, 255, 0); // lime
const QColor kLedOff(128, 128, 128);
const QStringList kButtons{QStringLiteral("Red"), QStringLiteral("Yellow"), QStringLiteral("Blue"),
                           QStringLiteral("Green"), QStringLiteral("Orange")};

TShape *led(QWidget *parent, const char *name, const QString &text, const QString &accessible, int y,
            QLabel **caption = nullptr)
{
    auto *l = named(new TShape(TShape::Circle, parent), name);
    l->setAccessibleName(accessible);
    l->setGeometry(16, y, 16, 16);
    l->SetBrushColor(kLedOff);
    l->SetPen(Qt::black, 1);
    QLabel *c = label(parent, text, QRect(38, y, 110, 16));
    if (caption)
        *caption = c;
    return l;
}
} // namespace

QPixmap NavIcon(int icon)
{
    const qreal dpr = 2.0;
    QPixmap pm(QSize(16, 16) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shine(QPointF(6, 5), 9);
    const QColor base = icon == 0 ? QColor(150, 150, 150) : QColor(220, 20, 20);
    shine.setColorAt(0, base.lighter(170));
    shine.setColorAt(1, base.darker(130));
    p.setPen(QPen(base.darker(180), 1));
    p.setBrush(shine);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    if (icon >= 1 && icon <= 4) {
        // An arrow pointing up, turned to its direction.
        static const int angle[] = {0, 0, 180, 270, 90};
        p.translate(8, 8);
        p.rotate(angle[icon]);
        QPainterPath arrow;
        arrow.moveTo(0, -5.5);
        arrow.lineTo(4.5, 0);
        arrow.lineTo(1.6, 0);
        arrow.lineTo(1.6, 5);
        arrow.lineTo(-1.6, 5);
        arrow.lineTo(-1.6, 0);
        arrow.lineTo(-4.5, 0);
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(arrow);
    }
    return pm;
}

TDiagnosticsPage::TDiagnosticsPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlDiagnosticsPage"));
    label(this,
          QStringLiteral("The information on this page can be used to verify the operation of the MIDI Zembrik "
                         "switches and controls."),
          QRect(8, 8, 850, 16));

    ledHome = led(this, "ledHome", QStringLiteral("Home (PS)"), QStringLiteral("Home LED"), 40, &lblHome);
    lblHome->setObjectName(QStringLiteral("lblHome"));
    ledBack = led(this, "ledBack", QStringLiteral("Back"), QStringLiteral("Back LED"), 64);
    ledStart = led(this, "ledStart", QStringLiteral("Start"), QStringLiteral("Start LED"), 88);

    grpNav = named(new QGroupBox(QStringLiteral("Nav Switch"), this), "grpNav");
    grpNav->setGeometry(8, 116, 140, 76);
    imgNav = named(new QLabel(grpNav), "imgNav");
    imgNav->setGeometry(61, 22, 18, 18);
    imgNav->setAlignment(Qt::AlignCenter);
    imgNav->setAccessibleName(QStringLiteral("Nav switch"));
    labelNavPos = label(grpNav, QStringLiteral("?"), QRect(4, 46, 132, 16), "labelNavPos");
    labelNavPos->setAlignment(Qt::AlignCenter);
    setNavIcon(niCentred);

    pnlDiagBox = named(new QWidget(this), "pnlDiagBox");
    pnlDiagBox->setGeometry(160, 32, 700, 360);
    radgrpFunction = named(new TRadioGroup(QStringLiteral("Function Switch"),
                                           {QStringLiteral("Function A"), QStringLiteral("Function B")}, 1, pnlDiagBox),
                           "radgrpFunction");
    radgrpFunction->setGeometry(0, 0, 150, 66);
    radgrpMode =
        named(new TRadioGroup(QStringLiteral("Mode Switch"),
                              {QStringLiteral("Program 2"), QStringLiteral("Program 1"), QStringLiteral("Play")}, 1,
                              pnlDiagBox),
              "radgrpMode");
    radgrpMode->setGeometry(160, 0, 150, 84);
    // Display only: the switches are the box's.
    for (TRadioGroup *g : {radgrpFunction, radgrpMode})
        for (int i = 0; i < g->Count(); ++i)
            g->Item(i)->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto *grpKnob = named(new QGroupBox(QStringLiteral("Adjust Knob"), pnlDiagBox), "grpKnob");
    grpKnob->setGeometry(320, 0, 180, 150);
    lblAdjustKnob = label(grpKnob, QStringLiteral("Position = ?"), QRect(8, 20, 164, 16), "lblAdjustKnob");
    lblAdjustKnob->setAlignment(Qt::AlignCenter);
    dialAdjust = named(new QDial(grpKnob), "dialAdjust");
    dialAdjust->setGeometry(40, 40, 100, 100);
    dialAdjust->setAccessibleName(QStringLiteral("Adjust knob"));
    dialAdjust->setRange(0, 100);
    dialAdjust->setValue(0);
    dialAdjust->setNotchesVisible(true);
    dialAdjust->setEnabled(false);

    auto *grpButtons = named(new QGroupBox(QStringLiteral("Buttons"), pnlDiagBox), "grpButtons");
    grpButtons->setGeometry(0, 160, 500, 50);
    chklistButtons = named(new QListWidget(grpButtons), "chklistButtons");
    chklistButtons->setGeometry(8, 20, 484, 24);
    chklistButtons->setFlow(QListView::LeftToRight);
    chklistButtons->setWrapping(true);
    chklistButtons->setGridSize(QSize(96, 20));
    chklistButtons->setFrameShape(QFrame::NoFrame);
    chklistButtons->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chklistButtons->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = chklistButtons->palette(); // the group's face, not a list's white
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    chklistButtons->setPalette(pal);
    for (const QString &b : kButtons) {
        auto *item = new QListWidgetItem(b, chklistButtons);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }

    lblNotice = label(pnlDiagBox, QStringLiteral("NOTE: These diagnostics require firmware version 2.3 or greater."),
                      QRect(0, 220, 500, 32), "lblNotice");
    lblNotice->setWordWrap(true);
    lblNotice->setStyleSheet(QStringLiteral("color: #ff0000; font-weight: bold;"));
    lblNotice->hide();
}

void TDiagnosticsPage::setLed(TShape *led, bool on)
{
    const QColor c = on ? kLedOn : kLedOff;
    if (led->BrushColor() != c)
        led->SetBrushColor(c);
}

bool TDiagnosticsPage::LedOn(const TShape *led) const
{
    return led->BrushColor() == kLedOn;
}

void TDiagnosticsPage::setNavIcon(int icon)
{
    if (icon == navIcon_)
        return;
    navIcon_ = icon;
    imgNav->setPixmap(NavIcon(icon));
}

void TDiagnosticsPage::ShowReport(const TDiagnosticsView &v)
{
    if (v.BaseModel)
        for (int i = 0; i < chklistButtons->count(); ++i)
            chklistButtons->item(i)->setCheckState(v.Buttons[static_cast<std::size_t>(i)] ? Qt::Checked
                                                                                          : Qt::Unchecked);
    if (v.Home)
        setLed(ledHome, *v.Home);
    setLed(ledBack, v.Back);
    setLed(ledStart, v.Start);
    labelNavPos->setText(v.NavText);
    setNavIcon(v.NavIcon);
    if (v.BaseModel) {
        lblAdjustKnob->setText(QStringLiteral("Position = %1").arg(v.Knob));
        dialAdjust->setValue(v.Dial);
        radgrpMode->SetItemIndex(v.ModeItem);
        radgrpFunction->SetItemIndex(v.FunctionItem);
    }
}

void TDiagnosticsPage::tabDiagnosticsShow(bool supported)
{
    lblNotice->setVisible(!supported);
}

} // namespace zembrik
