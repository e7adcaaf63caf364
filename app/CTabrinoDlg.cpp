#include "app/CTabrinoDlg.h"

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
}
