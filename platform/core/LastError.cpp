#include "platform/core/LastError.h"

#include "platform/core/CString.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

std::wstring SystemText(DWORD code)
{
    switch (code) {
    case ERROR_NOT_A_MIDI_DEVICE: return L"is not a MIDI device";
    case ERROR_SOUNDFONT_NOT_FOUND: return L"SoundFont not found";
    case ERROR_BAD_SOUNDFONT: return L"not a SoundFont the synthesizer can load";
    case ERROR_NO_SYNTHESIZER: return L"the synthesizer's library libfluidsynth.so.3 cannot be loaded";
    case ERROR_NO_ALSA: return L"the ALSA library libasound.so.2 cannot be loaded";
    case ERROR_BAD_FILE_TYPE: return L"Not a regular file";
    default: break;
    }
    char buffer[256];
    // The GNU strerror_r returns a pointer that may or may not be buffer.
    const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    return CString::FromUtf8(text ? text : "").Str();
}

}

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD code)
{
    t_lastError = code;
}

DWORD FormatMessageW(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPWSTR buffer, DWORD size, va_list*)
{
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wstring text = SystemText(messageId);
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        auto* block = static_cast<wchar_t*>(std::malloc((text.size() + 1) * sizeof(wchar_t)));
        if (!block) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        std::wmemcpy(block, text.c_str(), text.size() + 1);
        *reinterpret_cast<LPWSTR*>(buffer) = block;
        return static_cast<DWORD>(text.size());
    }
    if (size <= text.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

HLOCAL LocalFree(HLOCAL block)
{
    std::free(block);
    return nullptr;
}
