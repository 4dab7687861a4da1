#include "maps/LearnControl.h"

#include "Modules/GuiLib.h"
#include "maps/MapPage.h"
#include "monitor/MidiLearn.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>

namespace zembrik {

TLearnControl::TLearnControl(TMidiLearn &learn, TMapPage &page, QObject *parent)
    : QObject(parent), learn_(learn), page_(page)
{
    // Between the map tabs and "Clone"; it never takes the focus, so the
    // cell the user chose keeps it.
    btnLearn = new QPushButton(QStringLiteral("Learn"), page.grpMap);
    btnLearn->setObjectName(QStringLiteral("btnLearn"));
    btnLearn->setGeometry(318, 48, 72, 22);
    btnLearn->setCheckable(true);
    btnLearn->setFocusPolicy(Qt::NoFocus);
    btnLearn->setToolTip(QStringLiteral("Hit a pad on your kit: its note goes into the selected cell"));
    btnLearn->setEnabled(false);
    connect(btnLearn, &QPushButton::toggled, this, &TLearnControl::toggled);
    connect(&learn_, &TMidiLearn::NoteLearned, this, &TLearnControl::learned);
    // The engine is the context: the window's widgets lose the focus while
    // they go, after the engine is gone.
    connect(qApp, &QApplication::focusChanged, &learn_, [this] {
        if (learn_.Active())
            tellTarget();
    });
}

void TLearnControl::SetAvailable(bool available)
{
    if (!available)
        End();
    btnLearn->setEnabled(available);
}

void TLearnControl::End()
{
    btnLearn->setChecked(false); // stops through toggled
}

void TLearnControl::Forget()
{
    learn_.Forget();
    btnLearn->setChecked(false);
}

void TLearnControl::toggled(bool on)
{
    if (!on) {
        learn_.Stop();
        emit Status(QString());
        return;
    }
    if (!learn_.Start()) {
        btnLearn->setChecked(false);
        return;
    }
    tellTarget();
}

TNoteCell *TLearnControl::focusedCell() const
{
    auto *cell = qobject_cast<TNoteCell *>(QApplication::focusWidget());
    const int tag = cell ? Tag(cell) : 0;
    const int o = tag / 10 - 1, s = tag % 10;
    return cell && o >= 0 && o < MaxOutputs && page_.editNote[o][s] == cell ? cell : nullptr;
}

void TLearnControl::tellTarget()
{
    if (TNoteCell *cell = focusedCell())
        emit Status(
            QStringLiteral("Learn: hit a pad for output %1, note %2.").arg(Tag(cell) / 10).arg(Tag(cell) % 10 + 1));
    else
        emit Status(QStringLiteral("Learn: click the note cell the pad's note should go into first."));
}

void TLearnControl::learned(int note)
{
    TNoteCell *cell = focusedCell();
    if (!cell) {
        tellTarget();
        return;
    }
    // As typed: the map status and the duplicate marks follow, and Enter
    // moves on to the next cell.
    cell->setText(QString::number(note));
    cell->SetValueText(cell->text());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(cell, &enter);
    tellTarget();
}

} // namespace zembrik
