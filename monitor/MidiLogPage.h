// The "MIDI Logging" page: the log grid over TMidiLog, the check boxes that
// switch logging and the note-off filter, clearing, saving and recalling the
// log as a comma-separated file, the firmware notice, and a line that says
// how many reports the transport lost while logging.
//
// The main window creates it on its tabLog page and routes log reports to
// ProcessReport while the page is shown with logging on.  Switching the
// box's logging is asked for by the BoxLogging signal (command 0x0B).  UI
// thread only.
#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace zembrik {

class IPrompter;
class TMidiLog;

class TMidiLogPage : public QWidget {
    Q_OBJECT
public:
    TMidiLogPage(IPrompter &prompter, QWidget *parent = nullptr);

    TMidiLog *Log() const { return log_; }
    bool LoggingEnabled() const;

    // One input report: 64 data bytes (report-ID excluded), read by the
    // transport at readAtMs (monotonic milliseconds).
    void ProcessReport(const quint8 *data, qint64 readAtMs);

    // Asks the transport how many reports it has lost so far (a running
    // total).
    std::function<quint64()> DroppedReports;

    QTableView *gridLog = nullptr;
    QCheckBox *chkEnableLog = nullptr;
    QCheckBox *chkIgnoreOff = nullptr;
    QPushButton *btnClearLog = nullptr;
    QPushButton *btnSaveLog = nullptr;
    QPushButton *btnLoadLog = nullptr;
    QLabel *lblLogNotice = nullptr;
    QLabel *lblLogLost = nullptr;

    static const QString kFullText;
    static const QString kOpenFilter;
    static const QString kSaveFilter;
    static const QString kSuffix;

public slots:
    void tabLogShow(bool supported);
    void tabLogHide();
    void chkEnableLogClick();
    void btnClearLogClick();
    void btnSaveLogClick();
    void btnLoadLogClick();

signals:
    // The box's logging is to be switched on or off.
    void BoxLogging(bool on);

private:
    void showLost();
    IPrompter &prompter_;
    TMidiLog *log_;
    quint64 droppedAtStart_ = 0;
};

} // namespace zembrik
