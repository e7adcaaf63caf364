#include "platform/ui/CDialogTemplate.h"

#include "platform/core/Resources.h"

#include <algorithm>
#include <charconv>

namespace {

// Splits a line into words; a word in double quotes may hold spaces and the
// escapes \" and \\. Quoted words keep a leading quote mark so that an empty
// text can be told from a missing one.
bool Tokenize(const std::string& line, std::vector<std::string>& words)
{
    words.clear();
    size_t pos = 0;
    while (pos < line.size()) {
        if (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r') {
            ++pos;
            continue;
        }
        std::string word;
        if (line[pos] == '"') {
            word = "\"";
            ++pos;
            bool closed = false;
            while (pos < line.size()) {
                char c = line[pos++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && pos < line.size())
                    c = line[pos++];
                word += c;
            }
            if (!closed)
                return false;
        } else {
            while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t' && line[pos] != '\r')
                word += line[pos++];
        }
        words.push_back(word);
    }
    return true;
}

bool Number(const std::string& word, int& value, int low, int high)
{
    auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    return result.ec == std::errc() && result.ptr == word.data() + word.size() && value >= low && value <= high;
}

bool Text(const std::string& word, CString& text)
{
    if (word.empty() || word[0] != '"')
        return false;
    text = CString::FromUtf8(word.substr(1));
    return true;
}

std::vector<std::string> Styles(const std::string& word)
{
    std::vector<std::string> styles;
    size_t start = 0;
    while (start <= word.size()) {
        size_t bar = word.find('|', start);
        std::string name = word.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (!name.empty())
            styles.push_back(name);
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    return styles;
}

constexpr int kMaxUnits = 4096;

}

bool CDialogTemplate::Item::HasStyle(const char* name) const
{
    return std::find(styles.begin(), styles.end(), name) != styles.end();
}

bool CDialogTemplate::Parse(const std::string& text)
{
    *this = CDialogTemplate();
    bool sized = false;
    size_t start = 0;
    std::vector<std::string> w;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (!Tokenize(line, w)) {
            *this = CDialogTemplate();
            return false;
        }
        if (w.empty() || w[0][0] == '#')
            continue;
        bool ok = false;
        const std::string& d = w[0];
        if (d == "caption" && w.size() == 2) {
            ok = Text(w[1], m_caption);
        } else if (d == "size" && w.size() == 3) {
            ok = Number(w[1], m_width, 1, kMaxUnits) && Number(w[2], m_height, 1, kMaxUnits);
            sized = ok;
        } else if (d == "font" && w.size() == 3) {
            ok = Number(w[1], m_pointSize, 1, 72) && Text(w[2], m_fontName);
        } else if (d == "face" && w.size() == 3) {
            ok = Number(w[1], m_faceWidth, 1, kMaxUnits) && Number(w[2], m_faceHeight, 1, kMaxUnits);
        } else if (d == "style" && w.size() == 2) {
            m_styles = Styles(w[1]);
            ok = true;
        } else if (d == "exstyle" && w.size() == 2) {
            m_exStyles = Styles(w[1]);
            ok = true;
        } else if (d == "control" && (w.size() == 8 || w.size() == 9)) {
            Item item;
            ok = Number(w[1], item.id, -1, 65535) && w[2][0] != '"' && Text(w[3], item.text)
                && Number(w[4], item.x, 0, kMaxUnits) && Number(w[5], item.y, 0, kMaxUnits)
                && Number(w[6], item.width, 0, kMaxUnits) && Number(w[7], item.height, 0, kMaxUnits);
            item.className = CString::FromUtf8(w[2]);
            if (w.size() == 9)
                item.styles = Styles(w[8]);
            if (ok)
                m_items.push_back(item);
        }
        if (!ok) {
            *this = CDialogTemplate();
            return false;
        }
    }
    if (!sized) {
        *this = CDialogTemplate();
        return false;
    }
    return true;
}

bool CDialogTemplate::Load(int id)
{
    const EmbeddedResource* resource = FindEmbeddedResource(id, "template");
    if (!resource) {
        *this = CDialogTemplate();
        return false;
    }
    return Parse(std::string(reinterpret_cast<const char*>(resource->data), resource->size));
}
