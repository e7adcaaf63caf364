#include "song/ContentHash.h"

#include "platform/core/HexDigit.h"

std::uint64_t ContentHash(const unsigned char* bytes, size_t size)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string ContentHashText(std::uint64_t hash)
{
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[static_cast<size_t>(i)] = digits[hash & 15];
    return text;
}

bool ParseContentHash(const std::string& text, std::uint64_t& hash)
{
    if (text.size() != 16)
        return false;
    std::uint64_t value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return false;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    hash = value;
    return true;
}
