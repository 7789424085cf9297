#include "bench/bench_system.h"

BenchSystem::BenchSystem(platform::ISystem& text, const platform::OsVersionNumbers& version)
    : m_text(text) {
  m_scripted.SetVersionNumbers(version);
  m_scripted.SetDrive('C', platform::kDriveFixed);
  // The connected readers' slots (E: to M:), every one with a medium.
  for (char letter = 'E'; letter <= 'M'; ++letter) {
    m_scripted.SetDrive(letter, platform::kDriveRemovable);
    m_scripted.SetMedium(letter, true);
  }
}
