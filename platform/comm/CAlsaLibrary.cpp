#include "platform/comm/CAlsaLibrary.h"

#include "platform/comm/LibraryFunctions.h"

std::unique_ptr<CAlsaLibrary> CAlsaLibrary::Load(const char* file)
{
    return LoadFunctionTable<CAlsaLibrary>(file, [](void* library, CAlsaLibrary& alsa) {
        bool complete = true;
#define TABRINO_ALSA_FIND(name) complete = FindFunction(library, #name, alsa.name) && complete;
        TABRINO_ALSA_FUNCTIONS(TABRINO_ALSA_FIND)
#undef TABRINO_ALSA_FIND
        return complete;
    });
}

const CAlsaLibrary* CAlsaLibrary::Get()
{
    return LoadedOnce<CAlsaLibrary>(kLibrary, ERROR_NO_ALSA);
}
