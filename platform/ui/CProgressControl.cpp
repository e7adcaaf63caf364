#include "platform/ui/CProgressControl.h"

#include <algorithm>

LRESULT CProgressControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PBM_SETRANGE:
        return SetRange(static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam))),
            static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lParam))));
    case PBM_SETRANGE32:
        return SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam))
            *range = { m_min, m_max };
        return wParam ? m_min : m_max;
    case PBM_SETPOS:
        return SetPos(static_cast<int>(wParam));
    case PBM_DELTAPOS:
        return SetPos(static_cast<long long>(m_pos) + static_cast<int>(wParam));
    case PBM_GETPOS:
        return m_pos;
    default:
        return CDialogControl::WindowProc(message, wParam, lParam);
    }
}

int CProgressControl::SetPos(long long pos)
{
    const int previous = m_pos;
    m_pos = static_cast<int>(std::clamp<long long>(pos, m_min, m_max));
    Changed(PBM_SETPOS);
    return previous;
}

LRESULT CProgressControl::SetRange(int min, int max)
{
    // The answer holds the range before, 16 bits each.
    const LRESULT previous = MAKELONG(static_cast<WORD>(m_min), static_cast<WORD>(m_max));
    m_min = min;
    m_max = std::max(min, max);
    m_pos = std::clamp(m_pos, m_min, m_max);
    Changed(PBM_SETRANGE);
    return previous;
}
