#include "app/KeyBindings.h"

#include "app/FaceCommands.h"
#include "platform/ui/Keyboard.h"

#include <array>

namespace {

constexpr WORD Mute(int channel) { return static_cast<WORD>(ID_MUTE_FIRST + channel - 1); }

constexpr std::array kBindings {
    KeyBinding { VK_SPACE, 0, ID_PLAY_STOP, L"Space", L"Play / stop" },
    KeyBinding { VK_HOME, 0, ID_GO_START, L"Home", L"To the start" },
    KeyBinding { VK_LEFT, 0, ID_BAR_BACK, L"Left", L"One bar back" },
    KeyBinding { VK_RIGHT, 0, ID_BAR_FORWARD, L"Right", L"One bar forward" },
    KeyBinding { VK_LEFT, KEY_SHIFT, ID_BEAT_BACK, L"Shift+Left", L"One beat back" },
    KeyBinding { VK_RIGHT, KEY_SHIFT, ID_BEAT_FORWARD, L"Shift+Right", L"One beat forward" },
    KeyBinding { VK_UP, 0, ID_TEMPO_UP, L"Up", L"Tempo +1" },
    KeyBinding { VK_DOWN, 0, ID_TEMPO_DOWN, L"Down", L"Tempo -1" },
    KeyBinding { VK_PRIOR, 0, ID_TEMPO_UP10, L"PageUp", L"Tempo +10" },
    KeyBinding { VK_NEXT, 0, ID_TEMPO_DOWN10, L"PageDown", L"Tempo -10" },
    KeyBinding { VK_OEM_PLUS, KEY_ANY_SHIFT, ID_TRANSPOSE_UP, L"+", L"Transpose +1" },
    KeyBinding { VK_ADD, KEY_ANY_SHIFT, ID_TRANSPOSE_UP, nullptr, nullptr },
    KeyBinding { VK_OEM_MINUS, KEY_ANY_SHIFT, ID_TRANSPOSE_DOWN, L"-", L"Transpose -1" },
    KeyBinding { VK_SUBTRACT, KEY_ANY_SHIFT, ID_TRANSPOSE_DOWN, nullptr, nullptr },
    KeyBinding { '0', 0, ID_TRANSPOSE_RESET, L"0", L"Transpose back to 0" },
    KeyBinding { VK_OEM_4, 0, ID_LOOP_SET_A, L"[", L"Loop: set A here" },
    KeyBinding { VK_OEM_6, 0, ID_LOOP_SET_B, L"]", L"Loop: set B here" },
    KeyBinding { 'L', 0, ID_LOOP_TOGGLE, L"L", L"Loop on / off" },
    KeyBinding { VK_BACK, 0, ID_LOOP_CLEAR, L"Backspace", L"Clear the loop" },
    KeyBinding { 'M', 0, ID_METRONOME, L"M", L"Metronome on / off" },
    KeyBinding { 'K', 0, ID_COUNT_IN, L"K", L"Count-in: off, 1 bar, 2 bars" },
    KeyBinding { VK_RIGHT, KEY_CONTROL, ID_MARKER_NEXT, L"Ctrl+Right", L"To the next marker" },
    KeyBinding { VK_LEFT, KEY_CONTROL, ID_MARKER_PREVIOUS, L"Ctrl+Left", L"To the previous marker" },
    KeyBinding { 'B', 0, ID_BOOKMARK_ADD, L"B", L"Bookmark here" },
    KeyBinding { 'Y', 0, ID_LYRICS_WINDOW, L"Y", L"Lyrics window" },
    KeyBinding { 'P', 0, ID_KEYBOARD_WINDOW, L"P", L"Keyboard (piano) window" },
    KeyBinding { 'X', 0, ID_MIXER_WINDOW, L"X", L"Mixer window" },
    KeyBinding { 'N', 0, ID_NEXT_SONG, L"N", L"Next song of the playlist" },
    KeyBinding { 'N', KEY_SHIFT, ID_PREVIOUS_SONG, L"Shift+N", L"Previous song of the playlist" },
    KeyBinding { 'L', KEY_CONTROL, ID_PLAYLIST_WINDOW, L"Ctrl+L", L"Playlist window" },
    KeyBinding { '1', 0, Mute(1), L"1 ... 9", L"Mute / unmute channel 1 ... 9" },
    KeyBinding { '2', 0, Mute(2), nullptr, nullptr },
    KeyBinding { '3', 0, Mute(3), nullptr, nullptr },
    KeyBinding { '4', 0, Mute(4), nullptr, nullptr },
    KeyBinding { '5', 0, Mute(5), nullptr, nullptr },
    KeyBinding { '6', 0, Mute(6), nullptr, nullptr },
    KeyBinding { '7', 0, Mute(7), nullptr, nullptr },
    KeyBinding { '8', 0, Mute(8), nullptr, nullptr },
    KeyBinding { '9', 0, Mute(9), nullptr, nullptr },
    KeyBinding { '1', KEY_SHIFT, Mute(10), L"Shift+1 ... 7", L"Mute / unmute channel 10 ... 16" },
    KeyBinding { '2', KEY_SHIFT, Mute(11), nullptr, nullptr },
    KeyBinding { '3', KEY_SHIFT, Mute(12), nullptr, nullptr },
    KeyBinding { '4', KEY_SHIFT, Mute(13), nullptr, nullptr },
    KeyBinding { '5', KEY_SHIFT, Mute(14), nullptr, nullptr },
    KeyBinding { '6', KEY_SHIFT, Mute(15), nullptr, nullptr },
    KeyBinding { '7', KEY_SHIFT, Mute(16), nullptr, nullptr },
    KeyBinding { 'O', KEY_CONTROL, ID_FILE_OPEN, L"Ctrl+O", L"Open a song" },
    KeyBinding { VK_F1, 0, ID_KEY_HELP, L"F1", L"This list of keys" },
    KeyBinding { 'Q', KEY_CONTROL, ID_QUIT, L"Ctrl+Q", L"Quit (as do Escape and Enter)" },
};

}

std::span<const KeyBinding> KeyBindings()
{
    return kBindings;
}

WORD CommandForKey(UINT key, UINT modifiers)
{
    for (const KeyBinding& binding : kBindings) {
        const UINT held = (binding.modifiers & KEY_ANY_SHIFT) ? (modifiers & ~KEY_SHIFT) : modifiers;
        if (binding.key == key && (binding.modifiers & ~KEY_ANY_SHIFT) == held)
            return binding.command;
    }
    return 0;
}

CString ShortcutText(WORD command)
{
    // Each channel has a key of its own; the help's line for them all
    // ("1 ... 9") is no name for one of them.
    if (command >= ID_MUTE_FIRST && command < ID_MUTE_FIRST + 16) {
        const int channel = command - ID_MUTE_FIRST + 1;
        return channel <= 9 ? CString(std::to_wstring(channel).c_str())
                            : CString((L"Shift+" + std::to_wstring(channel - 9)).c_str());
    }
    for (const KeyBinding& binding : kBindings) {
        if (binding.command == command && binding.name)
            return binding.name;
    }
    return CString();
}

CString MenuEntry(const CString& text, WORD command)
{
    const CString key = ShortcutText(command);
    return key.IsEmpty() ? text : text + L"\t" + key;
}

CString KeyHelpText()
{
    std::wstring text;
    for (const KeyBinding& binding : kBindings) {
        if (binding.name && binding.help)
            text += std::wstring(binding.name) + L"\t" + binding.help + L"\n";
    }
    text += L"Right click\tThe menu\nClick a meter\tMute / unmute its channel\nCtrl+click a meter\tSolo its channel\n";
    return CString(text.c_str());
}
