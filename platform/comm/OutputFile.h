#pragma once

#include <cstddef>
#include <string>

// The files the capture and WAV ports write into: a regular file, or a
// FIFO or pipe that a program reads as the player writes.

// Opens path for writing, created or emptied; "-" is standard output. A
// FIFO nobody reads fails at once with ENXIO instead of waiting for a
// reader. The descriptor (but standard output's) does not block, so that
// WriteFully can bound its waits. -1 with errno set when it cannot be
// opened.
int OpenOutputFile(const std::string& path);
// Whether the file can be written again at its start (a regular file or a
// block device); a pipe, a FIFO or a terminal cannot.
bool IsSeekableFile(int fd);
// Writes count bytes, waiting while a pipe is full. Once a signal has asked
// the program to end, it waits no longer than the cleanup's deadline.
// Returns the bytes written: fewer than count, with errno set, when a write
// failed (ETIMEDOUT at the deadline, EIO for a write that took nothing).
std::size_t WriteFully(int fd, const void* bytes, std::size_t count);
