// The connection routine and the box's identity.
//
// TConnection runs the greeting sequence whenever the device link reports an
// arrival (while not connected) or any removal: release, enumerate, hello,
// model, version, options, maps, map size, switch note.  It keeps the box's
// identity and decides the firmware features from model and version.  What
// is shown, and the routines of the map editor and the settings page, sit
// behind IConnectionView, which the main window implements and tests fake.
//
// A device change that comes while the routine runs, or while the window
// holds device changes back (a map transfer is using the box), is kept and
// handled as soon as that has ended.  Owned by the main window; UI thread
// only.
#pragma once

#include "device/DeviceLink.h"

#include <QStringList>

namespace zembrik {

enum TFirmwareFeature { ffDiagnostics, ffMidiLog, ffMultiMap, ffSwitchNote, ffHiHatThreshold };

bool FirmwareSupports(int model, int firmwareMajor, int firmwareMinor, int feature);

inline const QStringList ModelNames{QStringLiteral("MIDI Zembrik"), QStringLiteral("MIDI Zembrik KQ")};
inline const QStringList ConsoleNames{QStringLiteral("Playstation"), QStringLiteral("Wii"), QStringLiteral("Xbox")};
inline const QStringList GameModeNames{QStringLiteral("ROCK BAND 2"), QStringLiteral("GUITAR HERO")};

// What to tell a user whose box was found but cannot be opened: the node,
// the cause and the udev rule that fixes it.
QString AccessErrorHelp(const QString &error);

class IConnectionView {
public:
    virtual ~IConnectionView() = default;
    // Information panel and status bar.
    virtual void ShowModel(int model) = 0;
    virtual void SetConsole(int console) = 0;
    virtual void AppendConsoleText(const QString &text) = 0;
    virtual void ShowStatus(const QString &text) = 0;
    virtual void ShowFirmware(const QString &text) = 0;
    virtual void ShowGameMode(const QString &text) = 0;
    virtual void ShowConnectionState(bool connected) = 0;
    // A box that matches but cannot be opened: node, cause and the fix.
    virtual void ShowAccessError(const QString &error) = 0;
    virtual void WarnRemoval() = 0;
    // The game-mode view; sends command 0x18 itself.
    virtual void SetGameModeView(int mode) = 0;
    virtual int ViewGameMode() const = 0;
    virtual void SetViewMenuVisible(bool visible) = 0;
    // The map editor.
    virtual void SetSwitchGroupVisible(bool visible) = 0;
    virtual void SetCloneVisible(bool visible) = 0;
    virtual void SetMapCount(int count) = 0;
    virtual void SelectMap(int map) = 0;
    virtual int CurrentMap() const = 0;
    virtual void SetMapGeometry(int outputs, int notesPerOutput) = 0;
    // Shows the note and, while connected, sends it back with command 0x14.
    virtual void SetSwitchNote(int note) = 0;
    // Whether a removal would lose an edited map the box does not hold.
    virtual bool UnsavedMapAtRisk() const = 0;
    // The box was greeted and read: what the window holds is no longer
    // known to be on this box.
    virtual void BoxGreeted() = 0;
    // The settings page.
    virtual void ReadDeviceSettings() = 0;
};

class TConnection : public QObject {
    Q_OBJECT
public:
    TConnection(TDeviceLink &link, IConnectionView &view, QObject *parent = nullptr);

    // The transport's arrival and removal handlers.
    void HIDControllerArrival();
    void HIDControllerRemoval();
    void UpdateConnection();
    // The window closes through its close box: command 0x00 while connected.
    void EndSession();

    // While held, arrivals and removals are only remembered; releasing runs
    // the one that is due from the event loop.
    void HoldDeviceChanges(bool hold);
    bool Busy() const { return held_ || running_; }

    // The box's identity, as the last greeting found it.
    bool Connected() const { return connected_; }
    int Model() const { return model_; }
    int Console() const { return console_; }
    int FirmwareMajor() const { return firmwareMajor_; }
    int FirmwareMinor() const { return firmwareMinor_; }
    bool MidiOut() const { return midiOut_; }
    int MapCount() const { return mapCount_; }
    bool Supports(int feature) const { return FirmwareSupports(model_, firmwareMajor_, firmwareMinor_, feature); }

private:
    void deviceEvent(bool removal);
    void runPendingDeviceEvent();
    bool send(const TCommand &c, TCommandReply &r) { return link_.SendCommand(c, r); }
    TDeviceLink &link_;
    IConnectionView &view_;
    bool connected_ = false;
    int model_ = 0;
    int console_ = 0;
    int firmwareMajor_ = -1;
    int firmwareMinor_ = 0;
    bool midiOut_ = false;
    int mapCount_ = 2;
    bool held_ = false;
    bool running_ = false;
    bool pending_ = false;
    bool pendingRemoval_ = false;
};

} // namespace zembrik
