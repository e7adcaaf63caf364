#include "platform/text/CTextEncoding.h"

#include <uchardet.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace {

const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);
constexpr wchar_t kReplacement = 0xFFFD;
constexpr const char* kFallback = "WINDOWS-1252";

constexpr std::array kChoices {
    CTextEncoding::Choice { "", L"Automatic" },
    CTextEncoding::Choice { "UTF-8", L"Unicode (UTF-8)" },
    CTextEncoding::Choice { "ISO-8859-1", L"Western (Latin-1)" },
    CTextEncoding::Choice { "WINDOWS-1252", L"Western (Windows-1252)" },
    CTextEncoding::Choice { "ISO-8859-15", L"Western (Latin-9)" },
    CTextEncoding::Choice { "WINDOWS-1250", L"Central European (Windows-1250)" },
    CTextEncoding::Choice { "ISO-8859-2", L"Central European (Latin-2)" },
    CTextEncoding::Choice { "WINDOWS-1251", L"Cyrillic (Windows-1251)" },
    CTextEncoding::Choice { "KOI8-R", L"Cyrillic (KOI8-R)" },
    CTextEncoding::Choice { "CP866", L"Cyrillic (DOS 866)" },
    CTextEncoding::Choice { "WINDOWS-1253", L"Greek (Windows-1253)" },
    CTextEncoding::Choice { "WINDOWS-1254", L"Turkish (Windows-1254)" },
    CTextEncoding::Choice { "WINDOWS-1255", L"Hebrew (Windows-1255)" },
    CTextEncoding::Choice { "WINDOWS-1256", L"Arabic (Windows-1256)" },
    CTextEncoding::Choice { "WINDOWS-1257", L"Baltic (Windows-1257)" },
    CTextEncoding::Choice { "WINDOWS-1258", L"Vietnamese (Windows-1258)" },
    CTextEncoding::Choice { "CP874", L"Thai (Windows-874)" },
    CTextEncoding::Choice { "SHIFT_JIS", L"Japanese (Shift-JIS)" },
    CTextEncoding::Choice { "EUC-JP", L"Japanese (EUC-JP)" },
    CTextEncoding::Choice { "GB18030", L"Chinese, simplified (GB18030)" },
    CTextEncoding::Choice { "BIG5", L"Chinese, traditional (Big5)" },
    CTextEncoding::Choice { "EUC-KR", L"Korean (EUC-KR)" },
};

// The length of the UTF-8 sequence that starts at bytes[i], 0 when none
// does: no overlong forms, no surrogates, nothing past U+10FFFF.
size_t Utf8Sequence(const std::string& bytes, size_t i)
{
    auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() - i < length)
        return 0;
    if (at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (size_t k = 2; k < length; ++k) {
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    }
    return length;
}

}

CTextEncoding::CTextEncoding(const std::string& name)
    // wchar_t is UTF-32 in the host's byte order here.
    : m_converter(name.empty() ? kClosed : iconv_open("WCHAR_T", name.c_str()))
{
}

CTextEncoding::~CTextEncoding()
{
    if (IsOpen())
        iconv_close(static_cast<iconv_t>(m_converter));
}

std::wstring CTextEncoding::Decode(const std::string& bytes)
{
    std::wstring text;
    if (!IsOpen())
        return text;
    const auto converter = static_cast<iconv_t>(m_converter);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    wchar_t buffer[256];
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(buffer);
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        text.append(buffer, static_cast<size_t>(out - reinterpret_cast<char*>(buffer)) / sizeof(wchar_t));
        if (done != static_cast<size_t>(-1) || error == E2BIG)
            continue;
        // EILSEQ: a byte the encoding does not allow, taken as one
        // character; EINVAL: a sequence the bytes end in the middle of.
        text += kReplacement;
        if (error != EILSEQ)
            break;
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    return text;
}

std::span<const CTextEncoding::Choice> CTextEncoding::Choices()
{
    return kChoices;
}

const CTextEncoding::Choice* CTextEncoding::FindChoice(const std::string& name)
{
    for (const Choice& choice : kChoices) {
        if (name == choice.name)
            return &choice;
    }
    return nullptr;
}

BOOL CTextEncoding::IsUtf8(const std::string& bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = Utf8Sequence(bytes, i);
        if (length == 0)
            return FALSE;
        i += length;
    }
    return TRUE;
}

std::string CTextEncoding::Detect(const std::string& bytes)
{
    if (IsUtf8(bytes))
        return "UTF-8";
    const std::unique_ptr<uchardet, void (*)(uchardet_t)> detector(uchardet_new(), uchardet_delete);
    std::string found;
    if (detector && uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) == 0) {
        uchardet_data_end(detector.get());
        found = uchardet_get_charset(detector.get());
    }
    // Not valid UTF-8 whatever the detector says; and a name iconv does not
    // know would decode nothing.
    if (found.empty() || found == "ASCII" || found == "UTF-8" || found == "ISO-8859-1")
        return kFallback;
    if (!CTextEncoding(found).IsOpen())
        return kFallback;
    return found;
}
