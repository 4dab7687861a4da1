#include "settings/SettingsPage.h"

#include "Modules/ValueEditFrame.h"
#include "device/Commands.h"
#include "device/Connection.h"
#include "device/DeviceLink.h"
#include "settings/DeviceSettings.h"
#include "shell/WidgetBuild.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>

namespace zembrik {

using namespace build;

namespace {

const QColor kGrayText(128, 128, 128);
const QColor kRampEnd(183, 183, 255);
constexpr int kEditorWidth = 183;
constexpr int kEditorHeight = 42;

struct TEditorDesign {
    const char *caption;
    double min, max, increment, value;
    const char *units; // none: no units shown
};

TValueEdit *valueEditor(QWidget *parent, const char *name, const TEditorDesign &d, const QPoint &at)
{
    auto *e = named(new TValueEdit(parent), name);
    e->setGeometry(at.x(), at.y(), kEditorWidth, kEditorHeight);
    e->SetCaption(QString::fromUtf8(d.caption));
    e->SetDecimalPlaces(0);
    e->SetMax(d.max);
    e->SetMin(d.min);
    e->SetIncrement(d.increment);
    e->SetShowSlider(true);
    e->SetReadOnly(false);
    e->SetBarBackgndColor(Qt::black);
    e->SetBarTrackColor(kRampEnd);
    e->SetShowUnits(d.units != nullptr);
    if (d.units)
        e->SetUnitsString(QString::fromUtf8(d.units));
    e->SetValue(d.value);
    e->setAutoFillBackground(true);
    e->setBackgroundRole(QPalette::Base);
    return e;
}

QLabel *grayHint(QWidget *parent, const QString &text, const QPoint &at, const char *name)
{
    auto *l = label(parent, text, QRect(at, QSize()), name);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kGrayText);
    l->setPalette(pal);
    l->adjustSize();
    return l;
}

// An explanation: tagged text with line breaks and bold words.
QLabel *explanation(QWidget *parent, const QStringList &lines, const QPoint &at, const char *name)
{
    auto *l = label(parent, lines.join(QStringLiteral("<br>")), QRect(at, QSize()), name);
    l->setTextFormat(Qt::RichText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->adjustSize();
    return l;
}

// Caption, a number of three digits with the spin buttons, and the units.
int requiredWidth(TValueEdit *e)
{
    constexpr int kFieldWidth = 60;
    int w = e->labelCaption->sizeHint().width() + 2 + kFieldWidth + 2;
    if (e->ShowUnits())
        w += e->labelUnits->sizeHint().width();
    return w;
}

int bottomOf(const QWidget *w)
{
    return w->y() + w->height();
}

} // namespace

TSettingsPage::TSettingsPage(TDeviceLink &link, const TConnection &connection, QWidget *parent)
    : QWidget(parent), link_(link), connection_(connection)
{
    setObjectName(QStringLiteral("pageSettings"));
    BuildLayout();
    const QRect used = childrenRect();
    resize(used.right() + 9, used.bottom() + 9);
    connect(veditDuration, &TValueEdit::OnValueChange, this, &TSettingsPage::veditDurationValueChange);
    connect(veditVelocity, &TValueEdit::OnValueChange, this, &TSettingsPage::veditVelocityValueChange);
    connect(veditHiHatThreshold, &TValueEdit::OnValueChange, this, &TSettingsPage::veditHiHatThresholdValueChange);
    connect(chkEnableHiHatThresh, &QCheckBox::clicked, this, &TSettingsPage::chkEnableHiHatThreshClick);
}

void TSettingsPage::BuildLayout()
{
    veditDuration = valueEditor(this, "veditDuration", {"MIDI Note Duration:", 10, 120, 10, 50, "millisecs"}, {8, 8});
    pnlVelocity = named(new QFrame(this), "pnlVelocity");
    veditVelocity = valueEditor(pnlVelocity, "veditVelocity", {"Velocity Threshold:", 0, 127, 1, 16, nullptr}, {8, 0});
    pnlHiHatThreshold = named(new QFrame(this), "pnlHiHatThreshold");
    veditHiHatThreshold = valueEditor(pnlHiHatThreshold, "veditHiHatThreshold",
                                      {"Hi Hat Pedal Threshold:", 0, 127, 1, 127, nullptr}, {6, 6});
    // One width for the three editors, wide enough that caption, number
    // and units fit in the window's font.
    int width = kEditorWidth;
    for (TValueEdit *e : {veditDuration, veditVelocity, veditHiHatThreshold})
        width = std::max(width, requiredWidth(e));
    for (TValueEdit *e : {veditDuration, veditVelocity, veditHiHatThreshold})
        e->resize(width, kEditorHeight);
    const int hintLeft = 8 + width + 16;

    lblDefaultDuration = grayHint(this, QStringLiteral("(Typically 30-50ms)"), {hintLeft, 11}, "lblDefaultDuration");
    JvHTLabel1 = explanation(this,
                             {QStringLiteral("The <b>MIDI Note Duration</b> tells the MIDI Zembrik how"),
                              QStringLiteral("long to activate an output when a MIDI note is received."),
                              QStringLiteral("If you are having trouble with dropped or missing notes in a"),
                              QStringLiteral("game, try adjusting this value.")},
                             {8, bottomOf(veditDuration) + 6}, "JvHTLabel1");

    lblDefaultVel = grayHint(pnlVelocity, QStringLiteral("(Factory default is 0)"), {hintLeft, 3}, "lblDefaultVel");
    lblVelocity =
        explanation(pnlVelocity,
                    {QStringLiteral("The <b>Velocity Threshold</b> sets the minimum MIDI note"),
                     QStringLiteral("velocity (the velocity is a measure of how hard the drum pad is hit)."),
                     QStringLiteral("If you are having problem with cross-talk between pads, try increasing"),
                     QStringLiteral("this value. The MIDI Zembrik will ignore any notes below this velocity.")},
                    {8, bottomOf(veditVelocity) + 6}, "lblVelocity");
    pnlVelocity->setGeometry(0, bottomOf(JvHTLabel1) + 14,
                             std::max(lblVelocity->width(), hintLeft + lblDefaultVel->width()) + 16,
                             bottomOf(lblVelocity) + 4);
    pnlVelocity->hide();

    pnlHiHatThreshold->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlHiHatThreshold->setLineWidth(1);
    veditHiHatThreshold->SetEnabled(false);
    chkEnableHiHatThresh = named(new QCheckBox(QStringLiteral("Enabled"), pnlHiHatThreshold), "chkEnableHiHatThresh");
    chkEnableHiHatThresh->setToolTip(QStringLiteral("Check this box to enable the Hi Hat Pedal Threshold"));
    chkEnableHiHatThresh->adjustSize();
    chkEnableHiHatThresh->move(hintLeft - 2, 6);
    JvHTLabel2 = explanation(pnlHiHatThreshold,
                             {QStringLiteral("The <b>Hi Hat Pedal Threshold</b> sets the point at which the Hi Hat is"),
                              QStringLiteral("considered \"open\". If a Hi Hat open note (note 26 or 46) is recieved,"),
                              QStringLiteral("but the Hi Hat Pedal has not been released past this threshold, then"),
                              QStringLiteral("the MIDI Zembrik treats it as if a Hi Hat closed note (note 44) was"),
                              QStringLiteral("recieved instead."),
                              QStringLiteral("The pedal postion goes from 0 (all the way up), to 127 (pressed all the"),
                              QStringLiteral("way down).")},
                             {6, bottomOf(veditHiHatThreshold) + 6}, "JvHTLabel2");
    // Placed below the velocity panel, whether that shows or not.
    pnlHiHatThreshold->setGeometry(
        4, bottomOf(pnlVelocity) + 8,
        std::max(JvHTLabel2->width(), chkEnableHiHatThresh->x() + chkEnableHiHatThresh->width()) + 16,
        bottomOf(JvHTLabel2) + 6);
}

bool TSettingsPage::Connected() const
{
    return connection_.Connected();
}

bool TSettingsPage::send(const TCommand &c)
{
    TCommandReply r;
    return link_.SendCommand(c, r);
}

// --- Handlers ---------------------------------------------------------------------------

TCommand TSettingsPage::sendNewest(const std::function<TCommand()> &asked)
{
    TCommand sent = asked();
    send(sent);
    // Moved again while the box answered: the newest value goes too, once.
    if (const TCommand newest = asked(); newest != sent) {
        send(newest);
        sent = newest;
    }
    return sent;
}

void TSettingsPage::veditDurationValueChange()
{
    if (durationGuard_)
        return;
    ++durationGuard_;
    auto lower = qScopeGuard([this] { --durationGuard_; });
    if (Connected()) {
        // The page then shows what the box was given.
        const TCommand sent = sendNewest([this] { return settings::NoteDurationCommand(veditDuration->Value()); });
        veditDuration->SetValue(settings::NoteDurationSent(sent));
        return;
    }
    veditDuration->SetValue(settings::NoteDurationSent(settings::NoteDurationCommand(veditDuration->Value())));
}

void TSettingsPage::veditVelocityValueChange()
{
    if (velocityGuard_)
        return;
    ++velocityGuard_;
    auto lower = qScopeGuard([this] { --velocityGuard_; });
    if (!Connected())
        return;
    const TCommand sent = sendNewest([this] { return settings::VelocityThresholdCommand(veditVelocity->Value()); });
    if (settings::VelocityThresholdCommand(veditVelocity->Value()) != sent)
        veditVelocity->SetValue(sent.arg1);
}

void TSettingsPage::veditHiHatThresholdValueChange()
{
    SetHiHatThreshold(settings::HiHatThresholdByte(veditHiHatThreshold->Value()));
}

void TSettingsPage::chkEnableHiHatThreshClick()
{
    if (chkEnableHiHatThresh->isChecked())
        SetHiHatThreshold(settings::HiHatThresholdByte(veditHiHatThreshold->Value()));
    else
        SetHiHatThreshold(settings::kHiHatOff);
}

int TSettingsPage::shownHiHatThreshold() const
{
    if (!chkEnableHiHatThresh->isChecked())
        return settings::kHiHatOff;
    return settings::HiHatThresholdByte(veditHiHatThreshold->Value());
}

void TSettingsPage::SetHiHatThreshold(int t)
{
    if (hiHatGuard_)
        return;
    ++hiHatGuard_;
    auto lower = qScopeGuard([this] { --hiHatGuard_; });
    t = std::clamp(t, 0, 255);
    if (Connected()) {
        const int before = shownHiHatThreshold();
        send(settings::HiHatThresholdCommand(t));
        // The user changed the threshold or "Enabled" while the box
        // answered: that newest choice goes too, once.
        const int newest = shownHiHatThreshold();
        if (newest != before) {
            t = newest;
            send(settings::HiHatThresholdCommand(t));
        }
    }
    chkEnableHiHatThresh->setChecked(t != settings::kHiHatOff);
    veditHiHatThreshold->SetEnabled(chkEnableHiHatThresh->isChecked());
    veditHiHatThreshold->SetValue(t); // 255 shows as 127
}

// --- Reading the box ----------------------------------------------------------------------

// A setting the box did not report: the editor's minimum stands for "no
// value" and is not sent back, and the status bar says the setting could
// not be read, so the user does not take the minimum for the box's value.
void TSettingsPage::showNoValue(TValueEdit *edit, int &guard, const QString &setting)
{
    ++guard;
    auto lower = qScopeGuard([&guard] { --guard; });
    edit->SetValue(edit->Min());
    emit Status(QStringLiteral("ERROR reading the %1 from MIDI Zembrik").arg(setting));
}

void TSettingsPage::ReadDeviceSettings()
{
    if (Connected()) {
        // A value from the box is a change like any other: its handler sends
        // it back (the duration rounded down to 10 ms).
        if (const std::optional<int> ms = settings::ReadNoteDuration(link_, connection_))
            veditDuration->SetValue(*ms);
        else
            showNoValue(veditDuration, durationGuard_, QStringLiteral("note duration"));
        if (settings::HasVelocityThreshold(connection_)) {
            if (const std::optional<int> v = settings::ReadVelocityThreshold(link_, connection_))
                veditVelocity->SetValue(*v);
            else
                showNoValue(veditVelocity, velocityGuard_, QStringLiteral("velocity threshold"));
        }
    }
    ReadHiHatThreshold();
}

void TSettingsPage::ReadHiHatThreshold()
{
    if (hiHatGuard_)
        return;
    ++hiHatGuard_;
    auto lower = qScopeGuard([this] { --hiHatGuard_; });
    const bool shown = settings::HasHiHatThreshold(connection_);
    pnlHiHatThreshold->setVisible(shown);
    if (!shown)
        return;
    pnlHiHatThreshold->setEnabled(Connected());
    if (!Connected())
        return;
    const std::optional<int> t = settings::ReadHiHatThreshold(link_, connection_);
    if (!t) {
        emit Status(QStringLiteral("ERROR reading the hi-hat pedal threshold from MIDI Zembrik"));
        return; // the controls keep what they showed
    }
    chkEnableHiHatThresh->setChecked(*t != settings::kHiHatOff);
    veditHiHatThreshold->SetEnabled(chkEnableHiHatThresh->isChecked());
    veditHiHatThreshold->SetValue(*t);
}

} // namespace zembrik
