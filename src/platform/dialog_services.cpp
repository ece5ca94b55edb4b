#include "platform/dialog_services.h"

namespace sorvane {

std::u16string_view toString(DialogOwner owner) {
  switch (owner) {
    case DialogOwner::none:
      return u"none";
    case DialogOwner::mainWindow:
      return u"main window";
    case DialogOwner::exportDialog:
      return u"export dialog";
    case DialogOwner::folderSearchWindow:
      return u"folder search window";
  }
  return u"?";
}

std::u16string_view toString(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::ok:
      return u"OK";
    case MessageButtons::okCancel:
      return u"OK/Cancel";
    case MessageButtons::yesNoCancel:
      return u"Yes/No/Cancel";
  }
  return u"?";
}

std::u16string_view toString(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::none:
      return u"no icon";
    case MessageIcon::error:
      return u"error";
    case MessageIcon::exclamation:
      return u"exclamation";
    case MessageIcon::information:
      return u"information";
  }
  return u"?";
}

std::u16string_view toString(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::ok:
      return u"OK";
    case MessageAnswer::cancel:
      return u"Cancel";
    case MessageAnswer::yes:
      return u"Yes";
    case MessageAnswer::no:
      return u"No";
  }
  return u"?";
}

}  // namespace sorvane
