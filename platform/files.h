// The files seam: what the programs ask of the file system.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// What became of a file written anew: not opened (nothing changed), opened but not all bytes
// written or the close failed (the file holds a part), or written whole.
enum class FileWrite { kNotOpened, kIncomplete, kWritten };

class IFiles {
 public:
  virtual ~IFiles() = default;

  // GetShortPathNameA: the 8.3 form of an existing file or folder. On success the length of
  // the short form without terminator; when shortChars is too small, the size needed with
  // the terminator, out left alone; 0 when the path does not resolve (a missing file).
  virtual uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                                     uint32_t shortChars) = 0;

  // GetModuleFileNameA of the running program, GetSystemDirectoryA, GetWindowsDirectoryA:
  // the length written without terminator, 0 on failure.
  virtual uint32_t GetModuleFileNameA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) = 0;
  // GetUserNameA: the logon name; *size is the buffer size in, the length with terminator out.
  virtual bool GetUserNameA(char* buffer, uint32_t* size) = 0;

  // CreateDirectoryA: fails when it exists already or its parent does not.
  virtual bool CreateDirectoryA(const char* path) = 0;
  virtual bool DeleteFileA(const char* path) = 0;
  // MoveFileA: fails when the source is missing or the target exists.
  virtual bool MoveFileA(const char* from, const char* to) = 0;
  // Whether a file search for exactly this path finds something (FindFirstFileA).
  virtual bool FileExists(const char* path) = 0;
  // Opens the file with mode "wb" (replacing it) and writes the bytes as they are.
  virtual FileWrite WriteNewFile(const char* path, const std::string& bytes) = 0;
};

}  // namespace platform
