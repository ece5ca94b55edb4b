#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace sorvane {

// Makes pieces 0 to count - 1 of an output on this thread and one more,
// where one can be had, and passes them on in order. Either thread makes
// the next piece not yet taken into a buffer of its own, and this one
// passes the buffers on in order, so that the work is shared however the
// threads are scheduled and no more than a few pieces are held at once.
//
// make(worker, piece, buffer) fills the buffer, worker 0 on this thread and
// 1 on the other, so that each may keep what it needs of its own;
// pass(buffer) takes it and returns whether to go on. What either throws
// ends the work and is thrown here.
template <typename Make, typename Pass>
void makePiecesInOrder(std::size_t count, const Make& make, const Pass& pass) {
  constexpr std::size_t kHeld = 4;
  struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t taken = 0;   // pieces either thread has begun
    std::size_t passed = 0;  // pieces passed on
    std::array<bool, kHeld> ready{};
    std::array<std::string, kHeld> buffers;
    bool stop = false;
    std::exception_ptr failure;
    // The next piece to make, if one may be begun: its buffer is free once
    // the piece kHeld before it is passed on.
    std::optional<std::size_t> take(std::size_t all) {
      if (stop || taken >= all || taken >= passed + kHeld) return std::nullopt;
      return taken++;
    }
  } shared;
  const auto makeOne = [&](int worker, std::size_t piece) {
    std::string& into = shared.buffers[piece % kHeld];
    into.clear();
    make(worker, piece, into);
    const std::lock_guard lock(shared.mutex);
    shared.ready[piece % kHeld] = true;
    shared.changed.notify_all();
  };
  const auto help = [&] {
    try {
      for (;;) {
        std::optional<std::size_t> piece;
        {
          std::unique_lock lock(shared.mutex);
          shared.changed.wait(lock, [&] {
            return shared.stop || shared.taken >= count || shared.taken < shared.passed + kHeld;
          });
          piece = shared.take(count);
        }
        if (!piece) return;
        makeOne(1, *piece);
      }
    } catch (...) {
      const std::lock_guard lock(shared.mutex);
      shared.failure = std::current_exception();
      shared.stop = true;
      shared.changed.notify_all();
    }
  };
  std::thread helper;
  try {
    helper = std::thread(help);
  } catch (const std::system_error&) {
    // Without a second thread this one makes every piece.
  }
  // Stops the helper, also when this thread's work throws.
  const auto finish = [&] {
    if (!helper.joinable()) return;
    {
      const std::lock_guard lock(shared.mutex);
      shared.stop = true;
      shared.changed.notify_all();
    }
    helper.join();
  };
  struct Finisher {
    const decltype(finish)& run;
    ~Finisher() { run(); }
  } finisher{finish};
  std::unique_lock lock(shared.mutex);
  while (shared.passed < count && !shared.failure && !shared.stop) {
    const std::size_t slot = shared.passed % kHeld;
    if (shared.ready[slot]) {
      lock.unlock();
      const bool goOn = pass(static_cast<const std::string&>(shared.buffers[slot]));
      lock.lock();
      shared.ready[slot] = false;
      ++shared.passed;
      if (!goOn) shared.stop = true;
      shared.changed.notify_all();
    } else if (const std::optional<std::size_t> piece = shared.take(count)) {
      lock.unlock();
      makeOne(0, *piece);
      lock.lock();
    } else {
      shared.changed.wait(lock);
    }
  }
  const std::exception_ptr failure = shared.failure;
  lock.unlock();
  finish();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace sorvane
