// The demo launcher: plugs a virtual box into a umockdev testbed and starts
// the real program against it.  The program itself knows nothing of this; it
// finds the box through udev and hidapi as it would a real one.  Run it under
// umockdev-wrapper (scripts/run.sh does).
#include "emulator/UMockHidBus.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <QTimer>

#include <cstdio>

using namespace zembrik;

int main(int argc, char **argv)
{
    if (!UMockHidBus::InMockEnvironment()) {
        std::fprintf(stderr, "zembrik-demo must run under umockdev-wrapper\n");
        return 2;
    }
    UMockHidBus bus; // before anything else touches udev
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Starts MIDI Zembrik Setup with a virtual box."));
    parser.addHelpOption();
    QCommandLineOption program(QStringLiteral("program"), QStringLiteral("The program to start."),
                               QStringLiteral("path"), QStringLiteral("midizembrik-setup"));
    QCommandLineOption model(QStringLiteral("model"), QStringLiteral("base or kq (default base)."),
                             QStringLiteral("model"), QStringLiteral("base"));
    QCommandLineOption firmware(QStringLiteral("firmware"), QStringLiteral("Firmware version (default 3.8)."),
                                QStringLiteral("major.minor"), QStringLiteral("3.8"));
    QCommandLineOption console(QStringLiteral("console"), QStringLiteral("ps, wii or xbox (default ps)."),
                               QStringLiteral("console"), QStringLiteral("ps"));
    QCommandLineOption noMidiOut(QStringLiteral("no-midi-out"), QStringLiteral("A box without MIDI OUT."));
    QCommandLineOption play(QStringLiteral("play"),
                            QStringLiteral("Someone plays: pads, MIDI notes, switches and the knob keep changing."));
    parser.addOptions({program, model, firmware, console, noMidiOut, play});
    parser.process(app);

    const bool kq = parser.value(model).compare(QStringLiteral("kq"), Qt::CaseInsensitive) == 0;
    const QStringList version = parser.value(firmware).split(QLatin1Char('.'));
    BoxConfig config = MakeBoxConfig(kq ? BoxConfig::Model::KQ : BoxConfig::Model::Base, version.value(0).toInt(),
                                     version.value(1).toInt(), !parser.isSet(noMidiOut));
    const QString c = parser.value(console).toLower();
    if (c == QStringLiteral("wii")) {
        config.vendorId = 0x1BAD;
        config.productId = 0x3110;
    } else if (c == QStringLiteral("xbox")) {
        config.product += QStringLiteral(" KQi"); // the product string names the Xbox
    }
    VirtualBox box(config);
    bus.plugBox(&box);

    // A drummer on the kit and a hand on the box's controls: one controller
    // report every 50 ms, and a note with its velocity for the log.
    QTimer player;
    int step = 0;
    QObject::connect(&player, &QTimer::timeout, &app, [&] {
        static const quint8 pads[][2] = {{0x04, 0x04}, {0x08, 0x04}, {0x01, 0x08}, {0x02, 0x0C},
                                         {0x10, 0x00}, {0x0C, 0x0C}, {0x00, 0x00}, {0x00, 0x00}};
        static const quint8 notes[] = {38, 48, 45, 51, 36, 49, 42, 46};
        const int beat = (step / 4) % 8;
        box.withFirmware([&](ZembrikFirmware &f) {
            f.setPadBits(step % 4 == 0 ? pads[beat][0] : 0, step % 4 == 0 ? pads[beat][1] : 0);
            f.setDirection(static_cast<quint8>((step / 20) % 5 * 2));
            f.setKnob(static_cast<quint8>((step * 3) % 256));
            f.setModeSwitch(static_cast<quint8>((step / 40) % 3));
            f.setFunctionSwitch(static_cast<quint8>((step / 60) % 2));
        });
        box.sendControllerReport();
        if (step % 4 == 0)
            box.feedMidi({{0x01, notes[beat]}, {0x02, static_cast<quint8>(60 + (step * 7) % 60)}});
        ++step;
    });
    if (parser.isSet(play))
        player.start(50);

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(&child, &QProcess::finished, &app, [&](int code) { app.exit(code); });
    QObject::connect(&child, &QProcess::errorOccurred, &app, [&](QProcess::ProcessError) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(parser.value(program)));
        app.exit(1);
    });
    child.start(parser.value(program), {});
    const int code = app.exec();
    if (child.state() != QProcess::NotRunning) {
        child.terminate();
        child.waitForFinished(2000);
    }
    return code;
}
