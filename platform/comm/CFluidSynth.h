#pragma once

// FluidSynth's types and constants. Its functions are not linked: they are
// reached only through CFluidSynth, so a program that never opens a
// synthesizer port never loads the library.
#include <fluidsynth.h>

#include <memory>

// Every FluidSynth function the synthesizer ports call.
#define TABRINO_FLUID_FUNCTIONS(X) \
    X(new_fluid_settings) \
    X(delete_fluid_settings) \
    X(fluid_settings_setstr) \
    X(fluid_settings_setnum) \
    X(fluid_settings_setint) \
    X(fluid_settings_getnum) \
    X(new_fluid_synth) \
    X(delete_fluid_synth) \
    X(fluid_synth_sfload) \
    X(fluid_synth_noteon) \
    X(fluid_synth_noteoff) \
    X(fluid_synth_key_pressure) \
    X(fluid_synth_cc) \
    X(fluid_synth_program_change) \
    X(fluid_synth_channel_pressure) \
    X(fluid_synth_pitch_bend) \
    X(fluid_synth_sysex) \
    X(fluid_synth_system_reset) \
    X(fluid_synth_write_s16) \
    X(new_fluid_audio_driver) \
    X(delete_fluid_audio_driver) \
    X(fluid_set_log_function) \
    X(fluid_default_log_function)

// The FluidSynth library, loaded when the first synthesizer port opens
// rather than by the dynamic loader at every start (some 18 ms of every
// program's start-up, for a library most runs never use). Each member is
// the function of the same name.
class CFluidSynth {
public:
    static constexpr const char* kLibrary = "libfluidsynth.so.3";

    // The library, loaded by the first call from any thread and kept until
    // the program ends; null, with the last error ERROR_NO_SYNTHESIZER, when
    // it cannot be loaded.
    static const CFluidSynth* Get();
    // Loads the library from file (a name the dynamic loader searches for,
    // or a path); null when it or one of the functions cannot be found.
    static std::unique_ptr<CFluidSynth> Load(const char* file);

    // Calls visit(name, function) on every member.
    template <typename Visit>
    void ForEachFunction(Visit visit)
    {
#define TABRINO_FLUID_VISIT(name) visit(#name, name);
        TABRINO_FLUID_FUNCTIONS(TABRINO_FLUID_VISIT)
#undef TABRINO_FLUID_VISIT
    }

#define TABRINO_FLUID_MEMBER(name) decltype(&::name) name { nullptr };
    TABRINO_FLUID_FUNCTIONS(TABRINO_FLUID_MEMBER)
#undef TABRINO_FLUID_MEMBER
};
