#include "player/CPlayerHost.h"

#include "platform/core/MessageBox.h"
#include "player/CMainThread.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CSongFile.h"
#include "song/CTrack.h"

CPlayerHost::CPlayerHost() = default;

CPlayerHost::~CPlayerHost()
{
    EndPlayer();
}

void CPlayerHost::EndPlayer()
{
    // A stop may not have been answered yet (the window does not wait for
    // the device), so the thread ends before the song it may still walk
    // goes; the stop request cuts what it is sending short.
    if (m_pThread) {
        if (m_playerState.m_playState != STATE_STOPPED)
            Transport().Stop();
        m_pThread->Terminate();
        delete m_pThread;
        m_pThread = nullptr;
    }
    CRing::Clear(m_pSongs);
    CRing::Clear(m_pTracks);
}

BOOL CPlayerHost::StartPlayerThread()
{
    m_pThread = new CMainThread(this);
    if (!m_pThread->CreateThread(CREATE_SUSPENDED, 0, nullptr)) {
        delete m_pThread;
        m_pThread = nullptr;
        return FALSE;
    }
    m_pThread->ResumeThread();
    return TRUE;
}

void CPlayerHost::PlayerPeriod()
{
    CPlayerEngine::Period(*this);
}

CTransport CPlayerHost::Transport()
{
    return CTransport(m_playerState, PlayerWindow(), m_pThread != nullptr);
}

BOOL CPlayerHost::ReadFile(CString path)
{
    // The new song is read and checked whole before the old one is touched,
    // so a file that fails leaves the song, the title and the position.
    CSongFile file(m_playerState.m_smpteOffset);
    if (!file.Load(path)) {
        MessageBoxW(nullptr, file.FailureMessage(path), L"", MB_OK);
        return FALSE;
    }
    // A song that plays stops first; without a window to keep responsive,
    // this waits for the player thread's answer.
    if (m_playerState.m_playState != STATE_STOPPED)
        Transport().StopAndWait(INFINITE);
    return TakeSong(file);
}

BOOL CPlayerHost::TakeSong(CSongFile& file)
{
    if (m_playerState.m_playState != STATE_STOPPED)
        return FALSE;
    // Stopped, the player thread walks no track until the next start, which
    // only the caller's thread asks for; it is still held between two of
    // its periods while the songs change places and the old one is freed.
    if (m_pThread)
        m_pThread->SuspendThread();
    m_playerState.Reset();
    file.Exchange(m_pSongs, m_pTracks);
    m_playerState.TakeFacts(file.m_facts);
    m_songHash = file.m_facts.m_contentHash;
    file.Free();
    if (m_pThread)
        m_pThread->ResumeThread();
    return TRUE;
}
