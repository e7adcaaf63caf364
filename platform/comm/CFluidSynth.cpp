#include "platform/comm/CFluidSynth.h"

#include "platform/comm/LibraryFunctions.h"

std::unique_ptr<CFluidSynth> CFluidSynth::Load(const char* file)
{
    return LoadFunctionTable<CFluidSynth>(file);
}

const CFluidSynth* CFluidSynth::Get()
{
    return LoadedOnce<CFluidSynth>(kLibrary, ERROR_NO_SYNTHESIZER);
}
