#pragma once

#include "platform/core/CString.h"

#include <span>

// The modifiers of a binding; KEY_ANY_SHIFT binds the key with and without
// Shift (a "+" is Shift and "=" on many keyboards).
#define KEY_SHIFT 0x1u
#define KEY_CONTROL 0x2u
#define KEY_ANY_SHIFT 0x4u

// One key of the main window and the command it sends. name and help are
// what the help and the menu show; a binding without them is covered by
// the line of another (the channel keys).
struct KeyBinding {
    UINT key;
    UINT modifiers;
    WORD command;
    const wchar_t* name;
    const wchar_t* help;
};

// Every key of the main window, in the order the help lists them.
std::span<const KeyBinding> KeyBindings();
// The command of a virtual key with the modifiers held (KEY_SHIFT,
// KEY_CONTROL); 0 for none.
WORD CommandForKey(UINT key, UINT modifiers);
// The key shown beside a command in the menu; empty for none.
CString ShortcutText(WORD command);
// A menu entry's text with its key beside it ("Mixer<tab>X").
CString MenuEntry(const CString& text, WORD command);
// The keys as lines of "key<tab>what it does".
CString KeyHelpText();
