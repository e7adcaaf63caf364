#include "app/CSongViews.h"

#include "app/FaceCommands.h"

CSongViews::CSongViews(CTabrinoDlg& player)
    : m_lyrics(player, m_settings)
    , m_keyboard(player, m_settings)
    , m_mixer(player, m_settings.m_mixer)
{
}

void CSongViews::Restore()
{
    m_settings.Load();
    if (m_settings.m_lyrics.open)
        m_lyrics.Open(FALSE);
    if (m_settings.m_keyboard.open)
        m_keyboard.Open(FALSE);
    if (m_settings.m_mixer.open)
        m_mixer.Open(FALSE);
}

void CSongViews::Save()
{
    m_lyrics.KeepPlacement();
    m_keyboard.KeepPlacement();
    m_mixer.KeepPlacement();
    m_settings.Save();
}

void CSongViews::Destroy()
{
    for (CViewWindow* window : { static_cast<CViewWindow*>(&m_lyrics), static_cast<CViewWindow*>(&m_keyboard) }) {
        if (window->m_hWnd)
            window->DestroyWindow();
    }
    if (m_mixer.m_hWnd)
        m_mixer.DestroyWindow();
}

void CSongViews::SongChanged()
{
    m_lyrics.SongChanged();
    m_keyboard.SongChanged();
    m_mixer.SongChanged();
}

void CSongViews::Refresh()
{
    m_lyrics.Refresh();
    m_keyboard.Refresh();
    m_mixer.Refresh();
}

void CSongViews::Toggle(WORD command)
{
    if (command == ID_MIXER_WINDOW)
        return m_mixer.Toggle();
    CViewWindow& window = command == ID_LYRICS_WINDOW ? static_cast<CViewWindow&>(m_lyrics) : m_keyboard;
    if (window.IsOpen())
        window.Close();
    else
        window.Open(TRUE);
}

BOOL CSongViews::IsOpen(WORD command) const
{
    if (command == ID_MIXER_WINDOW)
        return m_mixer.IsOpen();
    return command == ID_LYRICS_WINDOW ? m_lyrics.IsOpen() : m_keyboard.IsOpen();
}
