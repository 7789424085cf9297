// One benchmark: a program's unit of work on a registry image, beside its floor — the same
// registry calls, recorded from a real run and played again without the program's work.
#pragma once
#include <memory>
#include <string>

#include "bench/bench_programs.h"
#include "bench/recording_registry.h"
#include "bench/registry_call_replay.h"

class BenchScenario {
 public:
  BenchScenario(BenchWork work, const char* osTag, platform::IRegistry& registry,
                platform::ISystem& text);
  ~BenchScenario();
  BenchScenario(const BenchScenario&) = delete;
  BenchScenario& operator=(const BenchScenario&) = delete;

  // Builds the program, brings the image to its steady state (a writer's first run moves the
  // letter; later runs rewrite it), records one run's registry calls and checks that playing
  // them again gets the same results.
  bool Prepare(std::string& error);

  void Run() { m_program->Run(); }
  void RunFloor() { m_replay->Run(); }

  size_t RegistryCalls() const { return m_recorder.Calls().size(); }
  int SlotsFound() const { return m_program->SlotsFound(); }
  BenchWork Work() const { return m_work; }
  const std::string& OsTag() const { return m_osTag; }
  // "Tavrik RefreshSlots (WinXP)".
  std::string Name() const;

 private:
  BenchWork m_work;
  std::string m_osTag;
  platform::IRegistry& m_registry;
  platform::ISystem& m_text;
  RecordingRegistry m_recorder;
  std::unique_ptr<BenchProgram> m_program;
  std::unique_ptr<BenchProgram> m_recorded;
  std::unique_ptr<RegistryCallReplay> m_replay;
};
