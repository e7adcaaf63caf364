#pragma once

#include "platform/comm/CSeqEncoder.h"
#include "platform/comm/CSoftPort.h"

#include <memory>
#include <string>
#include <vector>

class CAlsaLibrary;
typedef struct _snd_seq snd_seq_t;

// A port of the ALSA sequencer: the client "TabrinoCE" with one output
// port, optionally connected to a destination. The byte stream becomes
// sequencer events through alsa-lib's encoder; each event is delivered
// directly (no queue) to the port's subscribers and drained at once, so
// the port is ready after every byte.
class CSeqPort : public CSoftPort {
public:
    // A destination other programs offer.
    struct Destination {
        int client;
        int port;
        std::string clientName;
        std::string portName;
    };

    // address empty: the port only, for the user to connect in a patchbay.
    // Otherwise the destination in the sequencer's own address syntax
    // (client number or name, ':' or '.', port number defaulting to 0),
    // connected at once. A client name in quotes is taken whole and must
    // match a client's name exactly, so it may hold ':' and '.' itself:
    // "Name:with colon":0. Null with the last error set when there is no
    // sequencer or no such destination.
    static std::shared_ptr<CSeqPort> Open(const std::string& address);

    // FALSE for an address whose client name is not in quotes (' or ").
    // Otherwise TRUE, with the name between the quotes and the rest after
    // them (empty, or ':' or '.' and the port); the name is empty when the
    // quoted form is broken: no closing quote, nothing between the quotes,
    // or anything but the port after them.
    static bool SplitQuotedClient(const std::string& address, std::string& client, std::string& rest);
    ~CSeqPort() override;

    // The destinations a port can be connected to: writable, open to
    // subscription, neither ours nor Midi Through. FALSE, with the error
    // code, when the sequencer cannot be opened.
    static bool ListDestinations(std::vector<Destination>& destinations, DWORD& error);

protected:
    BOOL Emit(BYTE byte) override;
    void OnClose() override;

private:
    explicit CSeqPort(const CAlsaLibrary& alsa) : m_alsa(alsa) { }

    const CAlsaLibrary& m_alsa;
    std::mutex m_seqLock;
    snd_seq_t* m_seq { nullptr };
    int m_port { -1 };
    CSeqEncoder m_encoder;
};
