#include "PlayerDialogFixture.h"

#include "app/FaceCommands.h"
#include "app/KeyBindings.h"
#include "platform/core/CMessageBoxRecorder.h"
#include "platform/ui/CFileDialogScript.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Menu.h"
#include "skin/CSkinMeter.h"

#include <functional>

namespace {

// Chooses the entry whose path of texts (before any tab) matches, as a user
// does in the shown menu; records what the menu offered on the way.
class MenuChoice {
public:
    explicit MenuChoice(std::vector<std::string> path)
        : m_path(std::move(path))
    {
        m_previous = SetPopupMenuRunner([this](HMENU menu, int, int, HWND) { return Find(menu, 0); });
    }
    ~MenuChoice() { SetPopupMenuRunner(std::move(m_previous)); }
    bool found { false };

private:
    UINT Find(HMENU menu, size_t depth)
    {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            std::string text = GetMenuText(menu, i).ToUtf8();
            text = text.substr(0, text.find('\t'));
            if (depth >= m_path.size() || text != m_path[depth] || (GetMenuState(menu, i) & MF_GRAYED))
                continue;
            if (HMENU sub = GetSubMenu(menu, i))
                return Find(sub, depth + 1);
            found = depth + 1 == m_path.size();
            return found ? GetMenuItemID(menu, i) : 0;
        }
        return 0;
    }
    std::vector<std::string> m_path;
    PopupMenuRunner m_previous;
};

}

using FaceCommands = PlayerDialog;

// Every key and every menu entry, each through the window's messages, with
// the state it must leave. A row with a key and a menu path runs twice.
TEST_F(FaceCommands, KeysAndMenuEntriesReachTheTransportAndThePracticeTools)
{
    const std::string song = WriteSong("face-keys.mid", 96, 500000, 96 * 4 * 8);
    const std::string other = WriteSong("face-other.mid", 96, 500000, 96 * 4);
    CPractice& practice = dialog.m_practice;
    CMessageBoxRecorder boxes;
    CFileDialogScript files(L"");
    size_t requestsBefore = 0;
    constexpr LONGLONG kHere = 2 * 384 + 96 + 5; // bar 3, beat 2
    struct Case {
        const char* name;
        UINT key;
        UINT modifiers;
        std::vector<std::string> menu;
        std::function<void()> setup;
        std::function<bool()> check;
        bool repeated = false;
    };
    const std::vector<Case> cases {
        { "home", VK_HOME, 0, {}, nullptr, [&] { return state.m_currentTick == 0; } },
        // A bar away keeps the beat: beat 2 of bar 2 or 4.
        { "bar back", VK_LEFT, 0, {}, nullptr, [&] { return state.m_currentTick == 384 + 96; } },
        { "bar forward", VK_RIGHT, 0, {}, nullptr, [&] { return state.m_currentTick == 1152 + 96; } },
        { "beat back", VK_LEFT, KEY_SHIFT, {}, nullptr, [&] { return state.m_currentTick == 768; } },
        { "beat forward", VK_RIGHT, KEY_SHIFT, {}, nullptr, [&] { return state.m_currentTick == 960; } },
        { "tempo up", VK_UP, 0, {}, nullptr, [&] { return state.m_bpm == 121; } },
        { "tempo up, held", VK_UP, 0, {}, nullptr, [&] { return state.m_bpm == 121; }, true },
        { "tempo down", VK_DOWN, 0, {}, nullptr, [&] { return state.m_bpm == 119; } },
        { "tempo +10", VK_PRIOR, 0, {}, nullptr, [&] { return state.m_bpm == 130; } },
        { "tempo -10", VK_NEXT, 0, {}, nullptr, [&] { return state.m_bpm == 110; } },
        { "transpose up", VK_OEM_PLUS, KEY_SHIFT, {}, nullptr, [&] { return state.m_transpose == 1; } },
        { "transpose up, keypad", VK_ADD, 0, {}, nullptr, [&] { return state.m_transpose == 1; } },
        { "transpose down", VK_OEM_MINUS, 0, {}, nullptr, [&] { return state.m_transpose == -1; } },
        { "transpose to 0", '0', 0, {}, [&] { dialog.SetTranspose(5); }, [&] { return state.m_transpose == 0; } },
        { "set A", VK_OEM_4, 0, { "Loop", "Set A" }, nullptr,
            [&] { return practice.LoopStart() == 864 && practice.LoopEnd() < 0; } },
        { "set B", VK_OEM_6, 0, { "Loop", "Set B" }, [&] { practice.SetLoopStart(96); },
            [&] { return practice.LoopStart() == 96 && practice.LoopEnd() == 864 && practice.LoopOn(); } },
        { "loop on", 'L', 0, { "Loop", "Loop on" }, [&] {
              practice.SetLoop(0, 384);
              practice.SetLoopOn(FALSE);
          },
            [&] { return practice.LoopOn() == TRUE; } },
        { "loop off", 'L', 0, { "Loop", "Loop on" }, [&] { practice.SetLoop(0, 384); },
            [&] { return practice.HasLoop() && !practice.LoopOn(); } },
        { "clear loop", VK_BACK, 0, { "Loop", "Clear" }, [&] { practice.SetLoop(0, 384); },
            [&] { return !practice.HasLoop() && !practice.LoopOn(); } },
        { "metronome", 'M', 0, { "Metronome" }, nullptr, [&] { return practice.MetronomeOn() == TRUE; } },
        { "metronome, held", 'M', 0, {}, nullptr, [&] { return practice.MetronomeOn() == FALSE; }, true },
        { "mute 1", '1', 0, { "Mute", "Channel 1" }, nullptr, [&] { return practice.IsMuted(0) && !practice.IsMuted(9); } },
        { "mute 9", '9', 0, { "Mute", "Channel 9" }, nullptr, [&] { return practice.IsMuted(8) == TRUE; } },
        { "mute 10", '1', KEY_SHIFT, { "Mute", "Channel 10" }, nullptr,
            [&] { return practice.IsMuted(9) && !practice.IsMuted(0); } },
        { "mute 16", '7', KEY_SHIFT, { "Mute", "Channel 16" }, nullptr, [&] { return practice.IsMuted(15) == TRUE; } },
        { "unmute", '2', 0, { "Mute", "Channel 2" }, [&] { practice.SetMuted(1, TRUE); },
            [&] { return !practice.AnyMuted(); } },
        { "solo", 0, 0, { "Solo", "Channel 3" }, nullptr,
            [&] { return practice.SoloChannel() == 2 && practice.IsMuted(0) && !practice.IsMuted(2); } },
        { "unmute all", 0, 0, { "Unmute all" }, [&] { practice.SetMuted(4, TRUE); }, [&] { return !practice.AnyMuted(); } },
        { "open", 'O', KEY_CONTROL, { "Open..." }, nullptr, [&] { return files.Requests().size() == requestsBefore + 1; } },
        { "recent file", 0, 0, { "Recent files", "2 face-other.mid" }, [&] {
              Open(other);
              Open(song);
          },
            [&] { return dialog.GetWindowText().ToUtf8() == "TabrinoCE - face-other.mid"; } },
        { "zoom", 0, 0, { "Zoom", "3" }, nullptr, [&] { return dialog.m_nZoom == 3; } },
        { "help", VK_F1, 0, { "Keyboard help" }, nullptr,
            [&] { return boxes.Entries().size() == 1 && boxes.Entries()[0].text.ToUtf8().find("Space\tPlay / stop\n") == 0; } },
        { "about", 0, 0, { "About" }, nullptr,
            [&] { return boxes.Entries().size() == 1 && boxes.Entries()[0].caption.ToUtf8() == "About TabrinoCE"; } },
        { "quit", 'Q', KEY_CONTROL, { "Quit" }, nullptr, [&] {
             for (const MSG& msg : Drain())
                 if (msg.message == WM_COMMAND && LOWORD(msg.wParam) == IDCANCEL)
                     return true;
             return false;
         } },
        { "play", VK_SPACE, 0, {}, nullptr, [&] { return state.m_playState != STATE_STOPPED; } },
        { "stop", VK_SPACE, 0, {}, [&] { dialog.OnButtonPlay(); }, [&] { return state.m_playState == STATE_STOPPED; } },
    };
    for (const Case& c : cases) {
        for (int route = 0; route < 2; ++route) {
            if ((route == 0 && c.key == 0) || (route == 1 && c.menu.empty()))
                continue;
            if (state.m_playState != STATE_STOPPED)
                dialog.OnButtonStop();
            Open(song);
            dialog.SetTranspose(0);
            practice.SetMetronome(FALSE);
            state.m_currentTick = kHere;
            if (c.setup)
                c.setup();
            Drain();
            boxes.Clear();
            requestsBefore = files.Requests().size();
            if (route == 0) {
                SetKeyboardModifiers(c.modifiers & KEY_SHIFT, c.modifiers & KEY_CONTROL);
                SendMessageW(Hwnd(), WM_KEYDOWN, c.key, c.repeated ? KF_REPEAT_BIT : 0);
                SetKeyboardModifiers(false, false);
            } else {
                MenuChoice choice(c.menu);
                SendMessageW(Hwnd(), WM_CONTEXTMENU, 0, MAKELPARAM(50, 50));
                EXPECT_TRUE(choice.found) << c.name;
            }
            EXPECT_TRUE(c.check()) << c.name << (route ? " (menu)" : " (key)");
        }
    }
    if (state.m_playState != STATE_STOPPED)
        dialog.OnButtonStop();
}

// The stylus and the wheel on the face: a meter bar mutes (Ctrl: solos) and
// is drawn dimmed, the wheel steps the box it is over, the track seeks.
TEST_F(FaceCommands, MeterClicksWheelAndTrackClicks)
{
    Open(WriteSong("face-pointer.mid", 96, 500000, 96 * 4 * 8));
    CPractice& practice = dialog.m_practice;
    auto send = [&](UINT message, WPARAM wParam, int x, int y) {
        SendMessageW(Hwnd(), message, wParam, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
        DispatchPostedMessages(Hwnd());
    };
    const RECT bar2 = dialog.m_pMeter->CellRect(2, 5);
    send(WM_LBUTTONDOWN, MK_LBUTTON, bar2.left, bar2.top);
    send(WM_LBUTTONUP, 0, bar2.left, bar2.top);
    EXPECT_TRUE(practice.IsMuted(2));
    EXPECT_EQ(dialog.m_pMeter->m_muted[2], TRUE);
    // The gap right of a bar's cells still belongs to that bar.
    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, bar2.right, bar2.top);
    send(WM_LBUTTONUP, 0, bar2.right, bar2.top);
    EXPECT_EQ(practice.SoloChannel(), 2);
    EXPECT_EQ(dialog.m_pMeter->m_muted[2], FALSE);
    EXPECT_EQ(dialog.m_pMeter->m_muted[3], TRUE);

    struct Wheel {
        short delta;
        int x, y;
        int bpm, transpose;
    };
    for (const Wheel& w : { Wheel { 120, 180, 160, 121, 0 }, Wheel { -240, 180, 240, 121, -2 },
             Wheel { 60, 180, 160, 121, -2 }, Wheel { 60, 180, 160, 122, -2 }, Wheel { 120, 60, 30, 122, -2 } }) {
        send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(w.delta)), w.x, w.y);
        EXPECT_EQ(state.m_bpm, w.bpm) << w.delta << " at " << w.x << "," << w.y;
        EXPECT_EQ(state.m_transpose, w.transpose) << w.delta << " at " << w.x << "," << w.y;
    }

    // Halfway along the track, off the thumb: the beat under the stylus.
    send(WM_LBUTTONDOWN, MK_LBUTTON, 64, 135);
    send(WM_LBUTTONUP, 0, 64, 135);
    EXPECT_EQ(state.m_currentTick, 1536);
}
