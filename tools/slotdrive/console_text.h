// Text for the terminal. Messages are put together in the encoding the command line arrives
// in (UTF-8 on Linux, the system code page on Windows); registry text, which is in the
// system code page (cp932 here), joins them through NativeText. PrintText then writes a
// message in the encoding the terminal shows: the locale's on Linux, the console's output
// code page on Windows. Files written with --out never pass through here.
#pragma once
#include <cstdio>
#include <string>

namespace slotdrive {

// Once, before anything is printed: takes the locale's encoding on Linux.
void PrepareConsole();

// ANSI text (cp932) in the encoding of the command line; on Linux a byte sequence that is
// not cp932 becomes U+FFFD, so that a message stays readable whatever the registry held.
std::string NativeText(const std::string& ansiText);

// Writes text (in the encoding of the command line) to stream in the terminal's encoding.
void PrintText(std::FILE* stream, const std::string& text);

}  // namespace slotdrive
