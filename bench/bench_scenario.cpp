#include "bench/bench_scenario.h"

BenchScenario::BenchScenario(BenchWork work, const char* osTag, platform::IRegistry& registry,
                             platform::ISystem& text)
    : m_work(work), m_osTag(osTag), m_registry(registry), m_text(text), m_recorder(registry) {}

BenchScenario::~BenchScenario() = default;

std::string BenchScenario::Name() const {
  return std::string(BenchWorkName(m_work)) + " (" + m_osTag + ")";
}

bool BenchScenario::Prepare(std::string& error) {
  // The timed program talks to the registry directly; a twin of it, built over the recorder,
  // makes the run whose calls become the floor.
  m_program = MakeBenchProgram(m_work, m_osTag.c_str(), m_registry, m_text, error);
  if (!m_program) return false;
  m_recorded = MakeBenchProgram(m_work, m_osTag.c_str(), m_recorder, m_text, error);
  if (!m_recorded) return false;
  m_program->Run();
  m_recorder.Start();
  m_recorded->Run();
  m_recorder.Stop();
  if (m_recorder.Calls().empty()) {
    error = Name() + " made no registry call";
    return false;
  }
  m_replay =
      std::make_unique<RegistryCallReplay>(m_registry, m_recorder.Calls(), m_recorder.KeysOpened());
  const size_t differing = m_replay->Run();
  if (differing != 0) {
    error = Name() + ": " + std::to_string(differing) + " of " +
            std::to_string(m_recorder.Calls().size()) + " played-back calls got other results";
    return false;
  }
  m_program->Run();
  return true;
}
