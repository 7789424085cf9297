// cp932 text, as the programs get it from the ANSI functions. A lead byte (0x81-0x9F,
// 0xE0-0xFC) and the byte after it form one character: the trail byte is never folded and
// never taken as the start of a match or as a separator (the second byte of "ソ" is a
// backslash, of "ヂ" an 'a').
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Inline: the registry's name comparisons ask it of every byte.
inline bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
// A byte that may follow a lead byte (0x40-0x7E, 0x80-0xFC).
inline bool IsCp932TrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}
// Every lead byte is followed by a trail byte.
bool IsWellFormedCp932(std::string_view text);

// ASCII a-z to A-Z (or A-Z to a-z); double-byte characters unchanged.
std::string MbcsUpper(const std::string& text);
void MbcsUpperInPlace(std::string& text);
std::string MbcsLower(const std::string& text);

// Whether needle occurs in haystack at a character boundary. An empty needle is always
// contained. Case-sensitive: upper-case both sides first for a folded comparison.
bool MbcsContains(std::string_view haystack, std::string_view needle);

// Position of the last single-byte character c, never a trail byte that happens to equal it,
// or std::string::npos.
size_t MbcsFindLast(std::string_view text, char c);
// The same for any of the single-byte characters in set.
size_t MbcsFindLastOf(std::string_view text, std::string_view set);

// Position of the first occurrence at a character boundary, or std::string::npos.
size_t MbcsFind(std::string_view haystack, std::string_view needle, size_t from = 0);

// The pieces between the single-byte separators: n separators give n + 1 pieces, empty ones
// included.
std::vector<std::string> MbcsSplit(std::string_view text, char separator);

// Whether the last character is the single-byte character c.
bool MbcsEndsWith(std::string_view text, char c);

// The longest start of text of at most maxBytes bytes that does not end between a lead byte
// and its trail byte (for a fixed-size field that takes a cut-off text).
std::string MbcsPrefix(std::string_view text, size_t maxBytes);

// What follows the last backslash (all of path when it has none).
std::string MbcsBaseName(std::string_view path);

// A program's title from its file's path: the name after the last backslash or slash, without
// its extension (a name that starts with its only dot keeps it).
std::string MbcsFileTitle(std::string_view path);
