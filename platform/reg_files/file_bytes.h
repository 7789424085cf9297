// Whole files read and written as bytes, through C stdio in binary mode.
//
// Not through the C++ file streams: in the mingw-w64 runtime they import _fstat64, which the
// msvcrt.dll of Windows 98 does not export, so a program using them would not load there.
#pragma once
#include <cstddef>
#include <string>

namespace platform {

enum class FileReadResult { kOk, kCannotOpen, kTooLarge, kReadError };

// Reads the whole file into bytes. A file longer than maxBytes is kTooLarge, with nothing
// more than maxBytes + 1 bytes read.
FileReadResult ReadFileBytes(const std::string& path, size_t maxBytes, std::string& bytes);

// Creates or truncates the file and writes bytes; false when it cannot be created, written
// or closed.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace platform
