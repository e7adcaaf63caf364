#include "tools/play/CPlaylistRun.h"

#include "platform/core/Console.h"
#include "platform/core/TickCount.h"
#include "player/CPlaylist.h"

#include <cstdio>

int CPlaylistRun::Run(const PlaySong& play)
{
    int status = 0;
    bool first = true;
    for (int index = m_list.Current(); index >= 0 && !InterruptRequested(); index = m_list.NextIndex(true)) {
        m_list.Advance(index);
        if (!first && !Pause())
            break;
        first = false;
        const CString& path = m_list.Entries()[static_cast<size_t>(index)].path;
        const int number = m_list.Position() + 1;
        // Which song plays, as a line of its own that the position shown
        // below it does not overwrite.
        const int slash = path.ReverseFind(L'/');
        std::fprintf(stderr, "%sSong %d of %d: %s\n", m_terminal ? "\r\x1b[K" : "", number, m_list.Size(),
            path.Mid(slash + 1).ForDisplay().ToUtf8().c_str());
        std::fflush(stderr);
        const int played = play(path, number);
        if (played == SKIPPED) {
            m_list.Entries()[static_cast<size_t>(index)].failed = true;
            status = SKIPPED;
            // Nothing sounded: the next song needs no pause before it.
            first = true;
        } else if (played != 0) {
            return played;
        }
    }
    if (InterruptRequested())
        return 128 + InterruptSignal();
    return status;
}

BOOL CPlaylistRun::Pause() const
{
    // A signal ends the pause within 20 ms.
    const DWORD begun = GetTickCount();
    while (GetTickCount() - begun < m_gap) {
        if (InterruptRequested())
            return FALSE;
        const DWORD left = m_gap - (GetTickCount() - begun);
        Sleep(left < 20 ? left : 20);
    }
    return InterruptRequested() ? FALSE : TRUE;
}
