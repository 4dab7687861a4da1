#include "shell/Prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace zembrik {

namespace {
// Filters are written "Description|*.ext;*.EXT"; Qt wants
// "Description (*.ext *.EXT)".
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i],
                                             QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
    return out.isEmpty() ? filter : out.join(QStringLiteral(";;"));
}
} // namespace

bool TWidgetPrompter::Confirm(const QString &text, Buttons buttons)
{
    const auto no = buttons == Buttons::YesNo ? QMessageBox::No : QMessageBox::Cancel;
    return QMessageBox::question(parent_, QApplication::applicationName(), text, QMessageBox::Yes | no, no) ==
           QMessageBox::Yes;
}

void TWidgetPrompter::Information(const QString &text)
{
    QMessageBox::information(parent_, QApplication::applicationName(), text);
}

void TWidgetPrompter::Error(const QString &text)
{
    QMessageBox::critical(parent_, QApplication::applicationName(), text);
}

QString TWidgetPrompter::OpenFileName(const QString &filter, const QString &defaultSuffix)
{
    QFileDialog dialog(parent_, QString(), QString(), qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString TWidgetPrompter::SaveFileName(const QString &filter, const QString &defaultSuffix)
{
    QFileDialog dialog(parent_, QString(), QString(), qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace zembrik
