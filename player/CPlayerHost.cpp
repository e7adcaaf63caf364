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
    // The song goes while the player thread still exists: the thread is
    // idle by now and touches no track.
    CRing::Clear(m_pSongs);
    CRing::Clear(m_pTracks);
    if (m_pThread) {
        m_pThread->Terminate();
        delete m_pThread;
        m_pThread = nullptr;
    }
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
    // A file that arrives from outside (a drop, another instance) while a
    // song plays stops it first.
    if (m_playerState.m_playState != STATE_STOPPED)
        Transport().Stop();
    // The player thread walks the track ring, so it is held suspended
    // between two of its periods while the songs change places and the old
    // one is freed.
    if (m_pThread)
        m_pThread->SuspendThread();
    m_playerState.Reset();
    file.Exchange(m_pSongs, m_pTracks);
    m_playerState.TakeFacts(file.m_facts);
    file.Free();
    if (m_pThread)
        m_pThread->ResumeThread();
    return TRUE;
}
