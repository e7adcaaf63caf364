#include "song/CSongState.h"

#include "song/CMidiEvent.h"
#include "song/CTrack.h"

#include <algorithm>
#include <tuple>

namespace {

enum : BYTE {
    BANK_MSB = 0,
    DATA_MSB = 6,
    BANK_LSB = 32,
    DATA_LSB = 38,
    DATA_INCREMENT = 96,
    DATA_DECREMENT = 97,
    NRPN_LSB = 98,
    NRPN_MSB = 99,
    RPN_LSB = 100,
    RPN_MSB = 101,
    RESET_ALL = 121,
};

// Controllers whose meaning depends on what came before them: kept in song
// order rather than as a last value.
bool IsOrderedController(BYTE controller)
{
    return controller == BANK_MSB || controller == BANK_LSB || controller == DATA_MSB || controller == DATA_LSB
        || (controller >= NRPN_LSB && controller <= RPN_MSB) || controller == RESET_ALL;
}

// What a reset of all controllers sets back: modulation, expression, the
// four pedals (besides pitch bend, pressure and the parameter numbers).
bool ResetByResetAll(BYTE controller)
{
    return controller == 1 || controller == 11 || (controller >= 64 && controller <= 67);
}

BYTE Data(BYTE value)
{
    return value > 127 ? 127 : value;
}

}

bool CSongState::Key::operator<(const Key& other) const
{
    return std::tie(tick, order, seq) < std::tie(other.tick, other.order, other.seq);
}

BOOL CSongState::IsSetting(BYTE controller)
{
    return controller < 120 && controller != DATA_INCREMENT && controller != DATA_DECREMENT ? TRUE : FALSE;
}

void CSongState::Offer(const CTrack* track, std::uint32_t order, const CMidiEvent* event)
{
    m_lastOrder = order;
    const Key key { event->m_tick, order, m_seq++ };
    const BYTE status = event->m_status;
    if (status == 0xF0 || status == 0xF7) {
        m_ordered.push_back({ key, track, event });
        return;
    }
    if (status >= 0xF0)
        return;
    Channel& channel = m_channels[status & 0x0F];
    // Offered in ring order and file order, a later offer at the same tick
    // lies later in the merged song: it replaces.
    auto keep = [&](Slot& slot) {
        if (!slot.set || !(key < slot.key))
            slot = { key, Data(event->m_data1), Data(event->m_data2), true };
    };
    switch (status & 0xF0) {
    case 0xB0:
        if (IsOrderedController(event->m_data1)) {
            m_ordered.push_back({ key, track, event });
            if (event->m_data1 == RESET_ALL && channel.reset < key)
                channel.reset = key;
        } else if (IsSetting(event->m_data1)) {
            keep(channel.controllers[event->m_data1]);
        }
        break;
    case 0xC0:
        m_ordered.push_back({ key, track, event });
        break;
    case 0xD0:
        keep(channel.pressure);
        break;
    case 0xE0:
        keep(channel.bend);
        break;
    default:
        break;
    }
}

void CSongState::Finish()
{
    // Within a track the events are in order already; the sort merges the
    // tracks by tick. Only the few order-bound events are sorted.
    std::sort(m_ordered.begin(), m_ordered.end(), [](const Ordered& a, const Ordered& b) { return a.key < b.key; });
    std::vector<Program> programs(16);
    std::vector<char> openSysEx(static_cast<size_t>(m_lastOrder) + 1, 0);
    for (const Ordered& ordered : m_ordered)
        Apply(ordered, programs, openSysEx);
    for (int n = 0; n < 16; ++n)
        Emit(n, m_channels[n], programs[static_cast<size_t>(n)]);
}

void CSongState::Apply(const Ordered& ordered, std::vector<Program>& channels, std::vector<char>& openSysEx)
{
    const CMidiEvent* event = ordered.event;
    const BYTE status = event->m_status;
    if (status == 0xF0 || status == 0xF7) {
        // An F0 packet without its closing F7 leaves the message open for
        // the track's F7 packets that continue it; an F7 packet outside a
        // message is an escape (any bytes, such as real-time messages),
        // which is no setting.
        char& open = openSysEx[ordered.key.order];
        if (status == 0xF7 && !open)
            return;
        const CMidiPayload payload = ordered.track->Payload(event);
        open = payload.length == 0 || payload.bytes[payload.length - 1] != 0xF7;
        m_sysExes.push_back({ ordered.track, event });
        return;
    }
    Program& channel = channels[status & 0x0F];
    const int value = Data(event->m_data2);
    if ((status & 0xF0) == 0xC0) {
        // The bank takes effect with the program change.
        channel.program = Data(event->m_data1);
        channel.atProgramMsb = channel.bankMsb;
        channel.atProgramLsb = channel.bankLsb;
        return;
    }
    Selection& selected = channel.nrpnSelected ? channel.nrpn : channel.rpn;
    switch (event->m_data1) {
    case BANK_MSB: channel.bankMsb = value; break;
    case BANK_LSB: channel.bankLsb = value; break;
    case RPN_MSB: channel.rpn.msb = value; channel.nrpnSelected = false; break;
    case RPN_LSB: channel.rpn.lsb = value; channel.nrpnSelected = false; break;
    case NRPN_MSB: channel.nrpn.msb = value; channel.nrpnSelected = true; break;
    case NRPN_LSB: channel.nrpn.lsb = value; channel.nrpnSelected = true; break;
    case RESET_ALL:
        channel.rpn = Selection();
        channel.nrpn = Selection();
        channel.nrpnSelected = false;
        break;
    case DATA_MSB:
    case DATA_LSB: {
        // Data entry without a parameter selected (or with the null
        // parameter 127/127) sets nothing.
        if (selected.msb == UNSET || selected.lsb == UNSET || (selected.msb == 127 && selected.lsb == 127))
            break;
        const bool nrpn = channel.nrpnSelected;
        auto& list = channel.parameters;
        auto found = std::find_if(list.begin(), list.end(), [&](const Parameter& p) {
            return p.nrpn == nrpn && p.msb == selected.msb && p.lsb == selected.lsb;
        });
        Parameter parameter { nrpn, static_cast<BYTE>(selected.msb), static_cast<BYTE>(selected.lsb), UNSET, UNSET };
        if (found != list.end()) {
            parameter = *found;
            list.erase(found);
        }
        (event->m_data1 == DATA_MSB ? parameter.dataMsb : parameter.dataLsb) = value;
        // In the order of their last change.
        list.push_back(parameter);
        break;
    }
    default:
        break;
    }
}

void CSongState::Put(int channel, BYTE kind, int data1, int data2)
{
    m_messages.push_back({ static_cast<BYTE>(kind | channel), static_cast<BYTE>(data1), static_cast<BYTE>(data2) });
}

void CSongState::Emit(int channel, const Channel& slots, const Program& program)
{
    auto bank = [&](int msb, int lsb) {
        if (msb != UNSET)
            Put(channel, 0xB0, BANK_MSB, msb);
        if (lsb != UNSET)
            Put(channel, 0xB0, BANK_LSB, lsb);
    };
    if (program.program != UNSET) {
        bank(program.atProgramMsb, program.atProgramLsb);
        Put(channel, 0xC0, program.program);
    }
    // A bank selected after the program waits for the next program change.
    bank(program.bankMsb != program.atProgramMsb || program.program == UNSET ? program.bankMsb : UNSET,
        program.bankLsb != program.atProgramLsb || program.program == UNSET ? program.bankLsb : UNSET);

    // What a reset of all controllers later in the song set back is not in
    // force; the all-off of the cut has set it back already.
    auto live = [&](const Slot& slot) { return slot.set && !(slot.key < slots.reset); };
    for (int c = 0; c < 128; ++c) {
        const Slot& slot = slots.controllers[c];
        if (slot.set && (!ResetByResetAll(static_cast<BYTE>(c)) || live(slot)))
            Put(channel, 0xB0, c, slot.data2);
    }

    for (const Parameter& p : program.parameters) {
        Put(channel, 0xB0, p.nrpn ? NRPN_MSB : RPN_MSB, p.msb);
        Put(channel, 0xB0, p.nrpn ? NRPN_LSB : RPN_LSB, p.lsb);
        if (p.dataMsb != UNSET)
            Put(channel, 0xB0, DATA_MSB, p.dataMsb);
        if (p.dataLsb != UNSET)
            Put(channel, 0xB0, DATA_LSB, p.dataLsb);
    }
    // The parameter selected at the position, so that data entry later in
    // the song reaches the one it was meant for; unless the last one sent
    // is that one.
    const Selection& selected = program.nrpnSelected ? program.nrpn : program.rpn;
    const bool sentLast = !program.parameters.empty() && program.parameters.back().nrpn == program.nrpnSelected
        && program.parameters.back().msb == selected.msb && program.parameters.back().lsb == selected.lsb;
    if (!sentLast) {
        if (selected.msb != UNSET)
            Put(channel, 0xB0, program.nrpnSelected ? NRPN_MSB : RPN_MSB, selected.msb);
        if (selected.lsb != UNSET)
            Put(channel, 0xB0, program.nrpnSelected ? NRPN_LSB : RPN_LSB, selected.lsb);
    }

    if (live(slots.bend))
        Put(channel, 0xE0, slots.bend.data1, slots.bend.data2);
    if (live(slots.pressure))
        Put(channel, 0xD0, slots.pressure.data1);
}
