// The main window on the in-process bus with an emulated box, and a
// prompter that answers every question without a modal loop.  Widget tests
// run on the offscreen platform.
#pragma once

#include "Modules/GuiLib.h"
#include "Modules/Main.h"
#include "charts/ChartPanel.h"
#include "emulator/EmulatedHidPlatform.h"
#include "emulator/VirtualBox.h"
#include "maps/MapPage.h"
#include "tests/FakePrompter.h"
#include "tests/LinkHarness.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace zembrik::test {

// A box as the demo's defaults make it: base model, firmware 3.8, MIDI OUT.
inline BoxConfig boxConfig(BoxConfig::Model m = BoxConfig::Model::Base, int major = 3, int minor = 8,
                           bool midiOut = true)
{
    return MakeBoxConfig(m, major, minor, midiOut);
}

// A home of the program's own for a test: its settings file and the trash
// lie in a temporary folder, never in the user's.  A test that restarts the
// program keeps one SettingsHome across its windows; otherwise each window
// gets a fresh one.
class SettingsHome {
public:
    SettingsHome()
    {
        qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("data")).toLocal8Bit());
        current() = this;
    }
    ~SettingsHome() { current() = nullptr; }
    SettingsHome(const SettingsHome &) = delete;
    SettingsHome &operator=(const SettingsHome &) = delete;
    QString path() const { return dir_.path(); }
    static SettingsHome *&current()
    {
        static SettingsHome *home = nullptr;
        return home;
    }

private:
    QTemporaryDir dir_;
};

struct WindowRig {
    std::unique_ptr<SettingsHome> ownHome{SettingsHome::current() ? nullptr : new SettingsHome};
    EmulatedHidPlatform bus;
    std::unique_ptr<VirtualBox> box;
    FakePrompter prompter;
    std::unique_ptr<TformMain> form;
    int boxId = -1;

    // Without a config: no box is plugged in.
    explicit WindowRig(const BoxConfig *config = nullptr, int rememberedModel = 0)
    {
        form = std::make_unique<TformMain>(&bus, prompter);
        SetTag(form->grpInfo, rememberedModel);
        if (config) {
            box = std::make_unique<VirtualBox>(*config);
            boxId = bus.plugBox(box.get());
        }
        form->show();
        if (config) {
            // Connected, and the sequence finished (it ends with the
            // switch note echo or the map size read).
            LinkHarness::waitFor([&] { return form->Connected() && form->mapPage->btnUpload->isEnabled(); });
        } else {
            QTest::qWait(30);
        }
    }
    ~WindowRig()
    {
        form.reset();
        if (box)
            box.reset();
    }

    QString wire() const { return WireText(*box); }
};

} // namespace zembrik::test
