// A software model of the box's firmware.
//
// It takes the 9-byte command reports the program sends and answers with the
// box's 64-byte input reports: a controller report whose data bytes 3 and 4
// carry the results and byte 5 the echoed sequence number.  While logging is
// on it turns fed MIDI events into log reports.  It keeps all the state the
// commands read and write.  No threads and no timing here: VirtualBox adds
// those, and tests may drive the firmware directly.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <vector>

namespace zembrik {

using InputReport = std::array<quint8, 64>; // data bytes, no report-ID byte

struct BoxConfig {
    enum class Model { Base, KQ };
    Model model = Model::Base;
    int firmwareMajor = 3;
    int firmwareMinor = 8;
    quint16 vendorId = 0x12BA; // Playstation, Rock Band
    quint16 productId = 0x0210;
    quint16 versionNumber = 0x0100;
    QString manufacturer = QStringLiteral("Zembrik Labs");
    QString product = QStringLiteral("MIDI Zembrik");
    bool midiOut = true;
    int mapCount = 2;
    int outputs = 8;
    int notesPerOutput = 10;
    int activeMap = 0;
    int switchNote = 255;
    int noteDuration = 5; // units of 10 ms
    int velocityThreshold = 0;
    int hiHatThreshold = 255;
    int gameMode = 0;
};

// The box as a Playstation Rock Band kit of the given model and version.
BoxConfig MakeBoxConfig(BoxConfig::Model model, int major, int minor, bool midiOut = true);

struct ReceivedCommand {
    quint8 code;
    quint8 sequence;
    quint8 arg1, arg2, arg3;
};

class ZembrikFirmware {
public:
    explicit ZembrikFirmware(const BoxConfig &config = {});

    const BoxConfig &config() const { return config_; }
    // Reconfigures; the maps are resized and cleared.
    void setConfig(const BoxConfig &config);

    // Handles one command report (report-ID byte first).  Returns the input
    // reports the box sends in answer: one reply, or none (end of session,
    // a report that is not a command, an unknown code).
    std::vector<InputReport> handleCommand(const quint8 *report, std::size_t length);

    // Streamed reports.
    InputReport controllerReport() const;
    // Feeds MIDI events as (code, value) pairs; returns the log reports the
    // box sends, 30 pairs at most each, or none while logging is off.
    std::vector<InputReport> feedMidi(const std::vector<std::pair<quint8, quint8>> &pairs);

    // Controller state (bytes 0, 1, 2, 15, 16, 17 of the controller report).
    void setPadBits(quint8 byte0, quint8 byte1)
    {
        pads_[0] = byte0;
        pads_[1] = byte1;
    }
    void setDirection(quint8 d) { direction_ = d; }
    void setKnob(quint8 k) { knob_ = k; }
    void setModeSwitch(quint8 m) { modeSwitch_ = m; }
    void setFunctionSwitch(quint8 f) { functionSwitch_ = f; }

    // State behind the commands.
    int mapEntry(int map, int output, int slot) const;
    void setMapEntry(int map, int output, int slot, int note);
    int activeMap() const { return config_.activeMap; }
    int switchNote() const { return config_.switchNote; }
    int noteDuration() const { return config_.noteDuration; }
    int velocityThreshold() const { return config_.velocityThreshold; }
    int hiHatThreshold() const { return config_.hiHatThreshold; }
    int gameMode() const { return config_.gameMode; }
    bool logging() const { return logging_; }
    bool sessionEnded() const { return sessionEnded_; }

    const std::vector<ReceivedCommand> &commands() const { return commands_; }
    void clearCommands() { commands_.clear(); }

    // Faults of the firmware itself.
    void setHelloReply(int first, int second)
    {
        helloFirst_ = first;
        helloSecond_ = second;
    }

private:
    int index(int map, int output, int slot) const;

    BoxConfig config_;
    std::vector<int> maps_;
    std::array<quint8, 2> pads_{};
    quint8 direction_ = 8;
    quint8 knob_ = 0;
    quint8 modeSwitch_ = 2;
    quint8 functionSwitch_ = 0;
    quint8 lastFirst_ = 0, lastSecond_ = 0, lastSequence_ = 0;
    bool logging_ = false;
    bool sessionEnded_ = false;
    quint8 logSequence_ = 0;
    int helloFirst_ = -1, helloSecond_ = -1;
    std::vector<ReceivedCommand> commands_;
};

// The box's report descriptor: no report IDs, 64-byte input reports,
// 8-byte feature reports.
QByteArray BoxReportDescriptor();

} // namespace zembrik
