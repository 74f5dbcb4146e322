#include "packer/compression/worker_pool.h"

#include <pthread.h>
#include <sched.h>
#include <signal.h>

#include <fstream>
#include <string>
#include <system_error>

namespace packer {
namespace {

// CPU time per period that the cgroup allows, in whole processors rounded
// up; 0 when no quota is set or none can be read. cgroup v2 first, then v1.
unsigned CpuQuota() {
  long long quota = 0, period = 0;
  std::ifstream v2("/sys/fs/cgroup/cpu.max");
  std::string limit;
  if (v2 >> limit >> period) {
    if (limit == "max") return 0;
    quota = std::stoll(limit);
  } else {
    std::ifstream v1Quota("/sys/fs/cgroup/cpu/cpu.cfs_quota_us");
    std::ifstream v1Period("/sys/fs/cgroup/cpu/cpu.cfs_period_us");
    if (!(v1Quota >> quota) || !(v1Period >> period)) return 0;
  }
  if (quota <= 0 || period <= 0) return 0;
  return static_cast<unsigned>((quota + period - 1) / period);
}

}  // namespace

unsigned ProcessorsAvailable() {
  unsigned count = 0;
  cpu_set_t set;
  if (::sched_getaffinity(0, sizeof set, &set) == 0) count = static_cast<unsigned>(CPU_COUNT(&set));
  if (count == 0) count = std::thread::hardware_concurrency();
  unsigned quota = 0;
  try {
    quota = CpuQuota();
  } catch (const std::exception&) {  // a number stoll cannot read: no quota
  }
  if (quota > 0 && quota < count) count = quota;
  return count > 0 ? count : 1;
}

WorkerPool::WorkerPool(unsigned size) : size_(size > 0 ? size : 1) {}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  queued_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::Submit(Task task) {
  std::unique_lock<std::mutex> lock(mutex_);
  tasks_.push_back(std::move(task));
  if (idle_ == 0 && threads_.size() < size_) {
    // The new thread inherits this mask: every signal blocked.
    sigset_t all, previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &previous);
    try {
      threads_.emplace_back(&WorkerPool::Work, this, static_cast<unsigned>(threads_.size()));
    } catch (const std::system_error&) {
      // No more threads (a process limit): those started take the task.
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (threads_.empty()) {
      Task run = std::move(tasks_.back());
      tasks_.pop_back();
      lock.unlock();
      run(0);
      return;
    }
  }
  lock.unlock();
  queued_.notify_one();
}

void WorkerPool::Work(unsigned worker) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ++idle_;
    queued_.wait(lock, [this] { return ending_ || !tasks_.empty(); });
    --idle_;
    if (tasks_.empty()) return;  // ending, nothing left
    Task task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    task(worker);
    lock.lock();
  }
}

}  // namespace packer
