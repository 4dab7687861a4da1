// midizembrik-cli's entry point: the command line on the real HID bus, with
// standard output unbuffered so that a closed pipe is noticed at the next
// write, and SIGPIPE ignored so that it shows up as an error instead of
// ending the program before the box's logging is switched off.
#include "cli/Cli.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("midizembrik-cli"));

    QFile outFile;
    outFile.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QFile errFile;
    errFile.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream out(&outFile);
    QTextStream err(&errFile);

    zembrik::cli::TCliOptions options;
    options.progressBar = ::isatty(STDERR_FILENO) == 1;
    options.outFd = STDOUT_FILENO;
    return zembrik::cli::RunCli(QCoreApplication::arguments().mid(1), out, err, options);
}
