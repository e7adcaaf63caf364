#include "platform/comm/CPortList.h"

#include "platform/comm/AlsaMessages.h"
#include "platform/comm/CAlsaLibrary.h"
#include "platform/comm/CSeqPort.h"
#include "platform/comm/CSynthPort.h"
#include "platform/core/ErrorText.h"
#include "platform/core/LastError.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace {

const char* const kOutputOptions =
    "  --port NAME       where the MIDI bytes go:\n"
    "                      synth           the built-in synthesizer on the sound card\n"
    "                      synth:FILE.wav  the built-in synthesizer into a WAV file\n"
    "                      seq:ADDRESS     an ALSA sequencer port, as seq:128:0 or seq:\"FLUID Synth\"\n"
    "                      seq             our own sequencer port, to connect in a patchbay\n"
    "                      capture:FILE    one line per byte: microseconds and hex byte\n"
    "                      /dev/...        a serial port or a raw MIDI device\n"
    "                      none            nothing is sent\n"
    "  --list-ports      print the ports this machine offers, then exit\n"
    "  --soundfont PATH  SoundFont of the built-in synthesizer (default TimGM6mb)\n"
    "  --no-sysex        leave out the song's system-exclusive messages\n"
    "  --reset NAME      the reset sent before every start and jump: none, gm, gm2,\n"
    "                    gs or xg (default none; the window: its setting)\n";

struct DeviceNode {
    std::string prefix;
    long number;
    std::string path;
};

// The device nodes /dev/PREFIX<number> for the given prefixes, in numeric
// order (ttyS2 before ttyS10).
std::vector<DeviceNode> DeviceNodes(const std::string& folder, const std::regex& pattern)
{
    std::vector<DeviceNode> nodes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        std::smatch match;
        if (std::regex_match(name, match, pattern))
            nodes.push_back({ match[1].str(), std::strtol(match[2].str().c_str(), nullptr, 10), entry.path().string() });
    }
    std::sort(nodes.begin(), nodes.end(), [](const DeviceNode& a, const DeviceNode& b) {
        return a.prefix != b.prefix ? a.prefix < b.prefix : a.number < b.number;
    });
    return nodes;
}

std::string CardName(const std::string& path)
{
    std::smatch match;
    static const std::regex card("/dev/snd/midiC([0-9]+)D[0-9]+");
    if (std::regex_match(path, match, card)) {
        int number = static_cast<int>(std::strtol(match[1].str().c_str(), nullptr, 10));
        SilenceAlsaMessages();
        const CAlsaLibrary* alsa = CAlsaLibrary::Get();
        char* name = nullptr;
        if (alsa && alsa->snd_card_get_name(number, &name) >= 0 && name) {
            std::string text = name;
            std::free(name);
            return text;
        }
        return "sound card " + match[1].str();
    }
    return "raw MIDI device";
}

// The kernel makes ttyS nodes for ports that have no UART behind them;
// sysfs tells them apart by their type 0.
bool HasUart(const std::string& name)
{
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int value = -1;
    return !(type >> value) || value != 0;
}

void Add(CPortList& list, const std::string& name, const std::string& description, bool needsFile = false)
{
    list.m_entries.push_back({ CString::FromUtf8(name), CString::FromUtf8(description), needsFile });
}

}

CPortList CPortList::Scan(bool probeSound)
{
    CPortList list;
    std::string synth = "built-in synthesizer on the sound card";
    if (probeSound && !CSynthPort::SoundOutputOpens())
        synth += " (no sound output opens here: try synth:FILE.wav)";
    Add(list, "synth", synth);

    std::vector<CSeqPort::Destination> destinations;
    DWORD error = 0;
    if (CSeqPort::ListDestinations(destinations, error)) {
        Add(list, "seq", "our own sequencer port \"TabrinoCE\", to connect in a patchbay");
        for (const CSeqPort::Destination& d : destinations)
            Add(list, "seq:" + std::to_string(d.client) + ":" + std::to_string(d.port), d.clientName + " / " + d.portName);
    } else {
        list.m_notes.push_back(
            CString(L"no sequencer ports: the ALSA sequencer cannot be opened (") + ErrorText(error) + L")");
    }

    for (const DeviceNode& node : DeviceNodes("/dev/snd", std::regex("(midiC)([0-9]+)D[0-9]+")))
        Add(list, node.path, CardName(node.path));
    for (const DeviceNode& node : DeviceNodes("/dev", std::regex("(midi)([0-9]+)")))
        Add(list, node.path, "raw MIDI device");
    for (const DeviceNode& node : DeviceNodes("/dev", std::regex("(ttyS|ttyUSB|ttyACM)([0-9]+)"))) {
        std::string name = node.path.substr(5);
        if (node.prefix == "ttyS" && !HasUart(name))
            continue;
        Add(list, node.path,
            node.prefix == "ttyS" ? "serial port" : node.prefix == "ttyUSB" ? "USB serial interface" : "USB modem-class interface");
    }

    Add(list, "none", "nothing is sent");
    Add(list, "capture:FILE", "one text line per byte: microseconds and hex byte", true);
    Add(list, "synth:FILE.wav", "the built-in synthesizer rendered into a WAV file", true);
    return list;
}

std::string CPortList::Text() const
{
    std::size_t width = 16;
    for (const Entry& entry : m_entries)
        width = std::max(width, entry.name.ToUtf8().size());
    std::string text;
    for (const Entry& entry : m_entries) {
        std::string name = entry.name.ToUtf8();
        text += name + std::string(width + 2 - name.size(), ' ') + entry.description.ToUtf8() + "\n";
    }
    for (const CString& note : m_notes)
        text += "# " + note.ToUtf8() + "\n";
    return text;
}

const char* CPortList::OutputOptions()
{
    return kOutputOptions;
}
