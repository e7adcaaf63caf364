#include "skin/CSkinMeterBar.h"

void CSkinMeterBar::Resize(int rows)
{
    m_changed.assign(static_cast<size_t>(rows), TRUE);
    m_lit.assign(static_cast<size_t>(rows), FALSE);
}

void CSkinMeterBar::SetCell(int row, BOOL lit)
{
    if (row < 0 || row >= static_cast<int>(m_lit.size()))
        return;
    const BOOL on = lit ? TRUE : FALSE;
    if (on != m_lit[static_cast<size_t>(row)])
        m_changed[static_cast<size_t>(row)] = TRUE;
    m_lit[static_cast<size_t>(row)] = on;
}
