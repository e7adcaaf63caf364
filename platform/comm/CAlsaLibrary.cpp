#include "platform/comm/CAlsaLibrary.h"

#include "platform/comm/LibraryFunctions.h"

std::unique_ptr<CAlsaLibrary> CAlsaLibrary::Load(const char* file)
{
    return LoadFunctionTable<CAlsaLibrary>(file);
}

const CAlsaLibrary* CAlsaLibrary::Get()
{
    return LoadedOnce<CAlsaLibrary>(kLibrary, ERROR_NO_ALSA);
}
