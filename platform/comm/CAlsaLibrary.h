#pragma once

// ALSA's types, constants and event macros. Its functions are not linked:
// they are reached only through CAlsaLibrary, so a program that never
// touches the sequencer or the sound cards never loads the library.
#include <alsa/asoundlib.h>

#include <memory>

// Every ALSA function the port services call.
#define TABRINO_ALSA_FUNCTIONS(X) \
    X(snd_lib_error_set_handler) \
    X(snd_card_get_name) \
    X(snd_midi_event_new) \
    X(snd_midi_event_free) \
    X(snd_midi_event_encode_byte) \
    X(snd_seq_open) \
    X(snd_seq_close) \
    X(snd_seq_client_id) \
    X(snd_seq_set_client_name) \
    X(snd_seq_create_simple_port) \
    X(snd_seq_parse_address) \
    X(snd_seq_connect_to) \
    X(snd_seq_event_output) \
    X(snd_seq_drain_output) \
    X(snd_seq_query_next_client) \
    X(snd_seq_query_next_port) \
    X(snd_seq_client_info_malloc) \
    X(snd_seq_client_info_free) \
    X(snd_seq_client_info_set_client) \
    X(snd_seq_client_info_get_client) \
    X(snd_seq_client_info_get_name) \
    X(snd_seq_port_info_malloc) \
    X(snd_seq_port_info_free) \
    X(snd_seq_port_info_set_client) \
    X(snd_seq_port_info_set_port) \
    X(snd_seq_port_info_get_port) \
    X(snd_seq_port_info_get_name) \
    X(snd_seq_port_info_get_capability)

// alsa-lib, loaded when a sequencer port opens or the ports are listed
// rather than by the dynamic loader at every start of every program. Each
// member is the function of the same name.
class CAlsaLibrary {
public:
    static constexpr const char* kLibrary = "libasound.so.2";

    // The library, loaded by the first call from any thread and kept until
    // the program ends; null, with the last error ERROR_NO_ALSA, when it
    // cannot be loaded.
    static const CAlsaLibrary* Get();
    // Loads the library from file; null when it or one of the functions
    // cannot be found.
    static std::unique_ptr<CAlsaLibrary> Load(const char* file);

    // Calls visit(name, function) on every member.
    template <typename Visit>
    void ForEachFunction(Visit visit)
    {
#define TABRINO_ALSA_VISIT(name) visit(#name, name);
        TABRINO_ALSA_FUNCTIONS(TABRINO_ALSA_VISIT)
#undef TABRINO_ALSA_VISIT
    }

#define TABRINO_ALSA_MEMBER(name) decltype(&::name) name { nullptr };
    TABRINO_ALSA_FUNCTIONS(TABRINO_ALSA_MEMBER)
#undef TABRINO_ALSA_MEMBER
};
