// Computes results for items 0, 1, 2, ... on worker threads, a bounded
// number ahead of one consumer that takes them strictly in order. The build
// uses it so that the slow, read-only part of each step (decoding a tile,
// choosing a cell's tile) runs on every core while everything with an
// effect (messages, painting, progress) stays in order on the calling thread.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tesselor {

inline int WorkerThreadCount() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

template <class Result>
class OrderedParallel {
 public:
  // work(i) must be safe to run on several threads at once. At most window
  // results wait for the consumer at any time, which bounds the memory.
  // When consumerWorks, the consumer runs work itself for items no worker
  // has taken yet while it waits, so it needs one worker fewer and is not
  // put to sleep and woken for each item; with no workers at all it runs
  // every item itself, in order.
  OrderedParallel(int64_t count, std::function<Result(int64_t)> work, int window,
                  int threads = WorkerThreadCount(), bool consumerWorks = false)
      : count_(count),
        work_(std::move(work)),
        slots_(static_cast<size_t>(std::max(window, 1))),
        consumerWorks_(consumerWorks) {
    for (int t = 0; t < threads; ++t) workers_.emplace_back([this] { WorkerLoop(); });
  }

  ~OrderedParallel() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    spaceFree_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }

  OrderedParallel(const OrderedParallel&) = delete;
  OrderedParallel& operator=(const OrderedParallel&) = delete;

  // The result of the next item in order. While it is not ready yet, idle()
  // runs every few milliseconds (to keep a window responsive). An exception
  // thrown by work is rethrown here.
  Result TakeNext(const std::function<void()>& idle) {
    std::unique_lock lock(mutex_);
    std::optional<Result>& slot = slots_[static_cast<size_t>(taken_ % Window())];
    while (!slot) {
      if (error_) std::rethrow_exception(error_);
      if (consumerWorks_ && HasRoom()) {
        RunNext(lock);
        continue;
      }
      if (resultReady_.wait_for(lock, std::chrono::milliseconds(5)) == std::cv_status::timeout) {
        lock.unlock();
        idle();
        lock.lock();
      }
    }
    Result result = std::move(*slot);
    slot.reset();
    ++taken_;
    lock.unlock();
    spaceFree_.notify_all();
    return result;
  }

 private:
  int64_t Window() const { return static_cast<int64_t>(slots_.size()); }
  // Whether an item is left that no thread has taken and whose slot is free.
  bool HasRoom() const { return next_ < count_ && next_ < taken_ + Window(); }

  // Takes the next item and runs it with the lock released; lock is held on
  // entry and on return.
  void RunNext(std::unique_lock<std::mutex>& lock) {
    const int64_t item = next_++;
    lock.unlock();
    std::optional<Result> result;
    std::exception_ptr error;
    try {
      result.emplace(work_(item));
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    if (error)
      error_ = error;
    else
      slots_[static_cast<size_t>(item % Window())] = std::move(result);
  }

  void WorkerLoop() {
    std::unique_lock lock(mutex_);
    while (true) {
      spaceFree_.wait(lock, [this] { return stopping_ || error_ || next_ >= count_ || HasRoom(); });
      if (stopping_ || error_ || next_ >= count_) return;
      RunNext(lock);
      resultReady_.notify_all();
    }
  }

  const int64_t count_;
  const std::function<Result(int64_t)> work_;
  std::mutex mutex_;
  std::condition_variable resultReady_;
  std::condition_variable spaceFree_;
  std::vector<std::optional<Result>> slots_;  // ring: item i waits in slot i % window
  int64_t next_ = 0;                          // next item a worker takes
  int64_t taken_ = 0;                         // items the consumer has taken
  const bool consumerWorks_;
  bool stopping_ = false;
  std::exception_ptr error_;
  std::vector<std::thread> workers_;
};

}  // namespace tesselor
