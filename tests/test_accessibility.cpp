// What a screen reader finds in the window: every control without text of
// its own has a name, every control the keyboard reaches on the map page can
// be called by name, and the keyboard goes through the note cells output by
// output in both game-mode views.
#include "tests/WindowRig.h"

#include "maps/NoteCell.h"
#include "shell/Controls.h"

#include <QAccessible>
#include <QAction>
#include <QTabWidget>

#include <functional>

using namespace zembrik;
using namespace zembrik::test;

namespace {

// Walks the accessibility tree below iface, depth first; returns the
// number of nodes visited.
int walk(QAccessibleInterface *iface, const std::function<void(QAccessibleInterface *)> &visit, int depth = 0)
{
    if (!iface || !iface->isValid() || depth > 64)
        return 0;
    visit(iface);
    int nodes = 1;
    const int n = iface->childCount();
    for (int i = 0; i < n; ++i)
        nodes += walk(iface->child(i), visit, depth + 1);
    return nodes;
}

// "parent/child" names a widget by its own and its parent's objectName, for
// the parts the value editors share.
bool matches(const QObject *o, const QString &path)
{
    const int slash = path.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return o->objectName() == path;
    return o->objectName() == path.mid(slash + 1) && o->parent() && o->parent()->objectName() == path.left(slash);
}

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

bool tabStop(const QWidget *w)
{
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
}

// The window's accessibility tree, gathered page by page (the main tabs'
// hidden pages may be left out of it): each object met, with its name.
struct TreeNames {
    QList<QPair<const QObject *, QString>> nodes;
    int visited = 0;

    explicit TreeNames(TformMain &f)
    {
        for (int page = 0; page < f.pgMain->count(); ++page) {
            f.pgMain->setCurrentIndex(page);
            QCoreApplication::processEvents();
            visited += walk(QAccessible::queryAccessibleInterface(&f), [this](QAccessibleInterface *i) {
                if (const QObject *o = i->object())
                    nodes.append({o, i->text(QAccessible::Name)});
            });
        }
        f.pgMain->setCurrentIndex(0);
    }
    QStringList namesOf(const QString &path) const
    {
        QStringList out;
        for (const auto &[o, name] : nodes)
            if (matches(o, path) && !out.contains(name))
                out << name;
        return out;
    }
};

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    // One window and its tree serve every row of the names' table.  The
    // switch note and the second model's picture show only for some boxes;
    // a screen reader meets them then.
    void initTestCase()
    {
        QAccessible::setActive(true);
        rig_ = std::make_unique<WindowRig>(nullptr);
        rig_->form->SetSwitchGroupVisible(true);
        rig_->form->imgModelSecond->show();
        tree_ = std::make_unique<TreeNames>(*rig_->form);
    }
    void cleanupTestCase()
    {
        tree_.reset();
        rig_.reset();
    }

    // The whole window was walked, page by page, not just its frame: the
    // map page's grid and chart lists alone hold well over a thousand nodes.
    void wholeTreeWalked() { QVERIFY2(tree_->visited > 2000, qPrintable(QString::number(tree_->visited))); }

    void namesInTheTree_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("name");
        auto row = [](const char *widget, const char *name) {
            QTest::newRow(widget) << QString::fromLatin1(widget) << QString::fromLatin1(name);
        };
        // The map page: cells counted from 1, output by output.
        row("editNote10", "Output 1 note 1");
        row("editNote34", "Output 3 note 5");
        row("editNote19", "Output 1 note 10");
        row("editNote89", "Output 8 note 10");
        row("editChangeNote", "Switch note");
        row("shpOut1", "Channel 1");
        row("shpPedal", "Channel 5");
        row("shpOut6", "Channel 6 (ALT CH2)");
        row("shpOut8", "Channel 8 (ALT CH4)");
        // The chart lists by their page captions.
        row("listNotes0", "Generic Drums");
        row("listNotes1", "Yamaha DTXplorer");
        row("listNotes2", "Yamaha DD65");
        row("listNotes3", "Roland TD-6");
        row("JvHTListBox1", "Roland HD-1");
        row("listNotesTD20", "Roland TD-20");
        row("listNotes4", "Custom");
        // The drum test: each hit label by what it counts, in both pictures.
        row("shRedPadHits", "Red pad hits");
        row("shYellowPadHits", "Yellow pad hits");
        row("shBluePadHits", "Blue pad hits");
        row("shGreenPadHits", "Green pad hits");
        row("shYellowCymbalHits", "Yellow cymbal hits");
        row("shBlueCymbalHits", "Blue cymbal hits");
        row("shGreenCymbalHits", "Green cymbal hits");
        row("shKick1Hits", "Kick hits");
        row("shRedPadGHHits", "Red pad hits");
        row("shBluePadGHHits", "Blue pad hits");
        row("shGreenPadGHHits", "Green pad hits");
        row("shKickGHHits", "Kick hits");
        row("shYellowCymbalGHHits", "Yellow cymbal hits");
        row("shOrangeCymbalGHHits", "Orange cymbal hits");
        row("shRedPad", "Red pad");
        row("shOrangeCymbalGH", "Orange cymbal");
        row("imgWaterfall", "Hit waterfall");
        // Diagnostics.
        row("ledHome", "Home LED");
        row("ledBack", "Back LED");
        row("ledStart", "Start LED");
        row("imgNav", "Nav switch");
        row("dialAdjust", "Adjust knob");
        // The MIDI log.
        row("gridLog", "MIDI log");
        // The value editors, their number fields and sliders.
        row("veditDuration", "MIDI Note Duration");
        row("veditDuration/editValue", "MIDI Note Duration");
        row("veditDuration/tbarValue", "MIDI Note Duration slider");
        row("veditVelocity", "Velocity Threshold");
        row("veditVelocity/editValue", "Velocity Threshold");
        row("veditHiHatThreshold/tbarValue", "Hi Hat Pedal Threshold slider");
        // The pictures.
        row("imgLogo", "MIDI Zembrik web site");
        row("imgModelBase", "MIDI Zembrik");
        row("imgModelSecond", "MIDI Zembrik KQ");
        row("imgRBDrums", "Rock Band drums");
    }
    void namesInTheTree()
    {
        QFETCH(QString, widget);
        QFETCH(QString, name);
        const QStringList found = tree_->namesOf(widget);
        QVERIFY2(!found.isEmpty(), qPrintable(widget + QStringLiteral(" is not in the accessibility tree")));
        QCOMPARE(found, QStringList{name});
    }

    // The names stay with the swatches when the Guitar Hero view moves the
    // columns and recolours two of them.
    void swatchNamesInEitherView()
    {
        WindowRig rig(nullptr);
        TformMain &f = *rig.form;
        for (QAction *view : {f.miGuitarHero1, f.miRockBand1}) {
            view->trigger();
            for (int o = 0; o < MaxOutputs; ++o)
                QCOMPARE(accessibleName(f.mapPage->shpOut[o]), f.mapPage->shpOut[o]->toolTip());
        }
    }

    void keyboardStopsOnTheMapPage_data()
    {
        QTest::addColumn<int>("view");
        QTest::newRow("Rock Band") << 0;
        QTest::newRow("Guitar Hero") << 1;
    }
    void keyboardStopsOnTheMapPage()
    {
        QFETCH(int, view);
        const BoxConfig config = boxConfig();
        WindowRig rig(&config);
        TformMain &f = *rig.form;
        f.SetSwitchGroupVisible(true);
        f.SetGameModeView(view);
        TMapPage *page = f.mapPage;

        // Each control Tab stops at on the page, once round the chain.
        QWidgetList stops;
        QWidget *start = page->editNote[0][0];
        QWidget *w = start;
        do {
            if (page->isAncestorOf(w) && tabStop(w))
                stops << w;
            w = w->nextInFocusChain();
        } while (w && w != start);
        QVERIFY2(stops.size() >= 40, qPrintable(QString::number(stops.size())));
        for (QWidget *stop : std::as_const(stops))
            QVERIFY2(!accessibleName(stop).isEmpty(), qPrintable(stop->objectName() + QStringLiteral(" (") +
                                                                 QString::fromLatin1(stop->metaObject()->className()) +
                                                                 QStringLiteral(") has no accessible name")));
        QVERIFY(stops.contains(page->editChangeNote));
        QVERIFY(stops.contains(page->btnUpload));
    }

    void noteCellsOutputByOutput_data()
    {
        QTest::addColumn<int>("view");
        QTest::newRow("Rock Band") << 0;
        QTest::newRow("Guitar Hero") << 1;
    }
    void noteCellsOutputByOutput()
    {
        QFETCH(int, view);
        const BoxConfig config = boxConfig();
        WindowRig rig(&config);
        TformMain &f = *rig.form;
        if (view == 1)
            f.miGuitarHero1->trigger();
        else
            f.miRockBand1->trigger();
        QCOMPARE(f.ViewGameMode(), view);
        TMapPage *page = f.mapPage;

        // Cells in the order Tab reaches them.
        QStringList order;
        QWidget *start = page->editNote[0][0];
        QWidget *w = start;
        do {
            if (qobject_cast<TNoteCell *>(w) && page->isAncestorOf(w) && tabStop(w))
                order << accessibleName(w);
            w = w->nextInFocusChain();
        } while (w && w != start);

        QStringList expected;
        for (int o = 0; o < MaxOutputs; ++o)
            for (int s = 0; s < MaxNotesPerOutput; ++s)
                if (tabStop(page->editNote[o][s]))
                    expected << QStringLiteral("Output %1 note %2").arg(o + 1).arg(s + 1);
        QVERIFY2(expected.size() >= 2 * MaxNotesPerOutput, qPrintable(QString::number(expected.size())));
        QCOMPARE(order, expected);
        // The Guitar Hero view shows six outputs, the Rock Band view eight.
        QCOMPARE(tabStop(page->editNote[7][0]), view == 0);
    }

private:
    std::unique_ptr<WindowRig> rig_;
    std::unique_ptr<TreeNames> tree_;
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
