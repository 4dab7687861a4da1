#include "shell/ZembrikApplication.h"

#include "shell/Prompter.h"

#include <cstdio>
#include <exception>

namespace zembrik {

TZembrikApplication::TZembrikApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("MIDI Zembrik Setup"));
}

bool TZembrikApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        report(QString::fromUtf8(e.what()));
    } catch (...) {
        report(QStringLiteral("An unknown error occurred."));
    }
    return false;
}

void TZembrikApplication::report(const QString &message)
{
    ++errors_;
    std::fprintf(stderr, "%s\n", qPrintable(message));
    // An error raised while the dialog of another is up is counted and
    // printed, not stacked as a second dialog.
    if (!prompter_ || reporting_)
        return;
    reporting_ = true;
    prompter_->Error(message);
    reporting_ = false;
}

} // namespace zembrik
