#pragma once

#include "player/CSongMemory.h"

#include <string>
#include <string_view>

class CPlayerHost;
class CPractice;

// What the user sets for a song, as the entries of its memory: each entry a
// name and its text, read from the player and the practice tools and put
// back into them. Adding a setting is adding one line to the table in the
// .cpp file.
class CSongSettings {
public:
    CSongSettings(CPlayerHost& host, CPractice& practice);

    // Every entry as the song is set now.
    CSongMemory::Record Capture() const;
    // Sets each entry the record names, in the table's order (mutes before
    // the solo); the others stay as they are. A name not known here (one a
    // newer version wrote) is passed over, and so is a text that does not
    // read as its entry's value: that setting stays as it was.
    void Apply(const CSongMemory::Record& record);

    // The names of the entries, in their order.
    static std::vector<std::string> Names();

private:
    struct Entry {
        const char* name;
        std::string (*capture)(const CSongSettings&);
        bool (*apply)(CSongSettings&, std::string_view);
    };
    static const Entry kEntries[];

    static std::string CaptureTempo(const CSongSettings& s);
    static bool ApplyTempo(CSongSettings& s, std::string_view text);
    static std::string CaptureTranspose(const CSongSettings& s);
    static bool ApplyTranspose(CSongSettings& s, std::string_view text);
    static std::string CaptureMutes(const CSongSettings& s);
    static bool ApplyMutes(CSongSettings& s, std::string_view text);
    static std::string CaptureSolo(const CSongSettings& s);
    static bool ApplySolo(CSongSettings& s, std::string_view text);
    static std::string CaptureLoop(const CSongSettings& s);
    static bool ApplyLoop(CSongSettings& s, std::string_view text);

    CPlayerHost& m_host;
    CPractice& m_practice;
};
