#pragma once

#include "platform/core/CString.h"

#include <vector>

// Folders of songs, as a drop, the open-folder command and the command line
// hand them over: the MIDI files in them, in the order people read the
// names in.

// The most files one folder (with its subfolders) gives: a drop of the
// home folder by mistake still ends.
constexpr size_t kMaxFolderSongs = 10000;

// Whether path names a folder (a link to one counts).
BOOL IsFolderPath(const CString& path);
// Names in natural order: case folded, and a run of digits compared by its
// value, so "Song 2" comes before "Song 10".
bool NaturalLess(const CString& a, const CString& b);
// Whether the file starts as a MIDI file does: "MThd", or a RIFF file of
// form "RMID". Its name does not matter.
BOOL StartsLikeMidi(const CString& path);
// The MIDI files of a folder, by name in natural order; with recursive,
// each subfolder's in its place among the names (links to folders are not
// followed, so a loop of links ends). At most kMaxFolderSongs.
std::vector<CString> MidiFilesInFolder(const CString& folder, BOOL recursive);
// The songs a list of paths names: each folder replaced by its MIDI files,
// every other path kept as it is (a missing one says so when it is played).
std::vector<CString> ExpandSongPaths(const std::vector<CString>& paths, BOOL recursive);
