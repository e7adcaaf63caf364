#include "platform/ui/MediaSession.h"

#include <atomic>

namespace {

std::atomic<CMediaSessionService*> g_service { nullptr };

}

CMediaSessionService* SetMediaSessionService(CMediaSessionService* service)
{
    return g_service.exchange(service);
}

int ClaimMediaPlayer(const MEDIAPLAYERINFO& info, const std::vector<CString>& files)
{
    CMediaSessionService* service = g_service.load();
    return service ? service->Claim(info, files) : MEDIA_NO_SESSION;
}

BOOL PublishMediaPlayer(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info)
{
    CMediaSessionService* service = g_service.load();
    return service ? service->Publish(hwnd, source, info) : FALSE;
}

void WithdrawMediaPlayer(HWND hwnd)
{
    if (CMediaSessionService* service = g_service.load())
        service->Withdraw(hwnd);
}

void MediaStatusChanged(HWND hwnd, BOOL seeked)
{
    if (CMediaSessionService* service = g_service.load())
        service->StatusChanged(hwnd, seeked);
}
