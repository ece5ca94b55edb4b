#include "fuzz_support.h"

#include "platform/path_codec.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace sorvane::fuzz {

MessageAnswer SilentDialogServices::showMessage(DialogOwner, std::u16string_view text,
                                                std::optional<std::u16string_view>,
                                                MessageButtons buttons, MessageIcon) {
  if (text.empty()) std::abort();  // Every box the program shows has a text.
  ++messages;
  return buttons == MessageButtons::yesNoCancel ? MessageAnswer::yes : MessageAnswer::ok;
}

std::u16string writeInputFile(const std::uint8_t* data, std::size_t size, int slot) {
  const char* base = std::getenv("TMPDIR");
  const std::string path = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                           "/sorvane-fuzz-" + std::to_string(::getpid()) + "-" +
                           std::to_string(slot) + ".bin";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return pathFromNative(path);
}

}  // namespace sorvane::fuzz
