#pragma once

#include "platform/dialog_services.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace sorvane::test {

// One call of the dialog services, as the recorder saw it.
struct DialogCall {
  enum class Kind { message, chooseFile, chooseFolder, beep, flashWindow };

  Kind kind = Kind::message;
  DialogOwner owner = DialogOwner::none;
  std::u16string text;
  std::optional<std::u16string> caption;
  MessageButtons buttons = MessageButtons::ok;
  MessageIcon icon = MessageIcon::none;
  FileDialogKind fileKind = FileDialogKind::open;
  std::u16string filter;
  std::u16string initialFolder;
  std::u16string initialFileName;
};

// Dialog services for tests: records every call and answers from a script.
// Without a scripted answer a message box answers OK when that is its only
// button and Cancel otherwise, and choosers are cancelled.
class RecordingDialogServices : public DialogServices {
 public:
  MessageAnswer showMessage(DialogOwner owner, std::u16string_view text,
                            std::optional<std::u16string_view> caption, MessageButtons buttons,
                            MessageIcon icon) override;
  std::optional<std::u16string> chooseFile(FileDialogKind kind, DialogOwner owner,
                                           std::u16string_view filter,
                                           std::u16string_view initialFolder,
                                           std::u16string_view initialFileName) override;
  std::optional<std::u16string> chooseFolder(DialogOwner owner,
                                             std::u16string_view initialFolder) override;
  void beep() override;
  void flashWindow(DialogOwner window) override;

  void answerNextMessage(MessageAnswer answer) { messageAnswers_.push_back(answer); }
  void answerNextChooser(std::optional<std::u16string> path) {
    pathAnswers_.push_back(std::move(path));
  }

  const std::vector<DialogCall>& calls() const { return calls_; }
  // The texts of the message boxes shown, in order.
  std::vector<std::u16string> messageTexts() const;
  void clear() { calls_.clear(); }

 private:
  std::vector<DialogCall> calls_;
  std::deque<MessageAnswer> messageAnswers_;
  std::deque<std::optional<std::u16string>> pathAnswers_;
};

}  // namespace sorvane::test
