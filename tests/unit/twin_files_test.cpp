#include "platform/twin/twin_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using platform::MemoryFiles;

// GetShortPathNameA into a buffer of `size` bytes pre-filled with a sentinel.
struct ShortPath {
  uint32_t result;
  std::string text;
};
ShortPath Shorten(MemoryFiles& files, const char* path, uint32_t size = 260) {
  std::string buffer(size, '\x5A');
  uint32_t result = files.GetShortPathNameA(path, &buffer[0], size);
  return {result, buffer.substr(0, std::strlen(buffer.c_str()))};
}

class MemoryFilesTest : public testing::Test {
 protected:
  MemoryFilesTest() {
    files.AddFile("C:\\Program Files\\Norvell\\Tavrik\\Icons\\minisd.ico");
    files.SetShortName("C:\\Program Files", "PROGRA~1");
  }
  MemoryFiles files;
};

TEST_F(MemoryFilesTest, LongElementsBecomeTheirShortNamesAndShortOnesStayAsGiven) {
  ShortPath s = Shorten(files, "C:\\Program Files\\Norvell\\Tavrik\\Icons\\minisd.ico");
  EXPECT_EQ("C:\\PROGRA~1\\Norvell\\Tavrik\\Icons\\minisd.ico", s.text);
  EXPECT_EQ(s.text.size(), s.result);
}

TEST_F(MemoryFilesTest, NamesMatchCaseInsensitivelyAndInTheirShortForm) {
  EXPECT_EQ("c:\\PROGRA~1\\NORVELL\\tavrik\\ICONS\\MINISD.ICO",
            Shorten(files, "c:\\program files\\NORVELL\\tavrik\\ICONS\\MINISD.ICO").text);
  EXPECT_EQ("C:\\PROGRA~1\\Norvell",
            Shorten(files, "C:\\progra~1\\Norvell").text);
  EXPECT_EQ("C:\\PROGRA~1\\", Shorten(files, "C:\\Program Files\\").text);
}

TEST_F(MemoryFilesTest, MissingFileOrFolderGivesZeroAndLeavesTheBufferAlone) {
  for (const char* path : {"C:\\Program Files\\Norvell\\Tavrik\\Icons\\xd.ico",
                           "D:\\Program Files", "C:\\Nowhere\\minisd.ico", "", "Icons\\a.ico",
                           "C:\\Program Files\\\\Norvell",
                           "C:\\Program Files\\Norvell\\Tavrik\\Icons\\minisd.ico\\"}) {
    SCOPED_TRACE(path);
    ShortPath s = Shorten(files, path, 8);
    EXPECT_EQ(0u, s.result);
    EXPECT_EQ(std::string(8, '\x5A'), s.text.substr(0, 8));
  }
  EXPECT_EQ(0u, files.GetShortPathNameA(nullptr, nullptr, 0));
}

TEST_F(MemoryFilesTest, TooSmallBufferGetsTheSizeNeededWithTheTerminator) {
  const char* path = "C:\\Program Files\\Norvell";
  const uint32_t length = static_cast<uint32_t>(std::strlen("C:\\PROGRA~1\\Norvell"));
  ShortPath tight = Shorten(files, path, length);
  EXPECT_EQ(length + 1, tight.result);
  EXPECT_EQ(std::string(length, '\x5A'), tight.text.substr(0, length));
  EXPECT_EQ(length, Shorten(files, path, length + 1).result);
}

TEST_F(MemoryFilesTest, DoubleByteNameWithA5CTrailByteIsOneElement) {
  // "ソフト" is 83 5C 83 74 83 67 in cp932: its first trail byte is a backslash.
  const std::string folder = "C:\\\x83\x5C\x83\x74\x83\x67";
  ASSERT_TRUE(files.AddFile(folder + "\\a.ico"));
  files.SetShortName(folder, "A~1");
  EXPECT_TRUE(files.Exists(folder));
  EXPECT_FALSE(files.Exists("C:\\\x83"));
  EXPECT_EQ("C:\\A~1\\a.ico", Shorten(files, (folder + "\\a.ico").c_str()).text);
}

TEST_F(MemoryFilesTest, AFileCannotHoldOtherFiles) {
  EXPECT_FALSE(files.AddFile("C:\\Program Files\\Norvell\\Tavrik\\Icons\\minisd.ico\\x"));
  EXPECT_FALSE(files.AddFile("relative\\path.ico"));
}

}  // namespace
