#include "platform/deferred_dialogs.h"

namespace sorvane {

MessageAnswer DeferredDialogs::showMessage(DialogOwner owner, std::u16string_view text,
                                           std::optional<std::u16string_view> caption,
                                           MessageButtons buttons, MessageIcon icon) {
  calls_.push_back({Kind::message, owner, std::u16string(text),
                    caption ? std::optional<std::u16string>(*caption) : std::nullopt, buttons,
                    icon});
  return buttons == MessageButtons::yesNoCancel ? MessageAnswer::yes : MessageAnswer::ok;
}

void DeferredDialogs::beep() {
  calls_.push_back({Kind::beep, DialogOwner::none, {}, {}, MessageButtons::ok, MessageIcon::none});
}

void DeferredDialogs::flashWindow(DialogOwner window) {
  calls_.push_back({Kind::flash, window, {}, {}, MessageButtons::ok, MessageIcon::none});
}

void DeferredDialogs::replayTo(DialogServices& dialogs) {
  for (const Call& call : calls_) {
    switch (call.kind) {
      case Kind::message: {
        std::optional<std::u16string_view> caption;
        if (call.caption) caption = *call.caption;
        dialogs.showMessage(call.owner, call.text, caption, call.buttons, call.icon);
        break;
      }
      case Kind::beep:
        dialogs.beep();
        break;
      case Kind::flash:
        dialogs.flashWindow(call.owner);
        break;
    }
  }
  calls_.clear();
}

}  // namespace sorvane
