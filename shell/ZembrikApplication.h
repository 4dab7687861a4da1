// The application object, and with it the one top-level error handler: an
// exception that escapes any handler — in the main loop, inside a command
// exchange's wait, a modal dialog or a device refresh, all of which dispatch
// through notify() — is caught here, its message is shown through the
// prompter, and the program goes on.
#pragma once

#include <QApplication>

namespace zembrik {

class IPrompter;

class TZembrikApplication : public QApplication {
    Q_OBJECT
public:
    TZembrikApplication(int &argc, char **argv);
    // Not owned; null shows errors on stderr only.
    void SetPrompter(IPrompter *prompter) { prompter_ = prompter; }
    bool notify(QObject *receiver, QEvent *event) override;
    int ErrorsReported() const { return errors_; }

private:
    void report(const QString &message);
    IPrompter *prompter_ = nullptr;
    int errors_ = 0;
    bool reporting_ = false;
};

} // namespace zembrik
