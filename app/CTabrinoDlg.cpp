#include "app/CTabrinoDlg.h"

#include "platform/core/CFile.h"
#include "platform/core/MessageBox.h"
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
    // (SuspendThread/ResumeThread on m_pThread) around this clearing once
    // the playback engine has created it; until then m_pThread is null.
    CRing::Clear(m_pTracks);
    CRing::Clear(m_pSongs);

    CMidiFileReader reader(buffer.get(), read, m_playerState);
    reader.Read(m_pSongs, m_pTracks);
}
