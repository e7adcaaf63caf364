#include "platform/comm/AlsaMessages.h"

#include "platform/comm/CAlsaLibrary.h"

#include <mutex>

namespace {

void Quiet(const char*, int, const char*, int, const char*, ...)
{
}

}

void SilenceAlsaMessages()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (const CAlsaLibrary* alsa = CAlsaLibrary::Get())
            alsa->snd_lib_error_set_handler(Quiet);
    });
}
