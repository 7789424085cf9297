// The worker thread on the standard library's threads, for the native builds (tests, tools).
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/worker_thread.h"

namespace platform {

namespace {

// Shared by the thread and its WorkerThread, which may be gone before the job ends.
struct JobState {
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
};

struct Worker {
  std::shared_ptr<JobState> state;
  std::thread thread;
};

}  // namespace

WorkerThread::WorkerThread(std::function<void()> job) {
  auto worker = std::make_unique<Worker>();
  worker->state = std::make_shared<JobState>();
  worker->thread = std::thread([state = worker->state, job = std::move(job)] {
    job();
    std::lock_guard<std::mutex> hold(state->lock);
    state->done = true;
    state->ended.notify_all();
  });
  m_thread = worker.release();
}

WorkerThread::~WorkerThread() {
  auto* worker = static_cast<Worker*>(m_thread);
  if (worker == nullptr) return;
  bool done = false;
  {
    std::lock_guard<std::mutex> hold(worker->state->lock);
    done = worker->state->done;
  }
  if (done)
    worker->thread.join();
  else
    worker->thread.detach();
  delete worker;
}

bool WorkerThread::Wait(uint32_t milliseconds) {
  auto* worker = static_cast<Worker*>(m_thread);
  if (worker == nullptr) return false;
  std::unique_lock<std::mutex> hold(worker->state->lock);
  return worker->state->ended.wait_for(hold, std::chrono::milliseconds(milliseconds),
                                       [&] { return worker->state->done; });
}

uint32_t TickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMilliseconds(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform
