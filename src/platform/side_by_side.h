#pragma once

#include <exception>
#include <system_error>
#include <thread>

namespace sorvane {

// Runs first on a thread of its own and second on the calling one, and
// returns when both are done; one after the other where no thread can be
// started. What first throws is thrown here once second is done.
template <typename First, typename Second>
void runSideBySide(First&& first, Second&& second) {
  std::exception_ptr firstError;
  const auto runFirst = [&first, &firstError] {
    try {
      first();
    } catch (...) {
      firstError = std::current_exception();
    }
  };
  std::jthread helper;
  try {
    helper = std::jthread(runFirst);
  } catch (const std::system_error&) {
    runFirst();
  }
  second();
  if (helper.joinable()) helper.join();
  if (firstError) std::rethrow_exception(firstError);
}

}  // namespace sorvane
