#include "emulator/ZembrikFirmware.h"

#include "device/Commands.h"

#include <algorithm>

namespace zembrik {

BoxConfig MakeBoxConfig(BoxConfig::Model model, int major, int minor, bool midiOut)
{
    BoxConfig c;
    c.model = model;
    c.firmwareMajor = major;
    c.firmwareMinor = minor;
    c.midiOut = midiOut;
    if (model == BoxConfig::Model::KQ) {
        c.manufacturer = QStringLiteral("Zembrik KQ Labs");
        c.product = QStringLiteral("MIDI Zembrik KQ");
    }
    return c;
}

ZembrikFirmware::ZembrikFirmware(const BoxConfig &config)
{
    setConfig(config);
}

void ZembrikFirmware::setConfig(const BoxConfig &config)
{
    config_ = config;
    config_.mapCount = std::clamp(config_.mapCount, 1, 16);
    config_.outputs = std::clamp(config_.outputs, 1, 32);
    config_.notesPerOutput = std::clamp(config_.notesPerOutput, 1, 32);
    maps_.assign(static_cast<std::size_t>(config_.mapCount * config_.outputs * config_.notesPerOutput), kNoNoteValue);
}

int ZembrikFirmware::index(int map, int output, int slot) const
{
    if (map < 0 || map >= config_.mapCount || output < 0 || output >= config_.outputs || slot < 0 ||
        slot >= config_.notesPerOutput)
        return -1;
    return (map * config_.outputs + output) * config_.notesPerOutput + slot;
}

int ZembrikFirmware::mapEntry(int map, int output, int slot) const
{
    const int i = index(map, output, slot);
    return i < 0 ? kNoNoteValue : maps_[static_cast<std::size_t>(i)];
}

void ZembrikFirmware::setMapEntry(int map, int output, int slot, int note)
{
    const int i = index(map, output, slot);
    if (i >= 0)
        maps_[static_cast<std::size_t>(i)] = note & 0xFF;
}

InputReport ZembrikFirmware::controllerReport() const
{
    InputReport r{};
    r[0] = pads_[0];
    r[1] = pads_[1];
    r[2] = direction_;
    // The reply bytes stay in every controller report until the next reply.
    r[3] = lastFirst_;
    r[4] = lastSecond_;
    r[5] = lastSequence_;
    r[15] = knob_;
    r[16] = modeSwitch_;
    r[17] = functionSwitch_;
    return r;
}

std::vector<InputReport> ZembrikFirmware::handleCommand(const quint8 *report, std::size_t length)
{
    if (!report || length < 7 || report[1] != kCommandMarker)
        return {};
    const quint8 code = report[2];
    const quint8 seq = report[3];
    const quint8 a1 = report[4], a2 = report[5], a3 = report[6];
    commands_.push_back({code, seq, a1, a2, a3});

    int first = 0, second = 0;
    switch (code) {
    case CMD_END_SESSION:
        sessionEnded_ = true;
        logging_ = false;
        return {};
    case CMD_GET_VERSION:
        first = config_.firmwareMajor;
        second = config_.firmwareMinor;
        break;
    case CMD_HELLO:
        first = helloFirst_ >= 0 ? helloFirst_ : a1;
        second = helloSecond_ >= 0 ? helloSecond_ : a2;
        sessionEnded_ = false;
        break;
    case CMD_GET_MAP_ENTRY:
        first = mapEntry(config_.activeMap, a1, a2);
        break;
    case CMD_SET_MAP_ENTRY:
        setMapEntry(config_.activeMap, a1, a2, a3);
        break;
    case CMD_GET_NOTE_DURATION:
        first = config_.noteDuration;
        break;
    case CMD_SET_NOTE_DURATION:
        config_.noteDuration = a1;
        break;
    case CMD_GET_MAP_SIZE:
        first = config_.outputs;
        second = config_.notesPerOutput;
        break;
    case CMD_SET_MIDI_LOG:
        logging_ = a1 != 0;
        break;
    case CMD_GET_VELOCITY_THRESHOLD:
        first = config_.velocityThreshold;
        break;
    case CMD_SET_VELOCITY_THRESHOLD:
        config_.velocityThreshold = a1;
        break;
    case CMD_GET_MAP_COUNT:
        first = config_.mapCount;
        break;
    case CMD_GET_ACTIVE_MAP:
        first = config_.activeMap;
        break;
    case CMD_SELECT_MAP:
        if (a1 < config_.mapCount)
            config_.activeMap = a1;
        break;
    case CMD_GET_SWITCH_NOTE:
        first = config_.switchNote;
        break;
    case CMD_SET_SWITCH_NOTE:
        config_.switchNote = a1;
        break;
    case CMD_GET_HIHAT_THRESHOLD:
        first = config_.hiHatThreshold;
        break;
    case CMD_SET_HIHAT_THRESHOLD:
        config_.hiHatThreshold = a1;
        break;
    case CMD_GET_OPTIONS:
        first = config_.midiOut ? kOptionMidiOut : 0;
        break;
    case CMD_SET_GAME_MODE:
        config_.gameMode = a1 ? 1 : 0;
        break;
    default:
        return {}; // unknown codes go unanswered
    }
    lastFirst_ = static_cast<quint8>(first);
    lastSecond_ = static_cast<quint8>(second);
    lastSequence_ = seq;
    return {controllerReport()};
}

std::vector<InputReport> ZembrikFirmware::feedMidi(const std::vector<std::pair<quint8, quint8>> &pairs)
{
    std::vector<InputReport> out;
    if (!logging_)
        return out;
    constexpr std::size_t kPairsPerReport = 30;
    for (std::size_t start = 0; start < pairs.size(); start += kPairsPerReport) {
        const std::size_t count = std::min(kPairsPerReport, pairs.size() - start);
        InputReport r{};
        r[0] = kCommandMarker;
        r[1] = ++logSequence_;
        r[2] = static_cast<quint8>(count * 2);
        for (std::size_t k = 0; k < count; ++k) {
            r[3 + 2 * k] = pairs[start + k].first;
            r[4 + 2 * k] = pairs[start + k].second;
        }
        out.push_back(r);
    }
    return out;
}

QByteArray BoxReportDescriptor()
{
    static const unsigned char d[] = {
        0x06, 0x00, 0xFF, // usage page (vendor 0xFF00)
        0x09, 0x01,       // usage 1
        0xA1, 0x01,       // collection (application)
        0x15, 0x00,       //   logical minimum 0
        0x26, 0xFF, 0x00, //   logical maximum 255
        0x75, 0x08,       //   report size 8
        0x95, 0x40,       //   report count 64
        0x09, 0x01,       //   usage 1
        0x81, 0x02,       //   input (data, variable, absolute)
        0x95, 0x08,       //   report count 8
        0x09, 0x02,       //   usage 2
        0xB1, 0x02,       //   feature (data, variable, absolute)
        0xC0,             // end collection
    };
    return QByteArray(reinterpret_cast<const char *>(d), sizeof d);
}

} // namespace zembrik
