#include "support/recording_dialog_services.h"

namespace sorvane::test {

MessageAnswer RecordingDialogServices::showMessage(DialogOwner owner, std::u16string_view text,
                                                   std::optional<std::u16string_view> caption,
                                                   MessageButtons buttons, MessageIcon icon) {
  DialogCall call;
  call.kind = DialogCall::Kind::message;
  call.owner = owner;
  call.text = std::u16string(text);
  if (caption) call.caption = std::u16string(*caption);
  call.buttons = buttons;
  call.icon = icon;
  calls_.push_back(std::move(call));
  if (!messageAnswers_.empty()) {
    const MessageAnswer answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
  }
  return buttons == MessageButtons::ok ? MessageAnswer::ok : MessageAnswer::cancel;
}

std::optional<std::u16string> RecordingDialogServices::chooseFile(
    FileDialogKind kind, DialogOwner owner, std::u16string_view filter,
    std::u16string_view initialFolder, std::u16string_view initialFileName) {
  DialogCall call;
  call.kind = DialogCall::Kind::chooseFile;
  call.owner = owner;
  call.fileKind = kind;
  call.filter = std::u16string(filter);
  call.initialFolder = std::u16string(initialFolder);
  call.initialFileName = std::u16string(initialFileName);
  calls_.push_back(std::move(call));
  if (pathAnswers_.empty()) return std::nullopt;
  std::optional<std::u16string> answer = std::move(pathAnswers_.front());
  pathAnswers_.pop_front();
  return answer;
}

std::optional<std::u16string> RecordingDialogServices::chooseFolder(
    DialogOwner owner, std::u16string_view initialFolder) {
  DialogCall call;
  call.kind = DialogCall::Kind::chooseFolder;
  call.owner = owner;
  call.initialFolder = std::u16string(initialFolder);
  calls_.push_back(std::move(call));
  if (pathAnswers_.empty()) return std::nullopt;
  std::optional<std::u16string> answer = std::move(pathAnswers_.front());
  pathAnswers_.pop_front();
  return answer;
}

void RecordingDialogServices::beep() {
  DialogCall call;
  call.kind = DialogCall::Kind::beep;
  calls_.push_back(std::move(call));
}

void RecordingDialogServices::flashWindow(DialogOwner window) {
  DialogCall call;
  call.kind = DialogCall::Kind::flashWindow;
  call.owner = window;
  calls_.push_back(std::move(call));
}

std::vector<std::u16string> RecordingDialogServices::messageTexts() const {
  std::vector<std::u16string> texts;
  for (const DialogCall& call : calls_) {
    if (call.kind == DialogCall::Kind::message) texts.push_back(call.text);
  }
  return texts;
}

}  // namespace sorvane::test
