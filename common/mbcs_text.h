// cp932-aware text helpers. A lead byte (0x81-0x9F, 0xE0-0xFC) and the byte after it form
// one character: the trail byte is never folded and never taken as the start of a match.
#pragma once
#include <string>
#include <string_view>

bool IsCp932LeadByte(unsigned char byte);

// ASCII a-z to A-Z; double-byte characters unchanged.
std::string MbcsUpper(const std::string& text);
void MbcsUpperInPlace(std::string& text);

// Whether needle occurs in haystack at a character boundary. An empty needle is always
// contained. Case-sensitive: upper-case both sides first for a folded comparison.
bool MbcsContains(std::string_view haystack, std::string_view needle);

// Position of the last single-byte character c, never a trail byte that happens to equal it
// (the second byte of "ソ" is a backslash), or std::string::npos.
size_t MbcsFindLast(const std::string& text, char c);

// Position of the first occurrence at a character boundary, or std::string::npos.
size_t MbcsFind(std::string_view haystack, std::string_view needle, size_t from = 0);
