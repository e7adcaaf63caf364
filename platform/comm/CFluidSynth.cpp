#include "platform/comm/CFluidSynth.h"

#include "platform/core/LastError.h"

#include <dlfcn.h>

std::unique_ptr<CFluidSynth> CFluidSynth::Load(const char* file)
{
    // Never closed: a synthesizer may run until the program ends.
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    std::unique_ptr<CFluidSynth> fluid(new CFluidSynth());
    bool complete = true;
#define TABRINO_FLUID_LOAD(name) \
    fluid->name = reinterpret_cast<decltype(fluid->name)>(dlsym(library, #name)); \
    complete = complete && fluid->name != nullptr;
    TABRINO_FLUID_FUNCTIONS(TABRINO_FLUID_LOAD)
#undef TABRINO_FLUID_LOAD
    if (!complete) {
        dlclose(library);
        return nullptr;
    }
    return fluid;
}

const CFluidSynth* CFluidSynth::Get()
{
    static const std::unique_ptr<CFluidSynth> loaded = Load(kLibrary);
    if (!loaded)
        SetLastError(ERROR_NO_SYNTHESIZER);
    return loaded.get();
}
