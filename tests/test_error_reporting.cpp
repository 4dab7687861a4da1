// The top-level error handler: an exception escaping a handler, also inside
// a nested event loop (as in a command exchange's wait), reaches the
// prompter's error dialog and the program goes on.
#include "shell/ZembrikApplication.h"
#include "tests/FakePrompter.h"
#include "tests/WindowRig.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace zembrik;

using namespace zembrik::test;

class ErrorReportingTest : public QObject {
    Q_OBJECT
    FakePrompter prompter;

private slots:
    void init()
    {
        prompter = FakePrompter();
        static_cast<TZembrikApplication *>(qApp)->SetPrompter(&prompter);
    }

    void escapingExceptionIsShownAndTheLoopGoesOn()
    {
        bool after = false;
        QTimer::singleShot(0, [] { throw std::runtime_error("Device cannot be opened"); });
        QTimer::singleShot(20, [&] { after = true; });
        QTRY_VERIFY(after);
        QCOMPARE(prompter.errors, QStringList({"Device cannot be opened"}));
    }

    void insideANestedWait()
    {
        QEventLoop wait;
        bool nestedWentOn = false;
        QTimer::singleShot(0, [] { throw std::runtime_error("ERROR transferring map entry to MIDI Zembrik"); });
        QTimer::singleShot(30, [&] {
            nestedWentOn = true;
            wait.quit();
        });
        wait.exec();
        QVERIFY(nestedWentOn);
        QCOMPARE(prompter.errors, QStringList({"ERROR transferring map entry to MIDI Zembrik"}));
    }

    // The user presses "Store Map on MIDI Zembrik" and the box stops
    // answering: the dialog shows the direction's error, and the window is
    // usable again.
    void failedTransferFromTheButton()
    {
        const BoxConfig c = MakeBoxConfig(BoxConfig::Model::Base, 3, 8, true);
        WindowRig rig(&c);
        static_cast<TZembrikApplication *>(qApp)->SetPrompter(&rig.prompter);
        QVERIFY(rig.form->mapPage->btnDownload->isEnabled());
        rig.box->dropRepliesTo(CMD_SET_MAP_ENTRY);
        QTimer::singleShot(0, rig.form->mapPage->btnDownload, &QPushButton::click);
        QVERIFY(LinkHarness::waitFor([&] { return !rig.prompter.errors.isEmpty(); }));
        QCOMPARE(rig.prompter.errors, QStringList({"ERROR transferring map entry to MIDI Zembrik"}));
        QVERIFY(rig.form->pgMain->isEnabled());
        QVERIFY(rig.form->mapPage->btnDownload->isEnabled());
        static_cast<TZembrikApplication *>(qApp)->SetPrompter(&prompter);
    }
};

int main(int argc, char **argv)
{
    TZembrikApplication app(argc, argv);
    ErrorReportingTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_error_reporting.moc"
