// A connection view that shows nothing, for programs and tests that run the
// connection routine without a window.  It keeps what the routine asks back
// (the game-mode view, the map shown) and, as the window does, asks the box
// to follow a game-mode view with command 0x18.
#pragma once

#include "device/Connection.h"

namespace zembrik {

class TNullConnectionView : public IConnectionView {
public:
    explicit TNullConnectionView(TDeviceLink &link) : link_(link) {}
    void ShowModel(int) override {}
    void SetConsole(int) override {}
    void AppendConsoleText(const QString &) override {}
    void ShowStatus(const QString &) override {}
    void ShowFirmware(const QString &) override {}
    void ShowGameMode(const QString &) override {}
    void ShowConnectionState(bool) override {}
    void ShowAccessError(const QString &) override {}
    void WarnRemoval() override {}
    void SetGameModeView(int mode) override
    {
        view_ = mode;
        TCommandReply r;
        link_.SendCommand(cmd::SetGameMode(static_cast<quint8>(mode)), r);
    }
    int ViewGameMode() const override { return view_; }
    void SetViewMenuVisible(bool) override {}
    void SetSwitchGroupVisible(bool) override {}
    void SetCloneVisible(bool) override {}
    void SetMapCount(int) override {}
    void SelectMap(int map) override { map_ = map; }
    int CurrentMap() const override { return map_; }
    void SetMapGeometry(int, int) override {}
    void SetSwitchNote(int) override {}
    bool UnsavedMapAtRisk() const override { return false; }
    void BoxGreeted() override {}
    void ReadDeviceSettings() override {}

protected:
    TDeviceLink &link_;

private:
    int view_ = 0;
    int map_ = 0;
};

} // namespace zembrik
