#include "platform/core/FormatString.h"

#include <cstring>

namespace {

// Appends characters to a fixed buffer and silently drops what does not fit.
class BoundedWriter {
public:
    void Put(wchar_t c)
    {
        if (m_length < kFormatBufferSize - 1)
            m_buffer[m_length++] = c;
    }
    void Repeat(wchar_t c, int count)
    {
        for (int i = 0; i < count; ++i)
            Put(c);
    }
    int Length() const { return m_length; }
    const wchar_t* Data() const { return m_buffer; }

private:
    wchar_t m_buffer[kFormatBufferSize] {};
    int m_length { 0 };
};

struct Conversion {
    bool left = false;
    bool alternate = false;
    bool zero = false;
    int width = 0;
    int precision = -1;
    enum { Default, Short, Long, Wide64 } size = Default;
};

int DigitsOf(unsigned long long value, unsigned base, bool upper, wchar_t* digits)
{
    const wchar_t* set = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    int n = 0;
    do {
        digits[n++] = set[value % base];
        value /= base;
    } while (value != 0);
    return n;
}

void PutNumber(BoundedWriter& w, const Conversion& conv, unsigned long long magnitude, bool negative, unsigned base, bool upper)
{
    wchar_t digits[32];
    int count = DigitsOf(magnitude, base, upper, digits);
    if (conv.precision == 0 && magnitude == 0)
        count = 0;
    int zeros = conv.precision > count ? conv.precision - count : 0;
    const wchar_t* prefix = L"";
    if (negative)
        prefix = L"-";
    else if (conv.alternate && base == 16 && magnitude != 0)
        prefix = upper ? L"0X" : L"0x";
    int prefixLength = static_cast<int>(std::wcslen(prefix));
    int body = prefixLength + zeros + count;
    int pad = conv.width > body ? conv.width - body : 0;
    bool zeroPad = conv.zero && !conv.left && conv.precision < 0;
    if (!conv.left && !zeroPad)
        w.Repeat(L' ', pad);
    for (int i = 0; i < prefixLength; ++i)
        w.Put(prefix[i]);
    if (zeroPad)
        w.Repeat(L'0', pad);
    w.Repeat(L'0', zeros);
    while (count > 0)
        w.Put(digits[--count]);
    if (conv.left)
        w.Repeat(L' ', pad);
}

template<typename Char>
void PutText(BoundedWriter& w, const Conversion& conv, const Char* text)
{
    if (!text) {
        static const Char null[] = { '(', 'n', 'u', 'l', 'l', ')', 0 };
        text = null;
    }
    int length = 0;
    while (text[length] != 0 && (conv.precision < 0 || length < conv.precision))
        ++length;
    int pad = conv.width > length ? conv.width - length : 0;
    if (!conv.left)
        w.Repeat(conv.zero ? L'0' : L' ', pad);
    for (int i = 0; i < length; ++i)
        w.Put(static_cast<wchar_t>(static_cast<std::make_unsigned_t<Char>>(text[i])));
    if (conv.left)
        w.Repeat(L' ', pad);
}

}

int FormatStringV(CString& out, const wchar_t* format, va_list args)
{
    BoundedWriter w;
    const wchar_t* p = format ? format : L"";
    while (*p) {
        if (*p != L'%') {
            w.Put(*p++);
            continue;
        }
        ++p;
        Conversion conv;
        for (;; ++p) {
            if (*p == L'-')
                conv.left = true;
            else if (*p == L'#')
                conv.alternate = true;
            else if (*p == L'0')
                conv.zero = true;
            else
                break;
        }
        while (*p >= L'0' && *p <= L'9' && conv.width < 4096)
            conv.width = conv.width * 10 + (*p++ - L'0');
        while (*p >= L'0' && *p <= L'9')
            ++p;
        if (*p == L'.') {
            ++p;
            conv.precision = 0;
            while (*p >= L'0' && *p <= L'9' && conv.precision < 4096)
                conv.precision = conv.precision * 10 + (*p++ - L'0');
            while (*p >= L'0' && *p <= L'9')
                ++p;
        }
        if (*p == L'h') {
            conv.size = Conversion::Short;
            ++p;
        } else if (*p == L'l') {
            conv.size = Conversion::Long;
            ++p;
        } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
            conv.size = Conversion::Wide64;
            p += 3;
        }
        wchar_t type = *p;
        if (type == 0)
            break;
        ++p;
        switch (type) {
        case L'd':
        case L'i': {
            long long v = conv.size == Conversion::Wide64 ? va_arg(args, long long) : va_arg(args, int);
            if (conv.size == Conversion::Short)
                v = static_cast<short>(v);
            bool negative = v < 0;
            unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
            PutNumber(w, conv, magnitude, negative, 10, false);
            break;
        }
        case L'u':
        case L'x':
        case L'X': {
            unsigned long long v = conv.size == Conversion::Wide64 ? va_arg(args, unsigned long long) : va_arg(args, unsigned int);
            if (conv.size == Conversion::Short)
                v = static_cast<unsigned short>(v);
            PutNumber(w, conv, v, false, type == L'u' ? 10 : 16, type == L'X');
            break;
        }
        case L'c':
        case L'C': {
            int v = va_arg(args, int);
            bool narrow = conv.size == Conversion::Short || (type == L'C' && conv.size != Conversion::Long);
            wchar_t text[2] = { narrow ? static_cast<wchar_t>(static_cast<unsigned char>(v)) : static_cast<wchar_t>(v), 0 };
            Conversion charConversion = conv;
            charConversion.precision = -1;
            if (text[0] == 0)
                w.Put(0);
            else
                PutText(w, charConversion, text);
            break;
        }
        case L's':
        case L'S': {
            bool narrow = conv.size == Conversion::Short || (type == L'S' && conv.size != Conversion::Long);
            if (narrow)
                PutText(w, conv, va_arg(args, const char*));
            else
                PutText(w, conv, va_arg(args, const wchar_t*));
            break;
        }
        default:
            // Unknown types are copied as they stand, as wvsprintf does.
            w.Put(type);
            break;
        }
    }
    out = CString(w.Data(), w.Length());
    return w.Length();
}

int FormatString(CString& out, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = FormatStringV(out, format, args);
    va_end(args);
    return n;
}
