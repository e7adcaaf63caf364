#include "platform/registry/CRegistryFile.h"

#include "platform/core/CString.h"
#include "platform/core/HexDigit.h"
#include "platform/registry/ConfigFile.h"
#include "platform/registry/Registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cwctype>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

const char kHeader[] = "REGEDIT4";

// Reads a quoted name or string at text[pos] (the opening quote), with
// backslash escapes for the quote and the backslash; pos ends past the
// closing quote.
bool ReadQuoted(const std::string& text, size_t& pos, std::string& out)
{
    if (pos >= text.size() || text[pos] != '"')
        return false;
    ++pos;
    out.clear();
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"')
            return true;
        if (c == '\\') {
            if (pos >= text.size())
                return false;
            c = text[pos++];
            if (c != '\\' && c != '"')
                return false;
        }
        out += c;
    }
    return false;
}

std::string Quote(const std::wstring& name)
{
    std::string out = "\"";
    for (char c : CString(name).ToUtf8()) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

bool ParseHexList(const std::string& text, std::vector<BYTE>& out)
{
    out.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos + 2 > text.size())
            return false;
        int hi = HexDigitValue(text[pos]);
        int lo = HexDigitValue(text[pos + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<BYTE>(hi * 16 + lo));
        if (out.size() > kRegistryMaxValueSize)
            return false;
        pos += 2;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos == text.size())
            break;
        if (text[pos] != ',')
            return false;
        ++pos;
    }
    return true;
}

// Parses what follows the '=' of a value line.
bool ParseData(const std::string& text, DWORD& type, std::vector<BYTE>& data)
{
    if (!text.empty() && text[0] == '"') {
        size_t pos = 0;
        std::string s;
        if (!ReadQuoted(text, pos, s) || pos != text.size())
            return false;
        // A quoted string is text in the ANSI code page with its terminator.
        type = REG_SZ;
        data.assign(s.begin(), s.end());
        data.push_back(0);
        return data.size() <= kRegistryMaxValueSize;
    }
    if (text.rfind("dword:", 0) == 0) {
        std::string digits = text.substr(6);
        if (digits.size() != 8)
            return false;
        DWORD v = 0;
        for (char c : digits) {
            int d = HexDigitValue(c);
            if (d < 0)
                return false;
            v = v * 16 + static_cast<DWORD>(d);
        }
        type = REG_DWORD;
        data = { static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 24) };
        return true;
    }
    if (text.rfind("hex:", 0) == 0) {
        type = REG_BINARY;
        return ParseHexList(text.substr(4), data);
    }
    if (text.rfind("hex(", 0) == 0) {
        size_t close = text.find("):");
        if (close == std::string::npos || close == 4 || close > 12)
            return false;
        DWORD t = 0;
        for (size_t i = 4; i < close; ++i) {
            int d = HexDigitValue(text[i]);
            if (d < 0)
                return false;
            t = t * 16 + static_cast<DWORD>(d);
        }
        type = t;
        return ParseHexList(text.substr(close + 2), data);
    }
    return false;
}

std::wstring Lower(const std::wstring& s)
{
    std::wstring out(s);
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

}

bool RegistryNamesEqual(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && Lower(a) == Lower(b);
}

bool CRegistryFile::Parse(const std::string& input)
{
    m_keys.clear();
    std::string text = input;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    if (text.find('\0') != std::string::npos)
        return false;

    // Split into logical lines: a trailing backslash continues a line.
    std::vector<std::string> lines;
    std::string current;
    bool continued = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (continued) {
            size_t first = line.find_first_not_of(" \t");
            current += first == std::string::npos ? std::string() : line.substr(first);
        } else {
            current = line;
        }
        continued = !current.empty() && current.back() == '\\' && current.find("=hex") != std::string::npos;
        if (continued)
            current.pop_back();
        else
            lines.push_back(current);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (continued)
        lines.push_back(current);

    size_t i = 0;
    while (i < lines.size() && lines[i].empty())
        ++i;
    if (i == lines.size() || lines[i] != kHeader)
        return false;

    // Keys and values are found through indexes of their lower-case names,
    // so that a file with thousands of them still reads in linear time.
    std::unordered_map<std::wstring, size_t> keyIndex;
    std::vector<std::unordered_map<std::wstring, size_t>> valueIndex;
    size_t key = SIZE_MAX;
    for (++i; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') {
                m_keys.clear();
                return false;
            }
            std::wstring path = CString::FromUtf8(line.substr(1, line.size() - 2)).Str();
            auto [found, added] = keyIndex.emplace(Lower(path), m_keys.size());
            if (added) {
                AddKey(path);
                valueIndex.emplace_back();
            }
            key = found->second;
            continue;
        }
        std::string name;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, name)) {
            m_keys.clear();
            return false;
        }
        DWORD type = 0;
        std::vector<BYTE> data;
        if (key == SIZE_MAX || pos >= line.size() || line[pos] != '=' || !ParseData(line.substr(pos + 1), type, data)) {
            m_keys.clear();
            return false;
        }
        std::wstring wideName = CString::FromUtf8(name).Str();
        std::vector<Value>& values = m_keys[key].values;
        auto [found, added] = valueIndex[key].emplace(Lower(wideName), values.size());
        if (added)
            values.push_back({ std::move(wideName), type, std::move(data) });
        else {
            // A name given twice keeps its first spelling and its last data.
            values[found->second].type = type;
            values[found->second].data = std::move(data);
        }
    }
    return true;
}

std::string CRegistryFile::Format() const
{
    static const char digits[] = "0123456789abcdef";
    std::string out = std::string(kHeader) + "\n\n";
    for (const Key& key : m_keys) {
        out += "[" + CString(key.path).ToUtf8() + "]\n";
        for (const Value& value : key.values) {
            out += value.name.empty() ? std::string("@") : Quote(value.name);
            char type[16];
            std::snprintf(type, sizeof type, "=hex(%x):", static_cast<unsigned>(value.type));
            out += type;
            for (size_t b = 0; b < value.data.size(); ++b) {
                if (b)
                    out += ',';
                out += digits[value.data[b] >> 4];
                out += digits[value.data[b] & 15];
            }
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

CRegistryFile::LoadResult CRegistryFile::Load(const std::string& path)
{
    m_keys.clear();
    const LoadResult result = ReadConfigFile(path, kMaxFileSize, [this](const std::string& text) { return Parse(text); });
    if (result != LoadResult::Loaded)
        m_keys.clear();
    return result;
}

CRegistryFile::LoadResult CRegistryFile::ReadText(const std::string& path, std::string& text)
{
    text.clear();
    return ReadConfigFile(path, kMaxFileSize, [&text](const std::string& read) {
        text = read;
        return true;
    });
}

bool CRegistryFile::KeepDamagedCopy(const std::string& path)
{
    // A hard link never replaces an existing name, so every damaged copy
    // stays: registry.reg.damaged, then .damaged.2, .damaged.3 and so on.
    for (int n = 1; n <= kMaxDamagedCopies; ++n) {
        std::string copy = path + ".damaged" + (n == 1 ? std::string() : "." + std::to_string(n));
        if (::link(path.c_str(), copy.c_str()) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool CRegistryFile::Save(const std::string& path) const
{
    return ReplaceConfigFile(path, Format());
}

bool CRegistryFile::ReplaceText(const std::string& path, const std::string& text)
{
    return ReplaceConfigFile(path, text);
}

CRegistryFile::Key* CRegistryFile::FindKey(const std::wstring& path)
{
    return const_cast<Key*>(static_cast<const CRegistryFile*>(this)->FindKey(path));
}

const CRegistryFile::Key* CRegistryFile::FindKey(const std::wstring& path) const
{
    for (const Key& key : m_keys) {
        if (RegistryNamesEqual(key.path, path))
            return &key;
    }
    return nullptr;
}

bool CRegistryFile::HasKeyOrChild(const std::wstring& path) const
{
    std::wstring prefix = Lower(path) + L"\\";
    for (const Key& key : m_keys) {
        std::wstring lower = Lower(key.path);
        if (lower == Lower(path) || lower.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

CRegistryFile::Key& CRegistryFile::AddKey(const std::wstring& path)
{
    m_keys.push_back({ path, {} });
    return m_keys.back();
}

CRegistryFile::Value* CRegistryFile::FindValue(Key& key, const std::wstring& name)
{
    return const_cast<Value*>(FindValue(static_cast<const Key&>(key), name));
}

const CRegistryFile::Value* CRegistryFile::FindValue(const Key& key, const std::wstring& name)
{
    for (const Value& value : key.values) {
        if (RegistryNamesEqual(value.name, name))
            return &value;
    }
    return nullptr;
}

void CRegistryFile::SetValue(Key& key, const std::wstring& name, DWORD type, std::vector<BYTE> data)
{
    if (Value* value = FindValue(key, name)) {
        value->type = type;
        value->data = std::move(data);
        return;
    }
    key.values.push_back({ name, type, std::move(data) });
}
