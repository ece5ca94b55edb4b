#include "qm/comment_notice.h"

namespace sorvane {

void showCommentNotice(DialogServices& dialogs) {
  dialogs.showMessage(DialogOwner::none, kCommentNotice, kApplicationName, MessageButtons::ok,
                      MessageIcon::none);
}

MessageAnswer OneCommentNotice::showMessage(DialogOwner owner, std::u16string_view text,
                                            std::optional<std::u16string_view> caption,
                                            MessageButtons buttons, MessageIcon icon) {
  if (text == kCommentNotice) {
    if (noticeShown_) return MessageAnswer::ok;
    noticeShown_ = true;
  }
  return dialogs_.showMessage(owner, text, caption, buttons, icon);
}

}  // namespace sorvane
