#pragma once

#include "platform/dialog_services.h"

#include <QPointer>
#include <QWidget>

#include <array>

namespace sorvane {

// The dialog services on Qt: QMessageBox, QFileDialog, the application's
// beep and alert. Each owner role is mapped to the window it stands for.
class QtDialogServices : public DialogServices {
 public:
  void setWindow(DialogOwner owner, QWidget* window);

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

  // "QM Files (*.qm)|*.qm|All files (*.*)|*.*" as Qt's name filters.
  static QStringList nameFilters(std::u16string_view filter);

 private:
  QWidget* window(DialogOwner owner) const;

  std::array<QPointer<QWidget>, 4> windows_;
};

}  // namespace sorvane
