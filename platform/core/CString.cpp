#include "platform/core/CString.h"

#include <algorithm>

namespace {

bool IsTrimSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

int Clamp(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

}

int CString::Find(const wchar_t* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    auto pos = m_text.find(sub, static_cast<size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(wchar_t c, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    auto pos = m_text.find(c, static_cast<size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(wchar_t c) const
{
    auto pos = m_text.rfind(c);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const
{
    return CString(m_text.substr(0, static_cast<size_t>(Clamp(count, 0, GetLength()))));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    first = Clamp(first, 0, GetLength());
    count = Clamp(count, 0, GetLength() - first);
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const
{
    count = Clamp(count, 0, GetLength());
    return CString(m_text.substr(static_cast<size_t>(GetLength() - count)));
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_text.size() && IsTrimSpace(m_text[i]))
        ++i;
    m_text.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    size_t n = m_text.size();
    while (n > 0 && IsTrimSpace(m_text[n - 1]))
        --n;
    m_text.resize(n);
    return *this;
}

CString& CString::Trim()
{
    TrimRight();
    return TrimLeft();
}

std::string CString::ToUtf8() const
{
    std::string out;
    out.reserve(m_text.size());
    for (wchar_t wc : m_text) {
        auto c = static_cast<std::uint32_t>(wc);
        if (c >= kEscapedByteFirst && c <= kEscapedByteLast) {
            out += static_cast<char>(c - kEscapedByteBase);
            continue;
        }
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

// The length of the well-formed UTF-8 sequence at text[i], or 0 when the
// bytes there are not one (a stray or cut sequence, an overlong form, a
// surrogate, a value past U+10FFFF). c receives the character.
size_t Utf8Sequence(const std::string& text, size_t i, std::uint32_t& c)
{
    auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
        c = b;
        return 1;
    }
    size_t extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 0;
    if (extra == 0 || text.size() - i <= extra)
        return 0;
    c = b & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        auto n = static_cast<unsigned char>(text[i + k]);
        if ((n & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (n & 0x3F);
    }
    static const std::uint32_t smallest[] = { 0, 0x80, 0x800, 0x10000 };
    if (c < smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return extra + 1;
}

}

CString CString::FromUtf8(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        std::uint32_t c = 0;
        size_t length = Utf8Sequence(text, i, c);
        if (length == 0) {
            out += static_cast<wchar_t>(kEscapedByteBase + static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += length;
    }
    return CString(std::move(out));
}

CString CString::ForDisplay() const
{
    std::wstring out(m_text);
    for (wchar_t& c : out) {
        auto code = static_cast<std::uint32_t>(c);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            c = L'\xFFFD';
    }
    return CString(std::move(out));
}
