#pragma once

#include "platform/core/WinTypes.h"

// Virtual-key codes of WM_KEYDOWN (wParam). Letters and digits are their
// upper-case ASCII codes ('A', '0').
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_ADD 0x6B
#define VK_SUBTRACT 0x6D
#define VK_F1 0x70
#define VK_F11 0x7A
// The "=+", "-_", "[{" and "]}" keys of a US keyboard.
#define VK_OEM_PLUS 0xBB
#define VK_OEM_MINUS 0xBD
#define VK_OEM_4 0xDB
#define VK_OEM_6 0xDD

// WM_KEYDOWN's lParam: bit 30 is set when the key was already down (the
// keyboard's own repeat).
#define KF_REPEAT_BIT (1L << 30)

// The state of a modifier key (VK_SHIFT, VK_CONTROL) as of the input
// message being handled: the high bit set while it is down. Other keys
// read as up.
SHORT GetKeyState(int key);

// The window backend records the modifiers of each input event before it
// hands the event's message to the window.
void SetKeyboardModifiers(bool shift, bool control);
