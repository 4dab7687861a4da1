#include "monitor/MidiLogPage.h"

#include "Modules/GeneralLib.h"
#include "monitor/FrameRate.h"
#include "monitor/MidiLog.h"
#include "shell/Prompter.h"
#include "shell/WidgetBuild.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace zembrik {

using namespace build;

const QString TMidiLogPage::kFullText =
    QStringLiteral("Log Buffer Full. Logging has been turned off.\r\nYou can re-enable logging to start over again.");
// Saved names end in ".CSV"; names are case-sensitive here, so the open
// dialog lists both spellings.
const QString TMidiLogPage::kOpenFilter = QStringLiteral("Comma-separated Values|*.CSV;*.csv");
const QString TMidiLogPage::kSaveFilter = QStringLiteral("Comma-separated Values|*.CSV");
const QString TMidiLogPage::kSuffix = QStringLiteral(".CSV");

TMidiLogPage::TMidiLogPage(IPrompter &prompter, QWidget *parent)
    : QWidget(parent), prompter_(prompter), log_(new TMidiLog(this))
{
    setObjectName(QStringLiteral("pnlLogPage"));

    gridLog = named(new QTableView(this), "gridLog");
    gridLog->setGeometry(8, 8, 420, 364);
    gridLog->setAccessibleName(QStringLiteral("MIDI log"));
    gridLog->setModel(log_);
    gridLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridLog->setSelectionMode(QAbstractItemView::SingleSelection);
    gridLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    gridLog->verticalHeader()->hide();
    gridLog->verticalHeader()->setDefaultSectionSize(18);
    gridLog->horizontalHeader()->setDefaultSectionSize(96);
    gridLog->horizontalHeader()->setHighlightSections(false);
    gridLog->horizontalHeader()->setStretchLastSection(true);
    connect(log_, &TMidiLog::SelectRow, gridLog, [this](int gridRow) {
        if (gridRow >= 1)
            gridLog->selectRow(gridRow - 1);
    });
    // The grid catches up with the log at the display's rate at most.
    log_->SetDeferredUpdates(true);
    auto *frame = new QTimer(this);
    frame->setSingleShot(true);
    frame->setInterval(FrameIntervalMs());
    connect(frame, &QTimer::timeout, log_, &TMidiLog::FlushChanges);
    connect(log_, &TMidiLog::ChangesPending, frame, [frame] {
        if (!frame->isActive())
            frame->start();
    });

    // A log report the transport had to drop is an event missing from the
    // log: the page says how many, never losing them silently.
    lblLogLost = label(this, QString(), QRect(8, 374, 420, 16), "lblLogLost");
    lblLogLost->setStyleSheet(QStringLiteral("color: #ff0000; font-weight: bold;"));
    lblLogLost->hide();

    chkEnableLog = named(new QCheckBox(QStringLiteral("Enable Logging"), this), "chkEnableLog");
    chkEnableLog->setGeometry(440, 8, 220, 20);
    chkEnableLog->setToolTip(
        QStringLiteral("Check to turn on MIDI logging to examine the data coming in the MIDI port."));
    chkIgnoreOff = named(new QCheckBox(QStringLiteral("Ignore Note OFF Data"), this), "chkIgnoreOff");
    chkIgnoreOff->setGeometry(440, 32, 220, 20);
    chkIgnoreOff->setChecked(true);

    btnClearLog = button(this, QStringLiteral("Clear Log"), QRect(440, 64, 120, 25), "btnClearLog",
                         QStringLiteral("Clear out the MIDI log"));
    btnSaveLog = button(this, QStringLiteral("Save Log..."), QRect(440, 94, 120, 25), "btnSaveLog",
                        QStringLiteral("Save the log data in a file"));
    btnLoadLog = button(this, QStringLiteral("Recall Log..."), QRect(440, 124, 120, 25), "btnLoadLog",
                        QStringLiteral("Read in log data from a previously saved file."));

    lblLogNotice = label(this, QStringLiteral("NOTE: These diagnostics require firmware version 2.3 or greater."),
                         QRect(440, 164, 420, 32), "lblLogNotice");
    lblLogNotice->setWordWrap(true);
    lblLogNotice->setStyleSheet(QStringLiteral("color: #ff0000; font-weight: bold;"));
    lblLogNotice->hide();

    connect(chkEnableLog, &QCheckBox::toggled, this, &TMidiLogPage::chkEnableLogClick);
    connect(chkIgnoreOff, &QCheckBox::toggled, this, [this](bool on) { log_->IgnoreNoteOff = on; });
    connect(btnClearLog, &QPushButton::clicked, this, &TMidiLogPage::btnClearLogClick);
    connect(btnSaveLog, &QPushButton::clicked, this, &TMidiLogPage::btnSaveLogClick);
    connect(btnLoadLog, &QPushButton::clicked, this, &TMidiLogPage::btnLoadLogClick);

    // At the limit logging goes off (which tells the box) before the user
    // is told.
    log_->BufferFull = [this] {
        log_->FlushChanges();
        chkEnableLog->setChecked(false);
        prompter_.Information(kFullText);
    };
}

bool TMidiLogPage::LoggingEnabled() const
{
    return chkEnableLog->isChecked();
}

void TMidiLogPage::ProcessReport(const quint8 *data, qint64 readAtMs)
{
    log_->ProcessLogReport(data, readAtMs);
    showLost();
}

void TMidiLogPage::showLost()
{
    if (!DroppedReports)
        return;
    const quint64 lost = DroppedReports() - droppedAtStart_;
    if (lost == 0)
        return;
    lblLogLost->setText(
        QStringLiteral("%1 reports from the MIDI Zembrik were lost while logging: events are missing from the log.")
            .arg(lost));
    lblLogLost->show();
}

void TMidiLogPage::tabLogShow(bool supported)
{
    lblLogNotice->setVisible(!supported);
}

void TMidiLogPage::tabLogHide()
{
    chkEnableLog->setChecked(false);
}

void TMidiLogPage::chkEnableLogClick()
{
    const bool on = chkEnableLog->isChecked();
    if (on) {
        log_->PrepareForLogging();
        log_->ClearLog();
        droppedAtStart_ = DroppedReports ? DroppedReports() : 0;
        lblLogLost->hide();
    }
    emit BoxLogging(on);
}

void TMidiLogPage::btnClearLogClick()
{
    log_->ClearLog();
}

void TMidiLogPage::btnSaveLogClick()
{
    chkEnableLog->setChecked(false);
    const QString name = prompter_.SaveFileName(kSaveFilter, kSuffix);
    if (name.isEmpty())
        return;
    QString error;
    if (!SaveFileAtomically(name, log_->ToCsv(), &error))
        prompter_.Error(
            QStringLiteral("The log could not be saved in %1:\n%2\n\nAn existing file of that name is unchanged.")
                .arg(name, error));
}

void TMidiLogPage::btnLoadLogClick()
{
    chkEnableLog->setChecked(false);
    const QString name = prompter_.OpenFileName(kOpenFilter, kSuffix);
    if (name.isEmpty())
        return;
    // Read first: a file that cannot be read leaves the grid as it was.
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        prompter_.Error(QStringLiteral("The log could not be read from %1:\n%2").arg(name, file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        prompter_.Error(QStringLiteral("The log could not be read from %1:\n%2").arg(name, file.errorString()));
        return;
    }
    log_->ClearLog();
    log_->LoadCsv(bytes);
}

} // namespace zembrik
