// The system seam of a benchmark run: text conversion from the platform under test (the
// in-memory twin natively, WideCharToMultiByte on Windows), everything else scripted: the
// version of the system the run pretends to be, and the readers' drives with media.
#pragma once
#include "platform/twin/twin_system.h"

class BenchSystem : public platform::ISystem {
 public:
  // osTag: the version tag of the system the run pretends to be ("WinXP", "Win98", ...).
  BenchSystem(platform::ISystem& text, const char* osTag);

  platform::OsVersionNumbers GetVersionNumbers() override { return m_scripted.GetVersionNumbers(); }
  uint32_t GetLogicalDrives() override { return m_scripted.GetLogicalDrives(); }
  unsigned QueryDriveType(const char* rootPath) override {
    return m_scripted.QueryDriveType(rootPath);
  }
  bool ProbeFreeSpace(const char* rootPath) override { return m_scripted.ProbeFreeSpace(rootPath); }
  void Sleep(uint32_t milliseconds) override { m_scripted.Sleep(milliseconds); }
  int WideToAnsi(const uint16_t* text, char* out, int outBytes) override {
    return m_text.WideToAnsi(text, out, outBytes);
  }
  int AnsiToWide(const char* text, int length, uint16_t* out, int outChars) override {
    return m_text.AnsiToWide(text, length, out, outChars);
  }

 private:
  platform::ISystem& m_text;
  platform::ScriptedSystem m_scripted;
};
