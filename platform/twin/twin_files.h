// The in-memory file system: a tree of drives, folders and files with the 8.3 names the
// system gave them, matched case-insensitively (ASCII folding, cp932-aware) like FAT and NTFS.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/files.h"

namespace platform {

class MemoryFiles : public IFiles {
 public:
  MemoryFiles();
  ~MemoryFiles() override;
  MemoryFiles(const MemoryFiles&) = delete;
  MemoryFiles& operator=(const MemoryFiles&) = delete;

  // Adds a file or folder at an absolute path ("C:\..."), with the folders above it. False
  // when the path is not absolute or passes through a file.
  bool AddFile(const std::string& path);
  bool AddFolder(const std::string& path);
  // The 8.3 name of the last element of an existing path ("PROGRA~1" for "C:\Program Files").
  bool SetShortName(const std::string& path, const std::string& shortName);
  bool Exists(const std::string& path) const;

  // What the identity calls answer.
  std::string modulePath = "C:\\Program Files\\Norvell\\Tavrik\\Tavrik.exe";
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  std::string windowsDirectory = "C:\\WINDOWS";
  std::string userName = "user";
  // Room left on the disk: a file written anew keeps only this many bytes of its content.
  size_t freeBytes = SIZE_MAX;
  // The bytes of a file, or false when there is no such file.
  bool ReadFile(const std::string& path, std::string& bytes) const;

  uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                             uint32_t shortChars) override;
  uint32_t GetModuleFileNameA(char* buffer, uint32_t size) override;
  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override;
  uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) override;
  bool GetUserNameA(char* buffer, uint32_t* size) override;
  bool CreateDirectoryA(const char* path) override;
  bool DeleteFileA(const char* path) override;
  bool MoveFileA(const char* from, const char* to) override;
  bool FileExists(const char* path) override;
  FileWrite WriteNewFile(const char* path, const std::string& bytes) override;

 private:
  struct Node;
  Node* Add(const std::string& path, bool folder);
  // The node a path names, or null; shortForm receives its 8.3 spelling when given.
  const Node* Find(const std::string& path, std::string* shortForm) const;
  // A child of a folder by its name or its 8.3 name; null if there is none.
  static Node* Child(const Node& folder, const std::string& element);
  // The folder that holds a path's last element, and that element's name.
  Node* Parent(const std::string& path, std::string* leaf);

  std::unique_ptr<Node> m_root;
};

}  // namespace platform
