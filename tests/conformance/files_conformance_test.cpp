// The files seam held to Windows: GetShortPathNameA natively on the in-memory twin and, as a
// Windows program, on the real file system (Wine's under Wine). The 8.3 names themselves are
// the file system's choice, so the cases pin their form, not their spelling.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/twin/twin_files.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_files.h"
#endif

namespace {

constexpr const char kLongFolder[] = "Long Folder Name";
constexpr const char kLongFile[] = "slot icon file.ico";

// A folder holding "Long Folder Name\slot icon file.ico": in a fresh temporary folder on
// Windows, in a tree of its own on the twin.
class FilesUnderTest {
 public:
  FilesUnderTest() {
#ifdef _WIN32
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    m_base = std::string(temp) + "SlotFilesConformance";
    CreateDirectoryA(m_base.c_str(), nullptr);
    CreateDirectoryA((m_base + "\\" + kLongFolder).c_str(), nullptr);
    HANDLE file = CreateFileA(LongPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    m_files = std::make_unique<platform::Win32Files>();
#else
    m_base = "C:\\TEMP\\SlotFilesConformance";
    auto twin = std::make_unique<platform::MemoryFiles>();
    twin->AddFile(LongPath());
    twin->SetShortName(m_base, "SLOTFI~1");
    twin->SetShortName(m_base + "\\" + kLongFolder, "LONGFO~1");
    twin->SetShortName(LongPath(), "SLOTIC~1.ICO");
    m_files = std::move(twin);
#endif
  }
  ~FilesUnderTest() {
#ifdef _WIN32
    DeleteFileA(LongPath().c_str());
    RemoveDirectoryA((m_base + "\\" + kLongFolder).c_str());
    RemoveDirectoryA(m_base.c_str());
#endif
  }

  platform::IFiles& Files() { return *m_files; }
  std::string LongPath() const { return m_base + "\\" + kLongFolder + "\\" + kLongFile; }
  std::string Base() const { return m_base; }

 private:
  std::string m_base;
  std::unique_ptr<platform::IFiles> m_files;
};

bool IsShortElement(const std::string& element) {
  const size_t dot = element.find('.');
  const std::string name = element.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : element.substr(dot + 1);
  return !name.empty() && name.size() <= 8 && extension.size() <= 3 &&
         extension.find('.') == std::string::npos && element.find(' ') == std::string::npos;
}

class FilesConformance : public testing::Test {
 protected:
  // GetShortPathNameA into a buffer of `size` bytes filled with a sentinel.
  uint32_t Shorten(const std::string& path, uint32_t size, std::string& out) {
    std::string buffer(size + 1, '#');
    const uint32_t result = target.Files().GetShortPathNameA(path.c_str(), &buffer[0], size);
    out = buffer.substr(0, std::strlen(buffer.c_str()));
    return result;
  }
  FilesUnderTest target;
};

TEST_F(FilesConformance, ExistingFileGivesItsShortFormAndItsLength) {
  std::string shortPath;
  const uint32_t length = Shorten(target.LongPath(), 260, shortPath);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(shortPath.size(), length);
  // The two long elements come back in 8.3 form, each its own element.
  const size_t fileSlash = shortPath.rfind('\\');
  const size_t folderSlash = shortPath.rfind('\\', fileSlash - 1);
  ASSERT_NE(std::string::npos, folderSlash);
  EXPECT_TRUE(IsShortElement(shortPath.substr(fileSlash + 1))) << shortPath;
  EXPECT_TRUE(IsShortElement(shortPath.substr(folderSlash + 1, fileSlash - folderSlash - 1)))
      << shortPath;
  // The short form is a name of the same file.
  std::string again;
  EXPECT_EQ(length, Shorten(shortPath, 260, again));
  EXPECT_EQ(shortPath, again);
}

TEST_F(FilesConformance, TooSmallBufferGetsTheSizeNeededWithTheTerminator) {
  std::string shortPath;
  const uint32_t length = Shorten(target.LongPath(), 260, shortPath);
  ASSERT_GT(length, 0u);
  std::string out;
  EXPECT_EQ(length + 1, Shorten(target.LongPath(), length, out));
  EXPECT_EQ(length, Shorten(target.LongPath(), length + 1, out));
  EXPECT_EQ(shortPath, out);
}

TEST_F(FilesConformance, MissingFileOrFolderGivesZero) {
  std::string out;
  EXPECT_EQ(0u, Shorten(target.Base() + "\\" + kLongFolder + "\\missing icon.ico", 260, out));
  EXPECT_EQ(0u, Shorten(target.Base() + "\\Missing Folder\\" + kLongFile, 260, out));
}

}  // namespace
