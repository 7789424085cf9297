// The in-memory system: a scripted machine whose version, drives and media a test sets.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/system.h"

namespace platform {

class ScriptedSystem : public ISystem {
 public:
  ScriptedSystem() { m_driveTypes.fill(kDriveNoRootDir); }

  void SetVersionNumbers(const OsVersionNumbers& numbers) { m_version = numbers; }
  // A letter with a type other than "no root directory" is a logical drive.
  void SetDrive(char letter, unsigned driveType);
  void RemoveDrive(char letter) { SetDrive(letter, kDriveNoRootDir); }
  // Whether the medium in a drive answers the free-space probe.
  void SetMedium(char letter, bool present);

  uint32_t SleepCalls() const { return m_sleepCalls; }
  uint64_t SleptMilliseconds() const { return m_sleptMs; }
  uint32_t ProbeCalls() const { return m_probeCalls; }

  OsVersionNumbers GetVersionNumbers() override { return m_version; }
  uint32_t GetLogicalDrives() override;
  unsigned QueryDriveType(const char* rootPath) override;
  bool ProbeFreeSpace(const char* rootPath) override;
  void Sleep(uint32_t milliseconds) override;
  int WideToAnsi(const uint16_t* text, char* out, int outBytes) override;
  int AnsiToWide(const char* text, int length, uint16_t* out, int outChars) override;

 private:
  // A path names a drive only in the form "X:\" (or "X:"), as the real calls need.
  static int DriveIndex(const char* rootPath);

  OsVersionNumbers m_version;
  std::array<unsigned, 26> m_driveTypes{};
  std::array<bool, 26> m_media{};
  uint32_t m_sleepCalls = 0;
  uint64_t m_sleptMs = 0;
  uint32_t m_probeCalls = 0;
};

}  // namespace platform
