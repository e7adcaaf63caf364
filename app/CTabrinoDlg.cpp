#include "app/CTabrinoDlg.h"

#include "player/CMainThread.h"
#include "player/CPlayerEngine.h"
#include "player/CTransport.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CTrack.h"

CTabrinoDlg::CTabrinoDlg(CWnd* parent)
    : CSkinDialog(102, parent)
{
}

CTabrinoDlg::~CTabrinoDlg()
{
    CRing::Clear(m_pSongs);
    CRing::Clear(m_pTracks);
    if (m_pThread) {
        m_pThread->Terminate();
        delete m_pThread;
        m_pThread = nullptr;
    }
}

void CTabrinoDlg::PlayerPeriod()
{
    CPlayerEngine::Period(*this);
}

void CTabrinoDlg::OnButtonPlay()
{
    CTransport(m_playerState, m_hWnd, m_pThread != nullptr).Play();
}

void CTabrinoDlg::OnButtonStop()
{
    CTransport(m_playerState, m_hWnd, m_pThread != nullptr).Stop();
}

void CTabrinoDlg::OnButtonTempoup()
{
    CTransport(m_playerState, m_hWnd, m_pThread != nullptr).StepTempo(1);
}

void CTabrinoDlg::OnButtonTempodown()
{
    CTransport(m_playerState, m_hWnd, m_pThread != nullptr).StepTempo(-1);
}

void CTabrinoDlg::OnButtonTransposeup()
{
    CTransport(m_playerState, m_hWnd, m_pThread != nullptr).StepTranspose(1);
}

void CTabrinoDlg::OnButtonTransposedown()
{
    CTransport(m_playerState, m_hWnd, m_pThread != nullptr).StepTranspose(-1);
}

void CTabrinoDlg::SetPosition(LONGLONG tick)
{
    CTransport(m_playerState, m_hWnd, m_pThread != nullptr).SetPosition(tick);
}
