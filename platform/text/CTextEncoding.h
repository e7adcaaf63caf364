#pragma once

#include "platform/core/WinTypes.h"

#include <span>
#include <string>

// Texts a song file holds in no stated encoding (its words, above all): how
// they are judged and decoded. Valid UTF-8 is taken as UTF-8; other bytes
// go to a detector made for the purpose (uchardet), and are then decoded
// with iconv. Names are iconv's ("WINDOWS-1251", "SHIFT_JIS").
class CTextEncoding {
public:
    struct Choice {
        // iconv's name; empty for "judge the text".
        const char* name;
        const wchar_t* label;
    };

    // A decoder for the encoding; one that iconv does not know decodes
    // nothing (IsOpen FALSE).
    explicit CTextEncoding(const std::string& name);
    ~CTextEncoding();
    CTextEncoding(const CTextEncoding&) = delete;
    CTextEncoding& operator=(const CTextEncoding&) = delete;

    BOOL IsOpen() const { return m_converter != reinterpret_cast<void*>(-1) ? TRUE : FALSE; }
    // The bytes as text. A byte sequence the encoding does not allow, and
    // one cut off at the end, become U+FFFD each, and decoding goes on.
    std::wstring Decode(const std::string& bytes);

    // The encodings a user may choose instead of the judged one, the
    // judging first; the list the settings offer, and what they keep.
    static std::span<const Choice> Choices();
    // The choice of that name; null for a name not offered.
    static const Choice* FindChoice(const std::string& name);
    static BOOL IsUtf8(const std::string& bytes);
    // The encoding of the bytes, judged over all of them at once (a
    // detector needs more than a word to judge): "UTF-8" for valid UTF-8,
    // pure ASCII included; otherwise what the detector finds. Latin-1 is
    // taken as Windows-1252, which agrees with it on every letter and uses
    // the bytes 0x80..0x9F for quotes and dashes where Latin-1 has control
    // codes. Windows-1252 when the detector finds nothing.
    static std::string Detect(const std::string& bytes);

private:
    void* m_converter;
};
