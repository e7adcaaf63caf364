#include "platform/comm/CFluidSynth.h"

#include "platform/comm/LibraryFunctions.h"

std::unique_ptr<CFluidSynth> CFluidSynth::Load(const char* file)
{
    return LoadFunctionTable<CFluidSynth>(file, [](void* library, CFluidSynth& fluid) {
        bool complete = true;
#define TABRINO_FLUID_FIND(name) complete = FindFunction(library, #name, fluid.name) && complete;
        TABRINO_FLUID_FUNCTIONS(TABRINO_FLUID_FIND)
#undef TABRINO_FLUID_FIND
        return complete;
    });
}

const CFluidSynth* CFluidSynth::Get()
{
    return LoadedOnce<CFluidSynth>(kLibrary, ERROR_NO_SYNTHESIZER);
}
