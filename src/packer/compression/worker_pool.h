// The threads that compress for vtpack: at most a given number, each
// started only when a task finds no idle one (a small package starts one or
// two), all joined when the pool ends. Tasks start in the order they are
// submitted. Workers block every signal, so SIGINT, SIGTERM and SIGHUP reach
// the main thread, whose handler removes the temporary output file.
#ifndef VANTOREL_PACKER_WORKER_POOL_H
#define VANTOREL_PACKER_WORKER_POOL_H

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace packer {

// The processors vtpack may use: those of its CPU affinity mask, fewer when
// a CPU quota (a container's, in the cgroup file system) allows fewer.
unsigned ProcessorsAvailable();

class WorkerPool {
 public:
  // `worker` is the index of the thread that runs the task, below Size():
  // what it indexes belongs to that thread alone. A task must not throw.
  using Task = std::function<void(unsigned worker)>;

  explicit WorkerPool(unsigned size);  // size >= 1
  ~WorkerPool();                       // runs the tasks still queued, then joins
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  unsigned Size() const { return size_; }
  // When no thread can be started at all, the caller runs the task itself.
  void Submit(Task task);

 private:
  void Work(unsigned worker);

  const unsigned size_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<Task> tasks_;
  std::vector<std::thread> threads_;
  unsigned idle_ = 0;
  bool ending_ = false;
};

}  // namespace packer

#endif
