// midizembrik-cli: the box from the command line, without a display.
//
// RunCli runs one command (info, get-map, store-map, set, log) the way the
// window would: the same device link and connection routine, the same map
// transfer and map files, the same settings byte rules.  It finds the box
// (waiting for the first device scan, a few seconds at most), does its work
// and ends the session with command 0x00.  Results go to out, progress and
// errors to err.  Exit status: 0 done, 1 a device or file error, 2 a usage
// error.  main() wraps it for the real bus; tests call it in-process.
#pragma once

#include <QStringList>

class QTextStream;

namespace zembrik {

class IHidPlatform;

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct TCliOptions {
    // The HID bus; null: the real hidraw bus.
    IHidPlatform *platform = nullptr;
    // How long to wait for the box to be found and greeted.
    int connectTimeoutMs = 3000;
    // Progress on err as a bar that redraws itself (err is a terminal);
    // otherwise one line per status text.
    bool progressBar = false;
    // "log": stop on SIGINT and SIGTERM (handlers installed while it runs).
    bool handleSignals = true;
    // "log": the descriptor behind out, watched for a reader that went away
    // (a closed pipe); -1: none.
    int outFd = -1;
};

// args: the arguments after the program name.
int RunCli(const QStringList &args, QTextStream &out, QTextStream &err, const TCliOptions &options = {});

} // namespace cli
} // namespace zembrik
