#pragma once

#include "platform/dialog_services.h"

#include <string_view>

namespace sorvane {

// The notice shown once a file has been read that carries comments although
// its records are not in Qt's own shape, where comments belong.
inline constexpr std::u16string_view kCommentNotice =
    u"Error. If you see this message, please report me about it.";

void showCommentNotice(DialogServices& dialogs);

// Passes everything on, but the comment notice only once, so that the files
// read for one Open, or the files of one search, show it at most once.
class OneCommentNotice : public DialogServices {
 public:
  explicit OneCommentNotice(DialogServices& dialogs) : dialogs_(dialogs) {}

  MessageAnswer showMessage(DialogOwner owner, std::u16string_view text,
                            std::optional<std::u16string_view> caption, MessageButtons buttons,
                            MessageIcon icon) override;
  std::optional<std::u16string> chooseFile(FileDialogKind kind, DialogOwner owner,
                                           std::u16string_view filter,
                                           std::u16string_view initialFolder,
                                           std::u16string_view initialFileName) override {
    return dialogs_.chooseFile(kind, owner, filter, initialFolder, initialFileName);
  }
  std::optional<std::u16string> chooseFolder(DialogOwner owner,
                                             std::u16string_view initialFolder) override {
    return dialogs_.chooseFolder(owner, initialFolder);
  }
  void beep() override { dialogs_.beep(); }
  void flashWindow(DialogOwner window) override { dialogs_.flashWindow(window); }

 private:
  DialogServices& dialogs_;
  bool noticeShown_ = false;
};

}  // namespace sorvane
