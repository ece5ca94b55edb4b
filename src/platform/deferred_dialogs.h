#pragma once

#include "platform/dialog_services.h"

#include <optional>
#include <string>
#include <vector>

namespace sorvane {

// Keeps the messages and signals of work done away from the user's thread,
// to be shown there later, in order, by replayTo. Every message box is
// answered with its first button; choosers are answered with nothing. For
// work whose messages only inform: none of its decisions may hang on them.
class DeferredDialogs : public DialogServices {
 public:
  MessageAnswer showMessage(DialogOwner owner, std::u16string_view text,
                            std::optional<std::u16string_view> caption, MessageButtons buttons,
                            MessageIcon icon) override;
  std::optional<std::u16string> chooseFile(FileDialogKind, DialogOwner, std::u16string_view,
                                           std::u16string_view, std::u16string_view) override {
    return std::nullopt;
  }
  std::optional<std::u16string> chooseFolder(DialogOwner, std::u16string_view) override {
    return std::nullopt;
  }
  void beep() override;
  void flashWindow(DialogOwner window) override;

  // Shows what was kept, in the order it came, and forgets it.
  void replayTo(DialogServices& dialogs);

 private:
  enum class Kind { message, beep, flash };
  struct Call {
    Kind kind;
    DialogOwner owner;
    std::u16string text;
    std::optional<std::u16string> caption;
    MessageButtons buttons;
    MessageIcon icon;
  };
  std::vector<Call> calls_;
};

}  // namespace sorvane
