// The worker thread on Windows' own threads: the shipped programs carry no C++ thread runtime
// (the one mingw-w64 has imports functions that Windows 95 to 2000 lack).
#include <windows.h>

#include <utility>

#include "platform/worker_thread.h"

namespace platform {

namespace {

DWORD WINAPI RunJob(void* parameter) {
  // The thread owns its job, so a worker left behind still has what it works on.
  auto* job = static_cast<std::function<void()>*>(parameter);
  (*job)();
  delete job;
  return 0;
}

}  // namespace

WorkerThread::WorkerThread(std::function<void()> job) {
  auto* owned = new std::function<void()>(std::move(job));
  DWORD id = 0;  // Windows 9x refuses a null thread id pointer
  HANDLE thread = CreateThread(nullptr, 0, RunJob, owned, 0, &id);
  if (thread == nullptr) {
    delete owned;
    return;
  }
  m_thread = thread;
}

WorkerThread::~WorkerThread() {
  // Closing the handle does not end the thread; a stuck one ends when its call returns.
  if (m_thread != nullptr) CloseHandle(static_cast<HANDLE>(m_thread));
}

bool WorkerThread::Wait(uint32_t milliseconds) {
  return m_thread != nullptr &&
         WaitForSingleObject(static_cast<HANDLE>(m_thread), milliseconds) == WAIT_OBJECT_0;
}

uint32_t TickCount() { return GetTickCount(); }

void SleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace platform
