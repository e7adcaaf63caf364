#pragma once

#include "platform/core/CString.h"

// Names of song files: which ones the player offers and how a path splits.

// The open dialog's filter: the extensions of Standard MIDI Files and of RMID
// files (which hold one), then all files.
extern const wchar_t* const kSongFileFilter;

// TRUE for a name ending in .mid, .midi, .kar, .smf or .rmi, in any case.
BOOL IsMidiFileName(const CString& path);
// The file's name without its folders, as the title shows it.
CString FileNameOf(const CString& path);
// The folder that holds the file ("/" for a file in the root, empty for a
// bare name).
CString FolderOf(const CString& path);
