#pragma once

#include "player/CSongMemory.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CMixer;
class CPlayerHost;
class CPractice;

// What the user sets for a song, as the entries of its memory: each entry a
// name and its text, read from the player and the practice tools and put
// back into them. Adding a setting of the player is adding one line to the
// table in the .cpp file; a window adds its own with SetEntry.
class CSongSettings {
public:
    // mixer: the window's mixer; null where there is none (its entry is
    // then neither read nor set).
    CSongSettings(CPlayerHost& host, CPractice& practice, CMixer* mixer = nullptr);
    CSongSettings(const CSongSettings&) = delete;
    CSongSettings& operator=(const CSongSettings&) = delete;

    using CaptureFn = std::function<std::string()>;
    // FALSE for a text that does not read as the entry's value.
    using ApplyFn = std::function<bool(std::string_view)>;
    // An entry of the caller's: it takes the place of the entry of that
    // name, or comes after the others.
    void SetEntry(const std::string& name, CaptureFn capture, ApplyFn apply, bool carried);

    // Every entry as the song is set now.
    CSongMemory::Record Capture() const;
    // Sets each entry the record names, in the table's order (mutes before
    // the solo); the others stay as they are. A name not known here (one a
    // newer version wrote) is passed over, and so is a text that does not
    // read as its entry's value: that setting stays as it was.
    void Apply(const CSongMemory::Record& record);

    // Whether an entry is the window's own setting, carried from song to
    // song (the count-in, the trainer), rather than one each new song sets
    // afresh (tempo, transposition, mutes, loop, mix).
    bool Carried(const std::string& name) const;

private:
    struct Entry {
        const char* name;
        std::string (*capture)(const CSongSettings&);
        bool (*apply)(CSongSettings&, std::string_view);
        bool carried;
    };
    static const Entry kEntries[];
    struct Setting {
        std::string name;
        CaptureFn capture;
        ApplyFn apply;
        bool carried;
    };
    std::vector<Setting> m_settings;

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
    static std::string CaptureMixer(const CSongSettings& s);
    static bool ApplyMixer(CSongSettings& s, std::string_view text);
    static std::string CaptureCountIn(const CSongSettings& s);
    static bool ApplyCountIn(CSongSettings& s, std::string_view text);
    static std::string CaptureTrainer(const CSongSettings& s);
    static bool ApplyTrainer(CSongSettings& s, std::string_view text);

    CPlayerHost& m_host;
    CPractice& m_practice;
    CMixer* m_pMixer;
};
