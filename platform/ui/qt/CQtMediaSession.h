#pragma once

#include "platform/ui/MediaSession.h"

#include <QString>

#include <map>
#include <memory>

class CMprisObject;

// The media session on the user's session bus, through Qt's D-Bus module:
// each published window gets an MPRIS object. The bus name
// org.mpris.MediaPlayer2.<name>, through which later starts hand over their
// files, is taken by the first start before its window shows (the bus gives
// it to one process only, however many start at once), with its object in
// place, so that a start that finds the name taken always has someone to
// hand its file to. Other windows take <name>.instance<process id>. Without
// a session bus (no DBUS_SESSION_BUS_ADDRESS and no $XDG_RUNTIME_DIR/bus)
// nothing is published or handed over. GUI thread only.
class CQtMediaSession : public CMediaSessionService {
public:
    CQtMediaSession();
    ~CQtMediaSession() override;

    int Claim(const MEDIAPLAYERINFO& info, const std::vector<CString>& files) override;
    BOOL Publish(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info) override;
    void Withdraw(HWND hwnd) override;
    void StatusChanged(HWND hwnd, BOOL seeked) override;

private:
    struct Published {
        std::unique_ptr<CMprisObject> object;
        QString serviceName;
    };
    // Registers a new object and takes the name for it; false when the
    // name is another's.
    bool Register(const MEDIAPLAYERINFO& info, const QString& name, Published& published);
    void Unregister(Published& published);
    // Hands the file to the player that holds the name.
    bool HandOver(const MEDIAPLAYERINFO& info, const std::vector<CString>& files);

    // The name claimed before the window was published.
    Published m_claimed;
    std::map<HWND, Published> m_published;
};
