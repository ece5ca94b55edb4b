#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvane {

// The window a dialog belongs to. The core names the role; each front end
// maps it to one of its own windows.
enum class DialogOwner { none, mainWindow, exportDialog, folderSearchWindow };

enum class MessageButtons { ok, okCancel, yesNoCancel };
enum class MessageIcon { none, error, exclamation, information };
enum class MessageAnswer { ok, cancel, yes, no };
// open: an existing file; save: a file to write (an existing one is asked
// about); chooseModFile: the Mod file's name, existing or not, titled
// "Choose the Mod file" with a "Choose" button.
enum class FileDialogKind { open, save, chooseModFile };

// The name of the application; an owner-less message box shows it as caption.
inline constexpr std::u16string_view kApplicationName = u"Sorvane";

// Modal message boxes, file and folder choosers and attention signals. The
// core reports to the user only through this interface; the Qt application,
// the command line and the tests each bring their own implementation.
class DialogServices {
 public:
  virtual ~DialogServices() = default;

  // Shows a modal message box and returns the button pressed. Without a
  // caption the box shows the platform's default one. Each CR LF of the text
  // is one line break.
  virtual MessageAnswer showMessage(DialogOwner owner, std::u16string_view text,
                                    std::optional<std::u16string_view> caption,
                                    MessageButtons buttons, MessageIcon icon) = 0;

  // Asks for a file. The filter is "description|pattern" pairs joined by
  // "|"; the first pair is preselected. Nothing when cancelled.
  virtual std::optional<std::u16string> chooseFile(FileDialogKind kind, DialogOwner owner,
                                                   std::u16string_view filter,
                                                   std::u16string_view initialFolder,
                                                   std::u16string_view initialFileName) = 0;

  // Asks for a folder. Nothing when cancelled.
  virtual std::optional<std::u16string> chooseFolder(DialogOwner owner,
                                                     std::u16string_view initialFolder) = 0;

  // The platform's default sound; does not wait for it to end.
  virtual void beep() = 0;

  // Flashes the window's caption and task-bar entry once.
  virtual void flashWindow(DialogOwner window) = 0;

  // The error box used for failures: owned, error icon, OK, default caption.
  void showError(DialogOwner owner, std::u16string_view text) {
    showMessage(owner, text, std::nullopt, MessageButtons::ok, MessageIcon::error);
  }
};

}  // namespace sorvane
