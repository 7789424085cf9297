// The shell seam held to Windows: natively on the call recorder, as a Windows program on the
// real shell (Wine's under Wine). What the ejector reads back from the shell is pinned: the
// result and error of starting a program that is not there, and a shortcut that reads back
// as it was made.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/twin/twin_shell.h"

#ifdef _WIN32
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/win32_shell.h"
#endif

namespace {

// A link as it reads back: its target and its description.
struct LinkContents {
  bool found = false;
  std::string target;
  std::string description;
};

// An empty folder to start programs in and save shortcuts to: a fresh temporary folder on
// Windows, a path of its own for the recorder.
class ShellUnderTest {
 public:
  ShellUnderTest() {
#ifdef _WIN32
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    m_folder = std::string(temp) + "SlotShellConformance";
    CreateDirectoryA(m_folder.c_str(), nullptr);
    m_shell = std::make_unique<platform::Win32Shell>(GetModuleHandleA(nullptr));
#else
    m_folder = "C:\\TEMP\\SlotShellConformance";
    m_shell = std::make_unique<platform::RecordingShell>();
#endif
  }
  ~ShellUnderTest() {
#ifdef _WIN32
    for (const std::string& file : m_made) DeleteFileA(file.c_str());
    RemoveDirectoryA(m_folder.c_str());
#endif
  }

  platform::IShell& Shell() { return *m_shell; }
  std::string Folder() const { return m_folder; }
  std::string PathOf(const std::string& name) {
    m_made.push_back(m_folder + "\\" + name);
    return m_made.back();
  }

  LinkContents ReadLink(const std::string& path) {
    LinkContents contents;
#ifdef _WIN32
    // Read through a link object of its own, as Explorer would open the file.
    if (FAILED(CoInitialize(nullptr))) return contents;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IShellLinkA, reinterpret_cast<void**>(&link)))) {
      IPersistFile* file = nullptr;
      if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR widePath[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        if (SUCCEEDED(file->Load(widePath, STGM_READ))) {
          char text[MAX_PATH] = {};
          contents.found = true;
          if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, 0))) contents.target = text;
          text[0] = '\0';
          if (SUCCEEDED(link->GetDescription(text, sizeof text))) contents.description = text;
        }
        file->Release();
      }
      link->Release();
    }
    CoUninitialize();
#else
    auto& recorder = static_cast<platform::RecordingShell&>(*m_shell);
    for (const auto& saved : recorder.savedLinks) {
      if (saved.first != path) continue;
      contents = {true, saved.second.target, saved.second.description};
    }
#endif
    return contents;
  }

  // Whether ANSI text is cp932 here, so that a Japanese file name is a file name.
  static bool AnsiIsCp932() {
#ifdef _WIN32
    return GetACP() == 932;
#else
    return true;
#endif
  }

 private:
  std::string m_folder;
  std::vector<std::string> m_made;
  std::unique_ptr<platform::IShell> m_shell;
};

class ShellConformance : public testing::Test {
 protected:
  ShellUnderTest target;
};

TEST_F(ShellConformance, StartingAProgramThatIsNotThereFailsWithFileNotFound) {
  // The icon repair command starts "Tolket.exe" from the program folder; without it the box
  // shows the code and the system's text for it.
  const intptr_t result = target.Shell().ShellExecute(0, "open", "Tolket.exe", "",
                                                      target.Folder().c_str(), platform::kSwShow);
  EXPECT_LE(result, 32);
  const uint32_t code = target.Shell().GetLastError();
  EXPECT_EQ(2u, code);  // ERROR_FILE_NOT_FOUND
  EXPECT_FALSE(target.Shell().SystemErrorText(code).empty());
}

TEST_F(ShellConformance, ShortcutReadsBackWithItsTargetAndDescription) {
  const std::string link = target.PathOf("CF drive (F).lnk");
  // The target need not exist: a card slot without a medium is still a root folder to link.
  ASSERT_TRUE(target.Shell().CreateShortcut(link.c_str(), "CF/MD", "F:\\"));
  const LinkContents contents = target.ReadLink(link);
  ASSERT_TRUE(contents.found);
  EXPECT_EQ("F:\\", contents.target);
  EXPECT_EQ("CF/MD", contents.description);
}

TEST_F(ShellConformance, ShortcutWithAJapaneseNameIsSavedUnderThatName) {
  if (!ShellUnderTest::AnsiIsCp932()) GTEST_SKIP() << "the ANSI code page is not cp932";
  // A SendTo shortcut is named after the slot's function text.
  const std::string link = target.PathOf("コンパクトフラッシュドライブ(G).lnk");
  ASSERT_TRUE(target.Shell().CreateShortcut(link.c_str(), "CF/MD", "G:\\"));
  const LinkContents contents = target.ReadLink(link);
  ASSERT_TRUE(contents.found);
  EXPECT_EQ("G:\\", contents.target);
}

}  // namespace
