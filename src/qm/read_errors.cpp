#include "qm/read_errors.h"

#include "platform/dialog_services.h"
#include "platform/message_format.h"
#include "platform/system_error.h"

namespace sorvane {

void reportOutOfMemory(DialogServices& dialogs, std::u16string_view fileName) {
  dialogs.showError(DialogOwner::mainWindow,
                    formatMessage(u"Not enough memory to read \"%s\"", {fileName}));
}

void reportUnexpectedData(DialogServices& dialogs, std::u16string_view what,
                          std::u16string_view fileName, std::uint64_t position, std::uint8_t data) {
  dialogs.showError(
      DialogOwner::mainWindow,
      formatMessage(u"Unexpected data %s.\r\n\r\nFile: \"%s\"\r\nPosition: 0x%08x\r\nData: 0x%02x",
                    {what, fileName, position, data}));
}

void reportOpenError(DialogServices& dialogs, std::u16string_view fileName, int error) {
  dialogs.showError(DialogOwner::mainWindow, formatMessage(u"Error opening \"%s\"\r\n%s",
                                                           {fileName, systemErrorText(error)}));
}

}  // namespace sorvane
