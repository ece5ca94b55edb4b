#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace sorvane::test {

// Runs checks in a forked child so that a test can change what the process
// may do. The child's exit code is the check's result (0 for success); -1
// means the child died (a crash or an abort).

// The user id of "nobody", whom permission tests run as.
inline constexpr unsigned kUnprivilegedId = 65534;

// Runs check as "nobody" when the tests run as root, where every permission
// check passes, or as the current user otherwise.
int runUnprivileged(const std::function<int()>& check);
// Gives a folder and everything in it to "nobody" when running as root, so
// that an unprivileged check can use it.
void giveToUnprivilegedUser(const std::string& path);

// Runs check with the address space limited to what the process uses now
// plus extraBytes, so that an allocation beyond it fails.
int runWithMemoryLimit(std::size_t extraBytes, const std::function<int()>& check);

// Whether the build uses AddressSanitizer, which reserves address space far
// beyond any limit.
bool builtWithAddressSanitizer();

}  // namespace sorvane::test
