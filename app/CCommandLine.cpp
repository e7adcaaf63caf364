#include "app/CCommandLine.h"
#include "midiout/CSerialMidiOut.h"

#include "platform/comm/CPortList.h"
#include "platform/core/FileUri.h"
#include "platform/ui/WindowZoom.h"

#include <cstring>
#include <vector>

namespace {

// A whole decimal number of at most a few digits, so that no value can
// overflow on its way to the range test.
bool ParseSmallNumber(const char* text, int& value)
{
    size_t length = std::strlen(text);
    if (length == 0 || length > 4)
        return false;
    int result = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        result = result * 10 + (text[i] - '0');
    }
    value = result;
    return true;
}

}

const char* CCommandLine::Usage()
{
    static const std::string usage
        = std::string("Usage: tabrino [--port NAME] [--soundfont PATH] [--no-sysex] [--reset NAME]\n"
                      "               [--zoom N] [--new-window] [FILE...]\n"
                      "\n"
                      "Opens the player window, with the Standard MIDI File FILE (or the one in\n"
                      "the RMID file FILE) loaded when given. Several FILEs, a folder (its MIDI\n"
                      "files by name) or an .m3u8 playlist become the playlist, in that order;\n"
                      "without FILE the playlist of the last run comes back.\n"
                      "While a player window runs, the FILEs open in that window instead.\n"
                      "The MIDI bytes go to the port chosen in the settings dialog (synth until\n"
                      "one is chosen) unless --port names another.\n"
                      "\n")
        + CPortList::OutputOptions()
        + "  --zoom N          show every face pixel as N x N screen pixels, 1..4\n"
          "                    (default: the last one asked for, or the largest that\n"
          "                    fits half the screen height)\n"
          "  --new-window      open a window of its own even while another runs\n"
          "  --help            this text\n"
          "  --version         the program's version\n";
    return usage.c_str();
}

std::string CCommandLine::WindowOptionsGiven() const
{
    std::vector<std::string> given;
    if (!m_port.IsEmpty())
        given.push_back("--port");
    if (!m_soundFont.IsEmpty())
        given.push_back("--soundfont");
    if (m_noSysEx)
        given.push_back("--no-sysex");
    if (m_reset >= 0)
        given.push_back("--reset");
    if (m_zoom != 0)
        given.push_back("--zoom");
    std::string text;
    for (size_t i = 0; i < given.size(); ++i)
        text += (i == 0 ? "" : i + 1 == given.size() ? " and " : ", ") + given[i];
    return given.empty() ? text : text + (given.size() == 1 ? " was" : " were");
}

CCommandLine::Action CCommandLine::Parse(int argc, const char* const* argv)
{
    bool onlyFiles = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        auto value = [&](const char*& out) {
            if (i + 1 >= argc || !argv[i + 1]) {
                m_error = arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        const char* text = nullptr;
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            const CString file = ::FileArgument(arg);
            if (file.IsEmpty()) {
                m_error = "the FILE name is empty";
                return FAULT;
            }
            m_files.push_back(file);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "--help" || arg == "-h") {
            return HELP;
        } else if (arg == "--version") {
            return VERSION;
        } else if (arg == "--list-ports") {
            return LIST_PORTS;
        } else if (arg == "--new-window") {
            m_newWindow = true;
        } else if (arg == "--port") {
            if (!value(text))
                return FAULT;
            m_port = CString::FromUtf8(text);
        } else if (arg == "--soundfont") {
            if (!value(text))
                return FAULT;
            m_soundFont = CString::FromUtf8(text);
        } else if (arg == "--no-sysex") {
            m_noSysEx = true;
        } else if (arg == "--reset") {
            if (!value(text))
                return FAULT;
            m_reset = CSerialMidiOut::ResetFromName(text);
            if (m_reset < 0) {
                m_error = std::string("--reset takes none, gm, gm2, gs or xg, not \"") + text + "\"";
                return FAULT;
            }
        } else if (arg == "--zoom") {
            if (!value(text))
                return FAULT;
            int zoom = 0;
            if (!ParseSmallNumber(text, zoom) || zoom < kMinWindowZoom || zoom > kMaxWindowZoom) {
                m_error = std::string("--zoom takes a whole number from 1 to 4, not \"") + text + "\"";
                return FAULT;
            }
            m_zoom = zoom;
        } else {
            m_error = "unknown option " + arg;
            return FAULT;
        }
    }
    return RUN;
}
