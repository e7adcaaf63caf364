#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a song's memory is filed under: the 64-bit FNV-1a hash of the file's
// bytes, so that a renamed or moved file keeps its memory and a changed one
// starts afresh. Not a cryptographic hash: nobody gains by making two songs
// collide, and among a thousand songs an accidental collision has a chance
// of some 1 in 10^13.
std::uint64_t ContentHash(const unsigned char* bytes, size_t size);
// Sixteen lower-case hex digits.
std::string ContentHashText(std::uint64_t hash);
// The hash from its text; false unless the text is exactly sixteen hex digits.
bool ParseContentHash(const std::string& text, std::uint64_t& hash);
