#include "platform/comm/CSeqPort.h"

#include "platform/comm/AlsaMessages.h"
#include "platform/comm/CAlsaLibrary.h"

#include <cerrno>

namespace {

const char* const kClientName = "TabrinoCE";

int OpenSequencer(const CAlsaLibrary& alsa, snd_seq_t** seq)
{
    // The port reports a missing sequencer through its error code.
    SilenceAlsaMessages();
    return alsa.snd_seq_open(seq, "default", SND_SEQ_OPEN_OUTPUT, 0);
}

// alsa-lib's parser ends a client name at the first ':' or '.'. A quoted name
// is looked up here instead, by its exact name, and handed on as the
// client's number; every other address goes to the parser as it is.
int ResolveQuotedClient(const CAlsaLibrary& alsa, snd_seq_t* seq, const std::string& address, std::string& resolved)
{
    std::string name, rest;
    if (!CSeqPort::SplitQuotedClient(address, name, rest)) {
        resolved = address;
        return 0;
    }
    if (name.empty())
        return -EINVAL;
    snd_seq_client_info_t* client = nullptr;
    if (alsa.snd_seq_client_info_malloc(&client) < 0)
        return -ENOMEM;
    int error = -ENOENT;
    alsa.snd_seq_client_info_set_client(client, -1);
    while (alsa.snd_seq_query_next_client(seq, client) >= 0) {
        if (name == alsa.snd_seq_client_info_get_name(client)) {
            resolved = std::to_string(alsa.snd_seq_client_info_get_client(client)) + rest;
            error = 0;
            break;
        }
    }
    alsa.snd_seq_client_info_free(client);
    return error;
}

}

bool CSeqPort::SplitQuotedClient(const std::string& address, std::string& client, std::string& rest)
{
    client.clear();
    rest.clear();
    if (address.empty() || (address[0] != '"' && address[0] != '\''))
        return false;
    const std::size_t close = address.find(address[0], 1);
    if (close == std::string::npos || close == 1)
        return true;
    const std::string after = address.substr(close + 1);
    if (!after.empty() && after[0] != ':' && after[0] != '.')
        return true;
    client = address.substr(1, close - 1);
    rest = after;
    return true;
}

std::shared_ptr<CSeqPort> CSeqPort::Open(const std::string& address)
{
    // Without alsa-lib there is no sequencer; the error says why.
    const CAlsaLibrary* alsa = CAlsaLibrary::Get();
    if (!alsa)
        return nullptr;
    std::shared_ptr<CSeqPort> port(new CSeqPort(*alsa));
    auto fail = [](int error) {
        SetLastError(static_cast<DWORD>(error < 0 ? -error : error));
        return nullptr;
    };
    if (!port->m_encoder.Ok())
        return fail(ENOMEM);
    int error = OpenSequencer(*alsa, &port->m_seq);
    if (error < 0) {
        port->m_seq = nullptr;
        return fail(error);
    }
    alsa->snd_seq_set_client_name(port->m_seq, kClientName);
    port->m_port = alsa->snd_seq_create_simple_port(port->m_seq, kClientName,
        SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ, SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (port->m_port < 0)
        return fail(port->m_port);
    if (!address.empty()) {
        snd_seq_addr_t destination {};
        std::string resolved;
        error = ResolveQuotedClient(*alsa, port->m_seq, address, resolved);
        if (error >= 0)
            error = alsa->snd_seq_parse_address(port->m_seq, &destination, resolved.c_str());
        if (error >= 0)
            error = alsa->snd_seq_connect_to(port->m_seq, port->m_port, destination.client, destination.port);
        if (error < 0)
            return fail(error);
    }
    return port;
}

CSeqPort::~CSeqPort()
{
    OnClose();
}

void CSeqPort::OnClose()
{
    std::lock_guard<std::mutex> guard(m_seqLock);
    if (m_seq) {
        m_alsa.snd_seq_close(m_seq);
        m_seq = nullptr;
    }
}

BOOL CSeqPort::Emit(BYTE byte)
{
    std::lock_guard<std::mutex> guard(m_seqLock);
    if (!m_seq) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!m_encoder.Feed(byte))
        return TRUE;
    snd_seq_event_t& event = m_encoder.Event();
    snd_seq_ev_set_source(&event, m_port);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    int error = m_alsa.snd_seq_event_output(m_seq, &event);
    if (error >= 0)
        error = m_alsa.snd_seq_drain_output(m_seq);
    if (error < 0) {
        SetLastError(static_cast<DWORD>(-error));
        return FALSE;
    }
    return TRUE;
}

bool CSeqPort::ListDestinations(std::vector<Destination>& destinations, DWORD& error)
{
    destinations.clear();
    const CAlsaLibrary* alsa = CAlsaLibrary::Get();
    if (!alsa) {
        error = ERROR_NO_ALSA;
        return false;
    }
    snd_seq_t* seq = nullptr;
    int opened = OpenSequencer(*alsa, &seq);
    if (opened < 0) {
        error = static_cast<DWORD>(-opened);
        return false;
    }
    int self = alsa->snd_seq_client_id(seq);
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    alsa->snd_seq_client_info_malloc(&client);
    alsa->snd_seq_port_info_malloc(&port);
    const unsigned wanted = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
    alsa->snd_seq_client_info_set_client(client, -1);
    while (client && port && alsa->snd_seq_query_next_client(seq, client) >= 0) {
        int id = alsa->snd_seq_client_info_get_client(client);
        std::string name = alsa->snd_seq_client_info_get_name(client);
        if (id == self || id == SND_SEQ_CLIENT_SYSTEM || name == kClientName || name == "Midi Through")
            continue;
        alsa->snd_seq_port_info_set_client(port, id);
        alsa->snd_seq_port_info_set_port(port, -1);
        while (alsa->snd_seq_query_next_port(seq, port) >= 0) {
            unsigned caps = alsa->snd_seq_port_info_get_capability(port);
            if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT))
                continue;
            destinations.push_back({ id, alsa->snd_seq_port_info_get_port(port), name, alsa->snd_seq_port_info_get_name(port) });
        }
    }
    alsa->snd_seq_port_info_free(port);
    alsa->snd_seq_client_info_free(client);
    alsa->snd_seq_close(seq);
    return true;
}
