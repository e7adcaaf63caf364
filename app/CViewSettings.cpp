#include "app/CViewSettings.h"

#include "app/DrumChannel.h"
#include "app/RegistryText.h"
#include "platform/text/CTextEncoding.h"
#include "platform/core/FormatString.h"
#include "platform/ui/WindowPlacement.h"
#include "skin/CLyricsView.h"

#include <charconv>
#include <string>
#include <tuple>

namespace {

const wchar_t* const kLyricsWindow = L"LyricsWindow";
const wchar_t* const kKeyboardWindow = L"KeyboardWindow";
const wchar_t* const kMixerWindow = L"MixerWindow";
const wchar_t* const kLyricsFontSize = L"LyricsFontSize";
const wchar_t* const kLyricsEncoding = L"LyricsEncoding";
const wchar_t* const kKeyboardKeys = L"KeyboardKeys";

// Decimal numbers separated by single spaces, all of them within low..high;
// FALSE for anything else.
BOOL ParseNumbers(const std::string& text, int* numbers, size_t count, long low, long high)
{
    const char* at = text.data();
    const char* end = at + text.size();
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && (at == end || *at++ != ' '))
            return FALSE;
        long value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc() || next == at || value < low || value > high)
            return FALSE;
        numbers[i] = static_cast<int>(value);
        at = next;
    }
    return at == end ? TRUE : FALSE;
}

BOOL ReadNumber(const wchar_t* name, long low, long high, int& value)
{
    CString text;
    int number = 0;
    if (!ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, name, text)
        || !ParseNumbers(text.ToUtf8(), &number, 1, low, high))
        return FALSE;
    value = number;
    return TRUE;
}

}

BOOL CViewSettings::ParsePlacement(const CString& text, Placement& placement)
{
    int n[5] {};
    if (!ParseNumbers(text.ToUtf8(), n, 5, -kMaxWindowSize, kMaxWindowSize) || n[0] < 0 || n[0] > 1
        || n[3] < kMinWindowSize || n[4] < kMinWindowSize)
        return FALSE;
    placement.open = n[0];
    placement.placed = TRUE;
    placement.rect = RECT { n[1], n[2], n[1] + n[3], n[2] + n[4] };
    return TRUE;
}

CString CViewSettings::PlacementText(const Placement& placement)
{
    const RECT& r = placement.rect;
    CString text;
    FormatString(text, L"%d %d %d %d %d", placement.open ? 1 : 0, static_cast<int>(r.left), static_cast<int>(r.top),
        static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top));
    return text;
}

void CViewSettings::Load()
{
    CString text;
    if (ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kLyricsWindow, text))
        ParsePlacement(text, m_lyrics);
    if (ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kKeyboardWindow, text))
        ParsePlacement(text, m_keyboard);
    if (ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kMixerWindow, text))
        ParsePlacement(text, m_mixer);
    ReadNumber(kLyricsFontSize, CLyricsView::kMinFontSize, CLyricsView::kMaxFontSize, m_lyricsFontSize);
    int keys = 0;
    if (ReadNumber(kKeyboardKeys, 61, 128, keys) && (keys == 61 || keys == 88 || keys == 128))
        m_keyboardKeys = keys;
    std::string encoding;
    // Only a name of the list: the value comes from a file anyone may edit.
    if (ReadRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, kLyricsEncoding, encoding, 64)
        && CTextEncoding::FindChoice(encoding))
        m_lyricsEncoding = encoding;
    m_loaded = Texts();
}

CViewSettings::Loaded CViewSettings::Texts() const
{
    Loaded texts;
    if (m_lyrics.placed)
        texts.lyrics = PlacementText(m_lyrics);
    if (m_keyboard.placed)
        texts.keyboard = PlacementText(m_keyboard);
    if (m_mixer.placed)
        texts.mixer = PlacementText(m_mixer);
    FormatString(texts.fontSize, L"%d", m_lyricsFontSize);
    FormatString(texts.keys, L"%d", m_keyboardKeys);
    texts.encoding = CString::FromUtf8(m_lyricsEncoding);
    return texts;
}

BOOL CViewSettings::Save() const
{
    const Loaded now = Texts();
    BOOL saved = TRUE;
    for (const auto& [name, text, loaded] : { std::tuple { kLyricsWindow, &now.lyrics, &m_loaded.lyrics },
             std::tuple { kKeyboardWindow, &now.keyboard, &m_loaded.keyboard },
             std::tuple { kMixerWindow, &now.mixer, &m_loaded.mixer },
             std::tuple { kLyricsFontSize, &now.fontSize, &m_loaded.fontSize },
             std::tuple { kKeyboardKeys, &now.keys, &m_loaded.keys } }) {
        if (!text->IsEmpty() && *text != *loaded)
            saved &= WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, name, *text);
    }
    if (now.encoding != m_loaded.encoding)
        saved &= WriteRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, kLyricsEncoding, m_lyricsEncoding);
    return saved;
}

void CViewSettings::KeepPlacement(HWND window, Placement& placement)
{
    WINDOWPLACEMENT kept {};
    if (!window || !GetWindowPlacement(window, &kept))
        return;
    placement.open = kept.showCmd != SW_HIDE ? TRUE : FALSE;
    placement.placed = TRUE;
    placement.rect = kept.rcNormalPosition;
}
