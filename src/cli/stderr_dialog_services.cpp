#include "cli/stderr_dialog_services.h"

#include "cli/utf8_output.h"

namespace sorvane {

MessageAnswer StderrDialogServices::showMessage(DialogOwner, std::u16string_view text,
                                                std::optional<std::u16string_view>,
                                                MessageButtons buttons, MessageIcon) {
  out_ << toTerminalText(text) << '\n';
  out_.flush();
  return buttons == MessageButtons::ok ? MessageAnswer::ok : MessageAnswer::cancel;
}

std::optional<std::u16string> StderrDialogServices::chooseFile(FileDialogKind, DialogOwner,
                                                               std::u16string_view,
                                                               std::u16string_view,
                                                               std::u16string_view) {
  return std::nullopt;
}

std::optional<std::u16string> StderrDialogServices::chooseFolder(DialogOwner, std::u16string_view) {
  return std::nullopt;
}

}  // namespace sorvane
