#pragma once

#include "platform/core/WinTypes.h"

#include <string>

// A wide-character string with the operations of the MFC class the system
// uses. Characters are wchar_t; texts from files and the registry reach it
// through the ANSI code page (CodePage.h).
class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") { }
    CString(const wchar_t* text, int length) : m_text(text ? std::wstring(text, static_cast<size_t>(length < 0 ? 0 : length)) : std::wstring()) { }
    CString(std::wstring text) : m_text(std::move(text)) { }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    wchar_t GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
    wchar_t operator[](int index) const { return GetAt(index); }

    operator const wchar_t*() const { return m_text.c_str(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    const std::wstring& Str() const { return m_text; }

    CString& operator=(const wchar_t* text)
    {
        m_text = text ? text : L"";
        return *this;
    }
    CString& operator+=(const CString& other)
    {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const wchar_t* text)
    {
        if (text)
            m_text += text;
        return *this;
    }
    CString& operator+=(wchar_t c)
    {
        m_text += c;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const wchar_t* b) { return CString(a.m_text + (b ? b : L"")); }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString(std::wstring(a ? a : L"") + b.m_text); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_text == (b ? b : L""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    int Compare(const wchar_t* other) const { return m_text.compare(other ? other : L""); }

    int Find(const wchar_t* sub, int start = 0) const;
    int Find(wchar_t c, int start = 0) const;
    int ReverseFind(wchar_t c) const;
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Trimming removes space, tab, line feed, vertical tab, form feed and
    // carriage return, as the C runtime's iswspace does for these texts.
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim();

    // UTF-8 form for the host's file system and terminals. Bytes that are not
    // UTF-8 (a file name in another encoding) are kept as the characters
    // U+DC80..U+DCFF, one per byte, and turn back into the same bytes, so
    // any name the system hands over reaches the same file again.
    std::string ToUtf8() const;
    static CString FromUtf8(const std::string& text);
    // The text for people: kept bytes (and any other character that cannot
    // be shown) become U+FFFD, the replacement character.
    CString ForDisplay() const;

    static constexpr std::uint32_t kEscapedByteBase = 0xDC00;
    static constexpr std::uint32_t kEscapedByteFirst = 0xDC80;
    static constexpr std::uint32_t kEscapedByteLast = 0xDCFF;

private:
    std::wstring m_text;
};
