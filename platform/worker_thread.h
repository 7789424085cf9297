// A thread for calls that can block for good. Windows waits in some calls on a lock that a
// pending request of another program holds (asking a file object's type or name while a
// synchronous read waits on it). A caller that must go on answering runs such calls on a
// worker, waits as long as it can afford, and leaves a stuck worker behind. A worker is never
// terminated: a thread killed inside a system call can leave a lock of the process held.
#pragma once
#include <cstdint>
#include <functional>

namespace platform {

class WorkerThread {
 public:
  // Starts a thread that runs job once. The job must own everything it touches (through its
  // captures): the caller may leave before it ends.
  explicit WorkerThread(std::function<void()> job);
  // A worker that has not finished is left to end on its own.
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // False when no thread could be started (the job then never runs).
  bool Started() const { return m_thread != nullptr; }
  // Waits up to milliseconds for the job to end; true once it has.
  bool Wait(uint32_t milliseconds);

 private:
  void* m_thread = nullptr;  // the implementation's own record of the thread
};

// Milliseconds since some start, going only up (wrapping after 49 days, as GetTickCount).
uint32_t TickCount();
// Gives up the processor for about milliseconds.
void SleepMilliseconds(uint32_t milliseconds);

}  // namespace platform
