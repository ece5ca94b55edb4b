#pragma once

#include "platform/dialog_services.h"

#include <ostream>

namespace sorvane {

// Dialog services for the command line: message texts go to an error
// stream (each CR LF as one line break), questions get their safe answer
// (Cancel), and choosers are cancelled.
class StderrDialogServices : public DialogServices {
 public:
  explicit StderrDialogServices(std::ostream& out) : out_(out) {}

  MessageAnswer showMessage(DialogOwner owner, std::u16string_view text,
                            std::optional<std::u16string_view> caption, MessageButtons buttons,
                            MessageIcon icon) override;
  std::optional<std::u16string> chooseFile(FileDialogKind kind, DialogOwner owner,
                                           std::u16string_view filter,
                                           std::u16string_view initialFolder,
                                           std::u16string_view initialFileName) override;
  std::optional<std::u16string> chooseFolder(DialogOwner owner,
                                             std::u16string_view initialFolder) override;
  void beep() override {}
  void flashWindow(DialogOwner) override {}

 private:
  std::ostream& out_;
};

}  // namespace sorvane
