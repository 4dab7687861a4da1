// The note charts in the window: the filled lists and the current chart
// list, dragging entries onto note cells, entering cells, Enter between the
// cells, and the custom chart editor with its grid's keyboard rules.
#include "Modules/EditNoteChart.h"
#include "charts/ChartWidgets.h"
#include "charts/NoteCharts.h"
#include "shell/Controls.h"
#include "tests/WindowRig.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTimer>

#include <functional>

using namespace zembrik;
using namespace zembrik::test;

Q_DECLARE_METATYPE(QList<zembrik::TChartRow>)

namespace {

void showPage(TformMain &f, int page)
{
    f.charts->pageNoteCharts->SetActivePageIndex(page);
    f.charts->pageNoteChartsChange(page);
}

QString selectedText(QListWidget *list)
{
    const auto s = list->selectedItems();
    return s.isEmpty() ? QString() : s.first()->text();
}

// Runs the "Edit.." button with the dialog handled by act.
void editChart(TformMain &f, const std::function<void(TformEditNoteChart &)> &act)
{
    QTimer::singleShot(0, &f, [&f, act] { act(*f.formEditNoteChart); });
    f.charts->btnEditNoteChart->click();
}

// Keys as the user types them into the grid: "Insert", "Ctrl+Delete",
// "type:38", "cell:1,0".
void play(TValueListEditor *grid, const QStringList &script)
{
    for (const QString &step : script) {
        if (step.startsWith(QLatin1String("type:"))) {
            QTest::keyClicks(QApplication::focusWidget(), step.mid(5));
        } else if (step == QLatin1String("grid")) {
            grid->setFocus(); // the grid, not its cell editor
        } else if (step.startsWith(QLatin1String("cell:"))) {
            const QStringList rc = step.mid(5).split(QLatin1Char(','));
            grid->setCurrentCell(rc[0].toInt(), rc[1].toInt());
        } else {
            const QKeySequence k(step);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(k[0].key()), k[0].keyboardModifiers());
        }
        QApplication::processEvents();
    }
}

} // namespace

class ChartWindowTest : public QObject {
    Q_OBJECT
private slots:
    void listsAndCurrentList()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        for (int i = 0; i < ChartCount; ++i) {
            QCOMPARE(f.charts->chartLists[i]->objectName(), NoteCharts().at(i).list);
            QCOMPARE(ChartItems(f.charts->chartLists[i]), ChartItems(NoteCharts().at(i)));
        }
        QCOMPARE(f.charts->CurrentChartList, f.charts->chartLists[0]);
        QCOMPARE(Tag(f.charts->pageNoteCharts), 0);
        showPage(f, 5);
        QCOMPARE(f.charts->CurrentChartList->objectName(), QStringLiteral("listNotesTD20"));
        QCOMPARE(Tag(f.charts->pageNoteCharts), 5);
    }

    void dropOnCell_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("customItems");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expected");
        QTest::newRow("DTXplorer 85") << 1 << QStringList() << 14 << "85";
        QTest::newRow("title") << 1 << QStringList() << 0 << "36";
        QTest::newRow("footer") << 0 << QStringList() << 22 << "36";
        QTest::newRow("custom -1") << 6
                                   << QStringList{"<U><B>C</B></U>", "<FONT COLOR=clBLUE>-1</FONT> x",
                                                  "<FONT COLOR=clBLUE>abc</FONT> y"}
                                   << 1 << "36";
        QTest::newRow("custom not a number")
            << 6 << QStringList{"<U><B>C</B></U>", "<FONT COLOR=clBLUE>-1</FONT> x", "<FONT COLOR=clBLUE>abc</FONT> y"}
            << 2 << "36";
    }
    void dropOnCell()
    {
        QFETCH(int, page);
        QFETCH(QStringList, customItems);
        QFETCH(int, row);
        WindowRig rig;
        TformMain &f = *rig.form;
        if (!customItems.isEmpty())
            SetChartItems(f.charts->chartLists[6], customItems);
        showPage(f, page);
        TNoteCell *cell = f.mapPage->editNote[2][0];
        f.mapPage->SetCell(cell, 36);
        f.charts->CurrentChartList->setCurrentRow(row);
        QVERIFY(f.charts->editNote10DragOver(cell, f.charts->CurrentChartList));
        f.charts->editNote10DragDrop(cell, f.charts->CurrentChartList);
        QFETCH(QString, expected);
        QCOMPARE(cell->text(), expected);
        QCOMPARE(f.Editor().NoteMaps.At(0, 2, 0), expected.toInt());
    }

    void dragsFromElsewhereAreRefused()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        showPage(f, 1);
        TNoteCell *cell = f.mapPage->editNote[0][0];
        f.charts->chartLists[0]->setCurrentRow(1);
        QVERIFY(!f.charts->editNote10DragOver(cell, f.charts->chartLists[0])); // not the shown list
        f.charts->editNote10DragDrop(cell, f.charts->chartLists[0]);
        QCOMPARE(cell->text(), QString());
        QVERIFY(!f.charts->editNote10DragOver(cell, nullptr));

        // What a chart list drags, offered to the switch-note field and to a
        // cell without a source in this program.
        QListWidget *list = f.charts->CurrentChartList;
        std::unique_ptr<QMimeData> mime(list->model()->mimeData({list->model()->index(14, 0)}));
        for (QWidget *target : {static_cast<QWidget *>(f.mapPage->editChangeNote), static_cast<QWidget *>(cell)}) {
            QDragEnterEvent enter(QPoint(3, 3), Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton,
                                  Qt::NoModifier);
            enter.setAccepted(false);
            QApplication::sendEvent(target, &enter);
            QVERIFY2(!enter.isAccepted(), qPrintable(target->objectName()));
            QDropEvent drop(QPointF(3, 3), Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
            drop.setAccepted(false);
            QApplication::sendEvent(target, &drop);
            QVERIFY(!drop.isAccepted());
        }
        QCOMPARE(f.mapPage->editChangeNote->text(), QString());
        QCOMPARE(cell->text(), QString());
    }

    void enteringCells()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        showPage(f, 5);
        f.mapPage->SetCell(f.mapPage->editNote[0][0], 38);
        f.mapPage->editNote[4][3]->setText(QStringLiteral("255"));
        f.mapPage->editNote[7][9]->setText(QStringLiteral("255"));
        f.charts->editNote10Enter(f.mapPage->editNote[0][0]);
        QCOMPARE(selectedText(f.charts->CurrentChartList), QStringLiteral("<FONT COLOR=clBLUE>38</FONT> Snare"));
        QCOMPARE(f.mapPage->editNote[4][3]->text(), QString());
        QCOMPARE(f.mapPage->editNote[7][9]->text(), QString());
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QStringLiteral("38"));
        QVERIFY(f.charts->timerSelect->isActive());
        f.charts->editNote10Enter(f.mapPage->editNote[1][1]); // empty
        QCOMPARE(selectedText(f.charts->CurrentChartList), QString());
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QStringLiteral("38"));
    }

    void focusSelectsTheCell()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.mapPage->SetCell(f.mapPage->editNote[1][0], 42);
        f.mapPage->editNote[1][0]->setFocus();
        QTRY_VERIFY(f.mapPage->editNote[1][0]->hasSelectedText());
        QCOMPARE(f.mapPage->editNote[1][0]->selectedText(), QStringLiteral("42"));
        QCOMPARE(selectedText(f.charts->CurrentChartList),
                 QStringLiteral("<FONT COLOR=clBLUE>42</FONT> Closed Hi-Hat"));
    }

    void enterMovesThroughTheCells_data()
    {
        QTest::addColumn<int>("view");
        QTest::newRow("Rock Band") << 0;
        QTest::newRow("Guitar Hero") << 1;
    }
    void enterMovesThroughTheCells()
    {
        QFETCH(int, view);
        WindowRig rig;
        TformMain &f = *rig.form;
        f.SetGameModeView(view);
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.mapPage->editNote[0][9]->setFocus();
        QTest::keyClick(f.mapPage->editNote[0][9], Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f.mapPage->editNote[1][0]);
        QCOMPARE(f.mapPage->editNote[1][0]->objectName(), QStringLiteral("editNote20"));
        QTest::keyClick(f.mapPage->editNote[1][0], Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), f.mapPage->editNote[0][9]);
        QTest::keyClick(f.mapPage->editNote[0][9], Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), f.mapPage->editNote[1][0]);
        QTest::keyClick(f.mapPage->editNote[1][0], Qt::Key_4);
        QCOMPARE(f.mapPage->editNote[1][0]->text(), QStringLiteral("4")); // other keys reach the cell
    }

    void editorRoundTrip()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        showPage(f, 6);
        QCOMPARE(f.charts->CurrentChartList, f.charts->chartLists[6]);
        // An empty chart confirmed: one entry 0 with an empty description.
        editChart(f, [](TformEditNoteChart &d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Custom Note Chart"));
            QCOMPARE(d.editTitle->text(), QStringLiteral("Custom Chart"));
            QCOMPARE(d.vlistChart->rowCount(), 1);
            d.btnOk->click();
        });
        QCOMPARE(ChartItems(f.charts->chartLists[6]),
                 QStringList({"<U><B>Custom Chart</B></U>", "<FONT COLOR=clBLUE>0</FONT> "}));
        // Opened again it is the row (0, "").
        editChart(f, [](TformEditNoteChart &d) {
            QCOMPARE(d.vlistChart->Rows(), (QList<TChartRow>{{"0", ""}}));
            d.editTitle->setText(QStringLiteral("My <I>Kit</I>"));
            d.vlistChart->SetRows({{"038", "  Snare  "}, {"Tom", "<B>Big</B> tom"}});
            d.btnOk->click();
        });
        QCOMPARE(ChartItems(f.charts->chartLists[6]),
                 QStringList({"<U><B>My <I>Kit</I></B></U>", "<FONT COLOR=clBLUE>38</FONT>   Snare  ",
                              "<FONT COLOR=clBLUE>0</FONT> <B>Big</B> tom"}));
        QVERIFY(f.charts->chartLists[6]->selectedItems().isEmpty());
        editChart(f, [](TformEditNoteChart &d) {
            QCOMPARE(d.editTitle->text(), QStringLiteral("My <I>Kit</I>")); // the title comes back unchanged
            QCOMPARE(d.vlistChart->Rows(), (QList<TChartRow>{{"38", "Snare"}, {"0", "tom"}}));
            d.vlistChart->SetRows({});
            d.editTitle->clear();
            d.btnCancel->click();
        });
        QCOMPARE(ChartItems(f.charts->chartLists[6]).size(), 3); // Cancel changed nothing
        // A row added and left empty becomes no entry.
        editChart(f, [](TformEditNoteChart &d) {
            d.vlistChart->SetRows({{"38", "a"}, {"", ""}});
            d.btnOk->click();
        });
        QCOMPARE(ChartItems(f.charts->chartLists[6]),
                 QStringList({"<U><B>My <I>Kit</I></B></U>", "<FONT COLOR=clBLUE>38</FONT> a"}));
    }

    // A chart holding one number twice (keys "38" and "038" saved earlier,
    // or an edited settings file) opens with both rows; OK is refused until
    // one of them is changed.
    void repeatedNumbers()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        showPage(f, 6);
        const QStringList twice{"<U><B>C</B></U>", "<FONT COLOR=clBLUE>38</FONT> a", "<FONT COLOR=clBLUE>38</FONT> b"};
        SetChartItems(f.charts->chartLists[6], twice);
        editChart(f, [&rig](TformEditNoteChart &d) {
            QCOMPARE(d.vlistChart->Rows(), (QList<TChartRow>{{"38", "a"}, {"38", "b"}}));
            d.btnOk->click();
            QVERIFY(d.isVisible());
            QCOMPARE(rig.prompter.errors.value(0), QStringLiteral("A key with the name of \"38\" already exists"));
            d.vlistChart->item(1, 0)->setText(QStringLiteral("40"));
            d.btnOk->click();
        });
        QCOMPARE(ChartItems(f.charts->chartLists[6]).at(2), QStringLiteral("<FONT COLOR=clBLUE>40</FONT> b"));
        // An empty list (only an edited file gives one) opens as the custom
        // chart's title and no entries.
        f.charts->chartLists[6]->clear();
        editChart(f, [](TformEditNoteChart &d) {
            QCOMPARE(d.editTitle->text(), QStringLiteral("Custom Chart"));
            QCOMPARE(d.vlistChart->Rows(), (QList<TChartRow>{{"", ""}}));
            d.btnCancel->click();
        });
    }

    void gridKeys_data()
    {
        QTest::addColumn<QList<TChartRow>>("rows");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QList<TChartRow>>("after");
        QTest::addColumn<QString>("message");
        const QList<TChartRow> two{{"38", "Snare"}, {"36", "Kick"}};
        QTest::newRow("Insert above") << two << QStringList{"cell:1,0", "Insert", "type:40", "Ctrl+Up"}
                                      << QList<TChartRow>{{"38", "Snare"}, {"40", ""}, {"36", "Kick"}} << "";
        QTest::newRow("Insert on an empty key")
            << QList<TChartRow>{} << QStringList{"Insert"} << QList<TChartRow>{{"", ""}} << "";
        QTest::newRow("Down on the last row") << two << QStringList{"cell:1,1", "Down", "type:22", "Ctrl+Up"}
                                              << QList<TChartRow>{{"38", "Snare"}, {"36", "Kick"}, {"22", ""}} << "";
        QTest::newRow("Down on an empty last row")
            << QList<TChartRow>{} << QStringList{"Down", "Down"} << QList<TChartRow>{{"", ""}} << "";
        QTest::newRow("Ctrl+Delete") << two << QStringList{"Ctrl+Delete"} << QList<TChartRow>{{"36", "Kick"}} << "";
        QTest::newRow("Ctrl+Delete the last row")
            << QList<TChartRow>{{"38", "Snare"}} << QStringList{"Ctrl+Delete"} << QList<TChartRow>{{"", ""}} << "";
        QTest::newRow("Ctrl+Down and Ctrl+Up")
            << two << QStringList{"Ctrl+Down", "type:1", "Ctrl+Up", "type:2", "Ctrl+Down"}
            << QList<TChartRow>{{"2", "Snare"}, {"1", "Kick"}} << ""; // an entered cell's text is selected
        QTest::newRow("typed with the grid focused")
            << QList<TChartRow>{} << QStringList{"grid", "type:38", "Down", "grid", "type:40"}
            << QList<TChartRow>{{"38", ""}, {"40", ""}} << "";
        QTest::newRow("empty row left") << two << QStringList{"cell:1,1", "Down", "Up"} << two << "";
        QTest::newRow("Escape undoes the edit") << two << QStringList{"type:9", "Escape", "Ctrl+Down"} << two << "";
        QTest::newRow("Escape deletes an empty row") << two << QStringList{"cell:1,0", "Insert", "Escape"} << two << "";
        QTest::newRow("equals sign") << two << QStringList{"type:=1", "Ctrl+Down"} << two
                                     << "Key may not contain equals sign (\"=\")";
        QTest::newRow("repeated key") << QList<TChartRow>{{"Tom", "a"}, {"x", "b"}}
                                      << QStringList{"cell:1,0", "Ctrl+A", "type:TOM", "Ctrl+Up"}
                                      << QList<TChartRow>{{"Tom", "a"}, {"x", "b"}}
                                      << "A key with the name of \"TOM\" already exists";
    }
    void gridKeys()
    {
        QFETCH(QList<TChartRow>, rows);
        QFETCH(QStringList, script);
        FakePrompter prompter;
        TformEditNoteChart d(prompter);
        d.SetTable({QStringLiteral("T"), rows});
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.vlistChart->setFocus();
        d.vlistChart->setCurrentCell(0, 0);
        QApplication::processEvents();
        play(d.vlistChart, script);
        d.vlistChart->CommitEdit();
        QTEST(d.vlistChart->Rows(), "after");
        QTEST(prompter.errors.value(0), "message");
        QVERIFY(d.isVisible()); // no key closes the dialog
    }
};

QTEST_MAIN(ChartWindowTest)
#include "test_chart_window.moc"
