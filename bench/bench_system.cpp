#include "bench/bench_system.h"

#include "fake_machine/fake_machine.h"

BenchSystem::BenchSystem(platform::ISystem& text, const char* osTag) : m_text(text) {
  fake::StartSystem(m_scripted, osTag);
  // The connected readers' slots (E: to M:), every one with a medium.
  for (char letter = 'E'; letter <= 'M'; ++letter) fake::PlugDrive(m_scripted, letter, true);
}
