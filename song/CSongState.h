#pragma once

#include "platform/core/WinTypes.h"

#include <array>
#include <cstdint>
#include <vector>

class CMidiEvent;
class CTrack;

// What the song's messages have set up in a sound module at a point of the
// song, gathered from the events of all tracks before it, merged by tick (at
// one tick the later track wins, as its batch goes out last in a period).
// A cut (start in mid-song, seek, loop jump, transposition) sends an all-off,
// which resets the controllers; the state is then sent again, one message
// per setting still in force instead of the whole history:
//  - the system-exclusive messages passed (F0 packets with their F7
//    continuation packets), in order;
//  - per channel: bank select (MSB, LSB) with the program after it, the last
//    value of every other controller, each registered and non-registered
//    parameter's number and data entry together, the parameter then
//    selected, the last pitch bend and channel pressure.
// Controllers that act as events (120..127) are no setting; a reset of all
// controllers (121) drops what it resets from the state before it. Data
// increment and decrement (96, 97) are relative steps and are left out.
class CSongState {
public:
    using Message = std::array<BYTE, 3>;
    struct SysEx {
        const CTrack* track;
        const CMidiEvent* event;
    };

    // Takes one event already played. Tracks come in ring order, numbered
    // from 0 (order), and each in file order.
    void Offer(const CTrack* track, std::uint32_t order, const CMidiEvent* event);
    // Works out what is sent, once every event is offered.
    void Finish();

    // The system-exclusive packets to send again, in song order.
    const std::vector<SysEx>& SysExes() const { return m_sysExes; }
    // The channel messages to send again, channel by channel.
    const std::vector<Message>& Messages() const { return m_messages; }

    // TRUE for a controller whose value is part of the state.
    static BOOL IsSetting(BYTE controller);

private:
    // Where an event lies in the merged song: tick, track, place in track.
    struct Key {
        LONGLONG tick { -1 };
        std::uint32_t order { 0 };
        std::uint32_t seq { 0 };
        bool operator<(const Key& other) const;
    };
    struct Slot {
        Key key;
        BYTE data1 { 0 };
        BYTE data2 { 0 };
        bool set { false };
    };
    // An event whose meaning depends on those before it (bank, program,
    // parameter numbers and data entry, reset, system exclusive).
    struct Ordered {
        Key key;
        const CTrack* track;
        const CMidiEvent* event;
    };
    struct Parameter {
        bool nrpn;
        BYTE msb;
        BYTE lsb;
        int dataMsb;
        int dataLsb;
    };
    struct Channel {
        Slot controllers[128];
        Slot bend;
        Slot pressure;
        Key reset;
    };
    static constexpr int UNSET = -1;
    struct Selection {
        int msb { UNSET };
        int lsb { UNSET };
    };
    struct Program {
        int bankMsb { UNSET };
        int bankLsb { UNSET };
        int program { UNSET };
        int atProgramMsb { UNSET };
        int atProgramLsb { UNSET };
        Selection rpn;
        Selection nrpn;
        bool nrpnSelected { false };
        std::vector<Parameter> parameters;
    };

    void Apply(const Ordered& ordered, std::vector<Program>& channels, std::vector<char>& openSysEx);
    void Emit(int channel, const Channel& slots, const Program& program);
    void Put(int channel, BYTE kind, int data1, int data2 = 0);

    Channel m_channels[16];
    std::uint32_t m_lastOrder { 0 };
    std::uint32_t m_seq { 0 };
    std::vector<Ordered> m_ordered;
    std::vector<SysEx> m_sysExes;
    std::vector<Message> m_messages;
};
