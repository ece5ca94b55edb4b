#pragma once

#include "platform/dialog_services.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Every target's entry point, called by libFuzzer (or by the tests'
// replay of the seeds).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace sorvane::fuzz {

// Dialog services that answer every box with its first button and choose
// nothing, so that code under fuzzing never waits.
class SilentDialogServices : public DialogServices {
 public:
  MessageAnswer showMessage(DialogOwner, std::u16string_view text,
                            std::optional<std::u16string_view>, MessageButtons buttons,
                            MessageIcon) override;
  std::optional<std::u16string> chooseFile(FileDialogKind, DialogOwner, std::u16string_view,
                                           std::u16string_view, std::u16string_view) override {
    return std::nullopt;
  }
  std::optional<std::u16string> chooseFolder(DialogOwner, std::u16string_view) override {
    return std::nullopt;
  }
  void beep() override {}
  void flashWindow(DialogOwner) override {}

  std::size_t messages = 0;
};

// Writes the fuzzer's input to a file of this process and returns its path;
// each slot is a file of its own.
std::u16string writeInputFile(const std::uint8_t* data, std::size_t size, int slot = 0);

}  // namespace sorvane::fuzz
