#include "app/CTabrinoDlg.h"

#include "platform/core/CFile.h"
#include "platform/core/MessageBox.h"
#include "player/CMainThread.h"
#include "player/CPlayerEngine.h"
#include "player/CTransport.h"
#include "song/CMidiFileReader.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CTrack.h"

#include <memory>
#include <new>

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

void CTabrinoDlg::ReadFile(CString path)
{
    // The whole file is read before anything changes, so a file that cannot
    // be read leaves the previous song loaded.
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) {
        MessageBoxW(nullptr, L"CTabrinoDlg::ReadFile() -> cannot open file", L"", MB_OK);
        return;
    }
    const LONGLONG length = file.SeekToEnd();
    file.SeekToBegin();
    std::unique_ptr<BYTE[]> buffer;
    if (length >= 0 && length <= static_cast<LONGLONG>(MAXDWORD))
        buffer.reset(new (std::nothrow) BYTE[static_cast<size_t>(length) + 1]);
    if (!buffer) {
        MessageBoxW(nullptr, L"CTabrinoDlg::ReadFile() -> cannot open file", L"", MB_OK);
        return;
    }
    // A file that shrank since its length was taken is parsed as far as it
    // was read.
    const UINT read = file.Read(buffer.get(), static_cast<UINT>(length));
    file.Close();

    // The player thread walks the track ring, so it is held suspended
    // between two of its periods while the old song is freed.
    if (m_pThread)
        m_pThread->SuspendThread();
    CRing::Clear(m_pTracks);
    CRing::Clear(m_pSongs);
    if (m_pThread)
        m_pThread->ResumeThread();

    CMidiFileReader reader(buffer.get(), read, m_playerState);
    reader.Read(m_pSongs, m_pTracks);
}
