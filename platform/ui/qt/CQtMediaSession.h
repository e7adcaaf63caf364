#pragma once

#include "platform/ui/MediaSession.h"

#include <QString>

#include <map>
#include <memory>

class CMprisObject;

// The media session on the user's session bus, through Qt's D-Bus module:
// each published window gets an MPRIS object; the first takes the bus name
// org.mpris.MediaPlayer2.<name>, through which later starts hand over their
// files, and others take <name>.instance<process id>. Without a session bus
// (no DBUS_SESSION_BUS_ADDRESS and no $XDG_RUNTIME_DIR/bus) nothing is
// published or handed over. GUI thread only.
class CQtMediaSession : public CMediaSessionService {
public:
    CQtMediaSession();
    ~CQtMediaSession() override;

    BOOL Publish(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info) override;
    void Withdraw(HWND hwnd) override;
    BOOL PassToRunningPlayer(const MEDIAPLAYERINFO& info, const CString& file) override;

private:
    struct Published {
        std::unique_ptr<CMprisObject> object;
        QString serviceName;
    };
    std::map<HWND, Published> m_published;
};
