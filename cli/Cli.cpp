#include "cli/Cli.h"

#include "cli/LogDecoder.h"
#include "device/Connection.h"
#include "device/DeviceLink.h"
#include "device/HidrawPlatform.h"
#include "device/JvHid.h"
#include "device/NullConnectionView.h"
#include "maps/MapFile.h"
#include "maps/MapTransfer.h"
#include "maps/NoteMaps.h"
#include "maps/XmlFileStorage.h"
#include "settings/DeviceSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zembrik::cli {

namespace {

const QString kProgram = QStringLiteral("midizembrik-cli");

// --- Help and argument parsing ---------------------------------------------------------

const QString kGeneralHelp =
    QStringLiteral("Usage: midizembrik-cli COMMAND [ARGUMENTS]\n"
                   "\n"
                   "Configures a MIDI Zembrik from the command line.\n"
                   "\n"
                   "Commands:\n"
                   "  info [--json]       model, firmware, console, game mode, maps and settings\n"
                   "  get-map FILE        read every map from the box into a map file\n"
                   "  store-map FILE      store the maps of a map file on the box\n"
                   "  set SETTING VALUE   change one setting of the box\n"
                   "  log [--csv]         print the MIDI messages reaching the box until Ctrl+C\n"
                   "\n"
                   "Run 'midizembrik-cli COMMAND --help' for a command's arguments.\n"
                   "Exit status: 0 done, 1 device or file error, 2 usage error.\n");

const QMap<QString, QString> kCommandHelp{
    {QStringLiteral("info"),
     QStringLiteral("Usage: midizembrik-cli info [--json]\n"
                    "\n"
                    "Shows the box's model, firmware version, console, game mode, MIDI OUT socket,\n"
                    "map count and layout, switch note, note duration, velocity threshold\n"
                    "(MIDI Zembrik KQ) and hi-hat pedal threshold (where the firmware has it).\n"
                    "\n"
                    "  --json   one JSON object; a setting the box does not have is left out,\n"
                    "           'none' and 'off' are null\n")},
    {QStringLiteral("get-map"),
     QStringLiteral("Usage: midizembrik-cli get-map FILE\n"
                    "\n"
                    "Reads every map from the box and writes them to FILE as a MIDI Zembrik map\n"
                    "file (\".map\" is added to a name without extension).  An existing file is\n"
                    "replaced only once the new one is complete.\n")},
    {QStringLiteral("store-map"),
     QStringLiteral("Usage: midizembrik-cli store-map FILE\n"
                    "\n"
                    "Reads the map file FILE and stores its maps on the box.  Each output's notes\n"
                    "are moved to its first slots before they are sent.  A file of the older\n"
                    "single-map layout is stored as Map 1; the box's other map is left alone.\n"
                    "The box's active map is the same afterwards.\n")},
    {QStringLiteral("set"),
     QStringLiteral("Usage: midizembrik-cli set SETTING VALUE\n"
                    "\n"
                    "  duration MS                        MIDI note duration, 10 to 120 ms, in steps of 10\n"
                    "  velocity N                         velocity threshold, 0 to 127 (MIDI Zembrik KQ)\n"
                    "  hihat N|off                        hi-hat pedal threshold, 0 to 127, or off\n"
                    "  switch-note N|none                 the note that switches maps, 0 to 127, or none\n"
                    "  game-mode rock-band|guitar-hero    the game the box plays\n"
                    "  active-map 1|2                     the map the box uses\n"
                    "\n"
                    "A setting the box's model or firmware does not have is an error.\n")},
    {QStringLiteral("log"),
     QStringLiteral("Usage: midizembrik-cli log [--csv] [--show-note-off] [--count N]\n"
                    "\n"
                    "Switches the box's MIDI logging on and prints each MIDI event as it arrives,\n"
                    "in the columns Interval (ms), Event, Note and Velocity.  Ctrl+C, or the\n"
                    "reader of the output going away, switches logging off and ends.\n"
                    "\n"
                    "  --csv             comma-separated lines, as the window's log files\n"
                    "  --show-note-off   log Note OFF events too (ignored by default)\n"
                    "  --count N         end after N events\n")},
};

struct TArgs {
    QStringList positional;
    QMap<QString, QString> options; // name -> value ("" for a flag)
    QString error;
    bool help = false;
};

TArgs parseArgs(const QStringList &args, const QStringList &flags, const QStringList &valued)
{
    TArgs a;
    bool optionsEnd = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &s = args[i];
        if (optionsEnd || !s.startsWith(QLatin1Char('-')) || s == QStringLiteral("-")) {
            a.positional << s;
        } else if (s == QStringLiteral("--")) {
            optionsEnd = true;
        } else if (s == QStringLiteral("--help") || s == QStringLiteral("-h")) {
            a.help = true;
        } else if (flags.contains(s)) {
            a.options.insert(s, QString());
        } else if (valued.contains(s)) {
            if (i + 1 >= args.size()) {
                a.error = QStringLiteral("%1 needs a value").arg(s);
                return a;
            }
            a.options.insert(s, args[++i]);
        } else {
            a.error = QStringLiteral("unknown option %1").arg(s);
            return a;
        }
    }
    return a;
}

// A number within [min, max], or nothing.
std::optional<double> parseNumber(const QString &text, double min, double max)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !(v >= min && v <= max))
        return std::nullopt;
    return v;
}

std::optional<int> parseInteger(const QString &text, int min, int max)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return std::nullopt;
    return v;
}

int countNotes(const TNoteMaps &maps)
{
    int n = 0;
    for (int m = 0; m < MaxMaps; ++m)
        for (int o = 0; o < MaxOutputs; ++o)
            for (int s = 0; s < MaxNotesPerOutput; ++s)
                n += maps.At(m, o, s) != NoNote;
    return n;
}

// The map file dialogs' default extension.
QString mapFileName(const QString &name)
{
    return QFileInfo(name).suffix().isEmpty() ? name + QStringLiteral(".map") : name;
}

// --- The box ---------------------------------------------------------------------------

// What the connection routine reports, kept for the commands.
class TCliView : public TNullConnectionView {
public:
    using TNullConnectionView::TNullConnectionView;
    void ShowAccessError(const QString &error) override { accessError = error; }
    void ShowFirmware(const QString &text) override { firmware = text; }
    void ShowStatus(const QString &text) override { status = text; }
    void SetViewMenuVisible(bool visible) override { gameModeSwitchable = visible; }
    void SetMapGeometry(int o, int n) override
    {
        outputs = o;
        notesPerOutput = n;
    }
    void SetSwitchGroupVisible(bool visible) override { hasSwitchNote = visible; }
    void SetSwitchNote(int note) override { switchNote = note; }

    QString accessError;
    QString firmware;
    QString status;
    bool gameModeSwitchable = true;
    int outputs = MaxOutputs;
    int notesPerOutput = MaxNotesPerOutput;
    bool hasSwitchNote = false;
    int switchNote = NoNote;
};

struct TBox {
    explicit TBox(IHidPlatform *platform) : controller(platform), link(&controller), view(link), connection(link, view)
    {
    }
    ~TBox() { connection.EndSession(); } // as the window does when it closes

    TJvHidDeviceController controller;
    TDeviceLink link;
    TCliView view;
    TConnection connection;

    TMapGeometry Geometry() const { return ClampGeometry(connection.MapCount(), view.outputs, view.notesPerOutput); }
    int ActiveMap() const { return view.CurrentMap(); }
};

class TRun {
public:
    TRun(QTextStream &out, QTextStream &err, const TCliOptions &options) : out(out), err(err), options(options) {}

    int fail(const QString &message, int code = kExitFailure)
    {
        err << kProgram << ": " << message << Qt::endl;
        return code;
    }
    int usage(const QString &command, const QString &message)
    {
        err << kProgram << ": " << message << "\n"
            << "Try 'midizembrik-cli " << (command.isEmpty() ? QString() : command + QLatin1Char(' ')) << "--help'."
            << Qt::endl;
        return kExitUsage;
    }

    // Finds the box and waits for the connection routine to greet it.
    int connect();
    bool send(const TCommand &c, TCommandReply &reply) { return box->link.SendCommand(c, reply); }
    int noReply(const QString &what) { return fail(QStringLiteral("no reply from the MIDI Zembrik (%1)").arg(what)); }

    int info(const TArgs &a);
    int getMap(const TArgs &a);
    int storeMap(const TArgs &a);
    int set(const TArgs &a);
    int log(const TArgs &a);

    QTextStream &out;
    QTextStream &err;
    const TCliOptions &options;
    std::unique_ptr<HidrawPlatform> ownPlatform;
    std::unique_ptr<TBox> box;

private:
    void watchTransfer(TMapTransfer &transfer);
    // Runs a transfer with device changes held back, then makes the box's
    // active map active again; 0, or the exit status when the box stopped
    // answering.
    int runTransfer(const std::function<void(TMapTransfer &)> &run);
    void endProgress();
    QString progressText_;
    bool progressShown_ = false;
};

int TRun::connect()
{
    IHidPlatform *platform = options.platform;
    if (!platform) {
        ownPlatform = std::make_unique<HidrawPlatform>();
        platform = ownPlatform.get();
    }
    box = std::make_unique<TBox>(platform);
    // The first scan runs from the event loop; the greeting runs inside it.
    QElapsedTimer clock;
    clock.start();
    auto settled = [this] {
        return box->controller.RefreshCount() > 0 && !box->controller.RefreshInProgress() && !box->connection.Busy();
    };
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        // Settled: every device of the first scan has been offered, and the
        // box, if one was claimed, greeted (or found silent).
        if (settled() || clock.elapsed() >= options.connectTimeoutMs)
            loop.quit();
    });
    tick.start(10);
    loop.exec();
    if (box->connection.Connected())
        return kExitOk;
    if (!box->view.accessError.isEmpty())
        return fail(AccessErrorHelp(box->view.accessError));
    if (TJvHidDevice *dev = box->link.CurrentDevice)
        return fail(QStringLiteral("the MIDI Zembrik at %1 does not answer (no reply to the hello command)")
                        .arg(dev->PnPInfo().DevicePath));
    return fail(QStringLiteral("No MIDI Zembrik found"));
}

// --- Progress ------------------------------------------------------------------------------

void TRun::watchTransfer(TMapTransfer &transfer)
{
    QObject::connect(&transfer, &TMapTransfer::Status, [this](const QString &text) {
        progressText_ = text;
        if (!options.progressBar)
            err << text << Qt::endl;
    });
    QObject::connect(&transfer, &TMapTransfer::Progress, [this](int done, int total) {
        if (!options.progressBar || total <= 0)
            return;
        constexpr int kWidth = 30;
        const int filled = done * kWidth / total;
        err << "\r\033[K" << progressText_ << " [" << QString(filled, QLatin1Char('#'))
            << QString(kWidth - filled, QLatin1Char('.')) << "] " << done << '/' << total;
        err.flush();
        progressShown_ = true;
    });
}

int TRun::runTransfer(const std::function<void(TMapTransfer &)> &run)
{
    TMapTransfer transfer(box->link, box->connection);
    watchTransfer(transfer);
    box->connection.HoldDeviceChanges(true);
    auto release = qScopeGuard([&] { box->connection.HoldDeviceChanges(false); });
    try {
        run(transfer);
    } catch (const ETransferError &e) {
        endProgress(); // the message starts on a line of its own
        return noReply(e.message());
    }
    endProgress();
    transfer.SelectMapOnBox(box->ActiveMap());
    return 0;
}

void TRun::endProgress()
{
    if (progressShown_)
        err << Qt::endl;
    progressShown_ = false;
}

// --- info ------------------------------------------------------------------------------

int TRun::info(const TArgs &a)
{
    if (!a.positional.isEmpty())
        return usage(QStringLiteral("info"), QStringLiteral("info takes no arguments"));
    if (int rc = connect())
        return rc;
    const TConnection &c = box->connection;
    const TCliView &v = box->view;
    const TMapGeometry g = box->Geometry();
    const bool versionRead = v.firmware != QStringLiteral("Error");
    QStringList missing;
    if (!versionRead)
        missing << QStringLiteral("firmware version");
    const std::optional<int> duration = settings::ReadNoteDuration(box->link, c);
    if (!duration)
        missing << QStringLiteral("note duration");
    const bool hasVelocity = settings::HasVelocityThreshold(c);
    const std::optional<int> velocity = settings::ReadVelocityThreshold(box->link, c);
    if (hasVelocity && !velocity)
        missing << QStringLiteral("velocity threshold");
    const bool hasHiHat = settings::HasHiHatThreshold(c);
    const std::optional<int> hiHat = settings::ReadHiHatThreshold(box->link, c);
    if (hasHiHat && !hiHat)
        missing << QStringLiteral("hi-hat pedal threshold");
    const QString console = ConsoleNames.value(c.Console());
    const QString gameMode = GameModeNames.value(v.ViewGameMode());

    if (a.options.contains(QStringLiteral("--json"))) {
        QJsonObject o;
        o.insert(QStringLiteral("model"), ModelNames.value(c.Model()));
        if (versionRead)
            o.insert(QStringLiteral("firmware"), QStringLiteral("%1.%2").arg(c.FirmwareMajor()).arg(c.FirmwareMinor()));
        o.insert(QStringLiteral("console"), console);
        o.insert(QStringLiteral("gameMode"), gameMode);
        o.insert(QStringLiteral("midiOut"), c.MidiOut());
        o.insert(QStringLiteral("mapCount"), g.maps);
        o.insert(QStringLiteral("activeMap"), box->ActiveMap() + 1);
        o.insert(QStringLiteral("outputs"), g.outputs);
        o.insert(QStringLiteral("notesPerOutput"), g.notesPerOutput);
        if (v.hasSwitchNote)
            o.insert(QStringLiteral("switchNote"), v.switchNote == NoNote ? QJsonValue() : QJsonValue(v.switchNote));
        if (duration)
            o.insert(QStringLiteral("noteDurationMs"), *duration);
        if (velocity)
            o.insert(QStringLiteral("velocityThreshold"), *velocity);
        if (hiHat)
            o.insert(QStringLiteral("hiHatThreshold"),
                     *hiHat == settings::kHiHatOff ? QJsonValue() : QJsonValue(*hiHat));
        out << QJsonDocument(o).toJson(QJsonDocument::Indented);
    } else {
        auto line = [this](const QString &name, const QString &value) {
            out << QStringLiteral("%1 %2").arg(name + QLatin1Char(':'), -20).arg(value) << '\n';
        };
        const QString noReplyText = QStringLiteral("no reply");
        line(QStringLiteral("Model"), ModelNames.value(c.Model()));
        line(QStringLiteral("Firmware"), v.firmware);
        line(QStringLiteral("Console"), console);
        line(QStringLiteral("Game mode"), gameMode);
        line(QStringLiteral("MIDI OUT"), c.MidiOut() ? QStringLiteral("yes") : QStringLiteral("no"));
        line(QStringLiteral("Maps"), QStringLiteral("%1 (active: Map %2)").arg(g.maps).arg(box->ActiveMap() + 1));
        line(QStringLiteral("Map layout"),
             QStringLiteral("%1 outputs x %2 notes").arg(g.outputs).arg(g.notesPerOutput));
        line(QStringLiteral("Switch note"), !v.hasSwitchNote         ? QStringLiteral("not supported")
                                            : v.switchNote == NoNote ? QStringLiteral("none")
                                                                     : QString::number(v.switchNote));
        line(QStringLiteral("Note duration"), duration ? QStringLiteral("%1 ms").arg(*duration) : noReplyText);
        line(QStringLiteral("Velocity threshold"), !hasVelocity ? QStringLiteral("not on this model")
                                                   : velocity   ? QString::number(*velocity)
                                                                : noReplyText);
        line(QStringLiteral("Hi-hat threshold"), !hasHiHat                       ? QStringLiteral("not supported")
                                                 : !hiHat                        ? noReplyText
                                                 : *hiHat == settings::kHiHatOff ? QStringLiteral("off")
                                                                                 : QString::number(*hiHat));
    }
    out.flush();
    if (!missing.isEmpty())
        return noReply(missing.join(QStringLiteral(", ")));
    return kExitOk;
}

// --- Maps ----------------------------------------------------------------------------------

int TRun::getMap(const TArgs &a)
{
    if (a.positional.size() != 1)
        return usage(QStringLiteral("get-map"), QStringLiteral("get-map needs one FILE"));
    const QString file = mapFileName(a.positional.first());
    if (QFileInfo(file).isDir())
        return fail(QStringLiteral("%1: is a folder").arg(file));
    if (int rc = connect())
        return rc;
    const TMapGeometry g = box->Geometry();
    TNoteMaps maps;
    if (int rc = runTransfer([&](TMapTransfer &t) { t.ReadMaps(maps, g.maps, g.outputs, g.notesPerOutput); }))
        return rc;
    const TMapFileResult saved = SaveMapFile(file, maps, {g.maps, g.outputs, g.notesPerOutput, box->ActiveMap()});
    if (!saved.ok)
        return fail(QStringLiteral("%1: the map could not be saved: %2").arg(file, saved.error));
    out << QStringLiteral("%1 %2 of %3 outputs x %4 notes saved in %5")
               .arg(g.maps)
               .arg(g.maps == 1 ? QStringLiteral("map") : QStringLiteral("maps"))
               .arg(g.outputs)
               .arg(g.notesPerOutput)
               .arg(file)
        << Qt::endl;
    return kExitOk;
}

int TRun::storeMap(const TArgs &a)
{
    if (a.positional.size() != 1)
        return usage(QStringLiteral("store-map"), QStringLiteral("store-map needs one FILE"));
    const QString file = mapFileName(a.positional.first());
    // The file is checked before anything goes to the box: a file that
    // cannot be read must not empty the box's maps.
    const QFileInfo fi(file);
    if (!fi.exists())
        return fail(QStringLiteral("%1: no such file").arg(file));
    if (fi.isDir())
        return fail(QStringLiteral("%1: is a folder").arg(file));
    {
        XmlFileStorage check;
        try {
            check.SetFileName(file);
        } catch (const EStoreError &e) {
            return fail(e.message());
        }
        if (check.DocumentRootName() != QStringLiteral("Configuration"))
            return fail(QStringLiteral("%1: not a MIDI Zembrik map file (its root element is %2)")
                            .arg(file, check.DocumentRootName()));
    }
    // Reading a map file through the store writes it back; the user's file
    // is only read, so a private copy is loaded.
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("load.map"));
    if (!scratch.isValid() || !QFile::copy(file, copy))
        return fail(QStringLiteral("%1: cannot be read").arg(file));
    if (int rc = connect())
        return rc;
    const TMapGeometry g = box->Geometry();
    TNoteMaps maps;
    const TMapFileResult loaded = LoadMapFile(copy, maps, {g.maps, g.outputs, g.notesPerOutput, 0});
    if (!loaded.recovery.isEmpty())
        return fail(QStringLiteral("%1: cannot be read").arg(file));
    // An older single-map file holds Map 1 only.
    const int mapCount = loaded.legacy ? 1 : g.maps;
    // Notes the box has no room for are named, not dropped silently.
    TNoteMaps whole;
    LoadMapFile(copy, whole, {MaxMaps, MaxOutputs, MaxNotesPerOutput, 0});
    const int left = countNotes(whole) - countNotes(maps);
    if (left > 0)
        err << kProgram << ": warning: " << left << (left == 1 ? " note" : " notes") << " of " << file
            << " lie outside this box's layout (" << g.maps << (g.maps == 1 ? " map" : " maps") << " of " << g.outputs
            << " outputs x " << g.notesPerOutput << " notes) and are not stored" << Qt::endl;
    for (int m = 0; m < mapCount; ++m)
        for (int o = 0; o < g.outputs; ++o) {
            std::array<int, MaxNotesPerOutput> row;
            for (int s = 0; s < MaxNotesPerOutput; ++s)
                row[s] = maps.At(m, o, s);
            CompactRow(row);
            for (int s = 0; s < MaxNotesPerOutput; ++s)
                maps.Set(m, o, s, row[s]);
        }
    if (int rc = runTransfer([&](TMapTransfer &t) { t.WriteMaps(maps, mapCount, g.outputs, g.notesPerOutput); }))
        return rc;
    out << QStringLiteral("%1 %2 from %3 stored on %4")
               .arg(mapCount)
               .arg(mapCount == 1 ? QStringLiteral("map") : QStringLiteral("maps"))
               .arg(file, ModelNames.value(box->connection.Model()))
        << Qt::endl;
    return kExitOk;
}

// --- set -----------------------------------------------------------------------------------

int TRun::set(const TArgs &a)
{
    const QString setCmd = QStringLiteral("set");
    if (a.positional.size() != 2)
        return usage(setCmd, QStringLiteral("set needs a SETTING and a VALUE"));
    const QString name = a.positional[0];
    const QString value = a.positional[1].toLower();
    auto bad = [&](const QString &expected) {
        return usage(setCmd, QStringLiteral("%1: '%2' is not %3").arg(name, a.positional[1], expected));
    };

    // The value is checked before the box is looked for.
    TCommand command;
    QString done;
    enum { Duration, Velocity, HiHat, SwitchNote, GameMode, ActiveMap } which;
    if (name == QStringLiteral("duration")) {
        const auto ms = parseNumber(value, settings::kDurationRange.min, settings::kDurationRange.max);
        if (!ms)
            return bad(QStringLiteral("a duration of 10 to 120 ms"));
        which = Duration;
        command = settings::NoteDurationCommand(*ms);
        done = QStringLiteral("Note duration set to %1 ms").arg(settings::NoteDurationSent(command));
    } else if (name == QStringLiteral("velocity")) {
        const auto v = parseNumber(value, settings::kVelocityRange.min, settings::kVelocityRange.max);
        if (!v)
            return bad(QStringLiteral("a velocity of 0 to 127"));
        which = Velocity;
        command = settings::VelocityThresholdCommand(*v);
        done = QStringLiteral("Velocity threshold set to %1").arg(command.arg1);
    } else if (name == QStringLiteral("hihat")) {
        which = HiHat;
        if (value == QStringLiteral("off")) {
            command = settings::HiHatThresholdCommand(settings::kHiHatOff);
            done = QStringLiteral("Hi-hat pedal threshold off");
        } else {
            const auto v = parseNumber(value, settings::kHiHatRange.min, settings::kHiHatRange.max);
            if (!v)
                return bad(QStringLiteral("a pedal position of 0 to 127, or off"));
            command = settings::HiHatThresholdCommand(settings::HiHatThresholdByte(*v));
            done = QStringLiteral("Hi-hat pedal threshold set to %1").arg(command.arg1);
        }
    } else if (name == QStringLiteral("switch-note")) {
        which = SwitchNote;
        if (value == QStringLiteral("none")) {
            command = cmd::SetSwitchNote(kNoNoteValue);
            done = QStringLiteral("Switch note cleared");
        } else {
            const auto n = parseInteger(value, 0, 127);
            if (!n)
                return bad(QStringLiteral("a note of 0 to 127, or none"));
            command = cmd::SetSwitchNote(static_cast<quint8>(*n));
            done = QStringLiteral("Switch note set to %1").arg(*n);
        }
    } else if (name == QStringLiteral("game-mode")) {
        which = GameMode;
        int mode;
        if (value == QStringLiteral("rock-band"))
            mode = 0;
        else if (value == QStringLiteral("guitar-hero"))
            mode = 1;
        else
            return bad(QStringLiteral("rock-band or guitar-hero"));
        command = cmd::SetGameMode(static_cast<quint8>(mode));
        done = QStringLiteral("Game mode set to %1").arg(GameModeNames.value(mode));
    } else if (name == QStringLiteral("active-map")) {
        which = ActiveMap;
        const auto m = parseInteger(value, 1, MaxMaps);
        if (!m)
            return bad(QStringLiteral("1 or 2"));
        command = cmd::SelectMap(static_cast<quint8>(*m - 1));
        done = QStringLiteral("Map %1 is the active map").arg(*m);
    } else {
        return usage(setCmd, QStringLiteral("unknown setting '%1'").arg(name));
    }

    if (int rc = connect())
        return rc;
    const TConnection &c = box->connection;
    const bool kq = c.Model() == 1;
    auto firmwareText = [this] {
        return box->view.firmware == QStringLiteral("Error") ? QStringLiteral("a version that could not be read")
                                                             : box->view.firmware;
    };
    switch (which) {
    case Duration:
        break;
    case Velocity:
        if (!settings::HasVelocityThreshold(c))
            return fail(QStringLiteral("this %1 has no velocity threshold (the MIDI Zembrik KQ has one)")
                            .arg(ModelNames.value(c.Model())));
        break;
    case HiHat:
        if (!settings::HasHiHatThreshold(c))
            return fail(QStringLiteral("the hi-hat pedal threshold needs firmware %1 or later; this %2 has %3")
                            .arg(kq ? QStringLiteral("1.8") : QStringLiteral("3.8"), ModelNames.value(c.Model()),
                                 firmwareText()));
        break;
    case SwitchNote:
        if (!c.Supports(ffSwitchNote) || !box->view.hasSwitchNote)
            return fail(QStringLiteral("the switch note needs firmware %1 or later; this %2 has %3")
                            .arg(kq ? QStringLiteral("1.7") : QStringLiteral("3.6"), ModelNames.value(c.Model()),
                                 firmwareText()));
        break;
    case GameMode:
        if (!box->view.gameModeSwitchable)
            return fail(QStringLiteral("an Xbox MIDI Zembrik without MIDI OUT plays Rock Band only"));
        break;
    case ActiveMap:
        if (!c.Supports(ffMultiMap))
            return fail(QStringLiteral("this %1 has one map (firmware %2; several maps need 3.0 or later)")
                            .arg(ModelNames.value(c.Model()), firmwareText()));
        if (command.arg1 >= box->Geometry().maps)
            return fail(
                QStringLiteral("this %1 has %2 map only").arg(ModelNames.value(c.Model())).arg(box->Geometry().maps));
        break;
    }
    TCommandReply reply;
    if (!send(command, reply))
        return noReply(QStringLiteral("command 0x%1").arg(command.code, 2, 16, QLatin1Char('0')));
    out << done << Qt::endl;
    return kExitOk;
}

// --- log -----------------------------------------------------------------------------------

int gSignalPipe[2] = {-1, -1};

void onStopSignal(int sig)
{
    const int saved = errno;
    const char c = static_cast<char>(sig);
    [[maybe_unused]] const auto n = ::write(gSignalPipe[1], &c, 1);
    errno = saved;
}

// SIGINT and SIGTERM are written into a pipe that the event loop watches,
// while the object lives.
class TStopSignals {
public:
    TStopSignals()
    {
        if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        struct sigaction sa = {};
        sa.sa_handler = onStopSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &sa, &oldInt_);
        ::sigaction(SIGTERM, &sa, &oldTerm_);
        notifier_ = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
        installed_ = true;
    }
    ~TStopSignals()
    {
        if (!installed_)
            return;
        notifier_.reset();
        ::sigaction(SIGINT, &oldInt_, nullptr);
        ::sigaction(SIGTERM, &oldTerm_, nullptr);
        ::close(gSignalPipe[0]);
        ::close(gSignalPipe[1]);
        gSignalPipe[0] = gSignalPipe[1] = -1;
    }
    QSocketNotifier *Notifier() const { return notifier_.get(); }

private:
    bool installed_ = false;
    struct sigaction oldInt_ = {}, oldTerm_ = {};
    std::unique_ptr<QSocketNotifier> notifier_;
};

// A pipe or socket whose reader has gone reports an error on poll.
bool readerGone(int fd)
{
    pollfd p{fd, 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL));
}

int TRun::log(const TArgs &a)
{
    if (!a.positional.isEmpty())
        return usage(QStringLiteral("log"), QStringLiteral("log takes no arguments"));
    int limit = -1;
    if (a.options.contains(QStringLiteral("--count"))) {
        const auto n = parseInteger(a.options.value(QStringLiteral("--count")), 1, 1000000000);
        if (!n)
            return usage(QStringLiteral("log"), QStringLiteral("--count needs a number of events above 0"));
        limit = *n;
    }
    const bool csv = a.options.contains(QStringLiteral("--csv"));
    if (int rc = connect())
        return rc;
    if (!box->connection.Supports(ffMidiLog))
        err << "NOTE: These diagnostics require firmware version 2.3 or greater." << Qt::endl;

    // The box's log reports go through the log page's own log.
    std::unique_ptr<ILogDecoder> decoder =
        std::make_unique<TMidiLogDecoder>(!a.options.contains(QStringLiteral("--show-note-off")));

    enum class End { None, Stopped, ReaderGone, Removed };
    End end = End::None;
    QEventLoop loop;
    auto stop = [&](End why) {
        if (end == End::None)
            end = why;
        loop.quit();
    };
    int events = 0;
    auto print = [&](const std::vector<TLogRow> &rows) {
        for (const TLogRow &row : rows) {
            if (end == End::ReaderGone || (limit >= 0 && events >= limit))
                return;
            out << (csv ? LogCsvLine(row.Cells()) : LogRowText(row) + QLatin1Char('\n'));
            out.flush();
            if (out.status() != QTextStream::Ok) {
                stop(End::ReaderGone);
                return;
            }
            if (limit >= 0 && ++events >= limit)
                stop(End::Stopped);
        }
    };

    out << (csv ? LogCsvLine({QStringLiteral("Interval"), QStringLiteral("Event"), QStringLiteral("Note"),
                              QStringLiteral("Velocity")})
                : LogHeadingText() + QLatin1Char('\n'));
    out.flush();

    bool logging = false;
    const QMetaObject::Connection reports =
        QObject::connect(&box->link, &TDeviceLink::ReportReceived, &loop, [&](const TJvHidReport &r) {
            if (logging && end == End::None)
                print(decoder->ProcessLogReport(r.Data, r.Size, r.ReadAtNs / 1000000));
        });
    QObject::connect(&box->link, &TDeviceLink::Removal, &loop, [&] {
        // The connection routine has run by the time this is queued through.
        QTimer::singleShot(0, &loop, [&] {
            if (!box->connection.Connected() || !box->link.CurrentDevice)
                stop(End::Removed);
        });
    });
    std::unique_ptr<TStopSignals> stopSignals;
    if (options.handleSignals) {
        stopSignals = std::make_unique<TStopSignals>();
        if (QSocketNotifier *n = stopSignals->Notifier())
            QObject::connect(n, &QSocketNotifier::activated, &loop, [&] { stop(End::Stopped); });
    }
    QTimer pipeWatch;
    if (options.outFd >= 0) {
        struct stat st = {};
        if (::fstat(options.outFd, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))) {
            QObject::connect(&pipeWatch, &QTimer::timeout, &loop, [&] {
                if (readerGone(options.outFd))
                    stop(End::ReaderGone);
            });
            pipeWatch.start(200);
        }
    }

    TCommandReply reply;
    logging = true;
    if (!send(cmd::SetMidiLog(true), reply)) {
        logging = false;
        send(cmd::SetMidiLog(false), reply);
        return noReply(QStringLiteral("command 0x0b, logging on"));
    }
    if (end == End::None)
        loop.exec();
    pipeWatch.stop();
    if (end != End::ReaderGone && end != End::Removed)
        print(decoder->Finish());
    logging = false;
    QObject::disconnect(reports);
    if (end == End::Removed)
        return fail(QStringLiteral("the MIDI Zembrik was removed"));
    if (!send(cmd::SetMidiLog(false), reply))
        return noReply(QStringLiteral("command 0x0b, logging off"));
    return kExitOk;
}

} // namespace

int RunCli(const QStringList &args, QTextStream &out, QTextStream &err, const TCliOptions &options)
{
    TRun run(out, err, options);
    if (args.isEmpty())
        return run.usage(QString(), QStringLiteral("no command given"));
    const QString command = args.first();
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") || command == QStringLiteral("help")) {
        out << kGeneralHelp;
        out.flush();
        return kExitOk;
    }
    if (!kCommandHelp.contains(command))
        return run.usage(QString(), QStringLiteral("unknown command '%1'").arg(command));

    static const QMap<QString, QStringList> flags{
        {QStringLiteral("info"), {QStringLiteral("--json")}},
        {QStringLiteral("log"), {QStringLiteral("--csv"), QStringLiteral("--show-note-off")}},
    };
    static const QMap<QString, QStringList> valued{{QStringLiteral("log"), {QStringLiteral("--count")}}};
    const TArgs a = parseArgs(args.mid(1), flags.value(command), valued.value(command));
    if (a.help) {
        out << kCommandHelp.value(command);
        out.flush();
        return kExitOk;
    }
    if (!a.error.isEmpty())
        return run.usage(command, a.error);

    int rc;
    if (command == QStringLiteral("info"))
        rc = run.info(a);
    else if (command == QStringLiteral("get-map"))
        rc = run.getMap(a);
    else if (command == QStringLiteral("store-map"))
        rc = run.storeMap(a);
    else if (command == QStringLiteral("set"))
        rc = run.set(a);
    else
        rc = run.log(a);
    run.box.reset(); // ends the session before the platform goes
    out.flush();
    err.flush();
    return rc;
}

} // namespace zembrik::cli
