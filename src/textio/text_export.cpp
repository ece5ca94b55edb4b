#include "textio/text_export.h"

#include "platform/dialog_services.h"
#include "platform/message_format.h"
#include "platform/paths.h"
#include "platform/safe_file_writer.h"
#include "platform/system_error.h"
#include "qm/qm_reader.h"
#include "session/session.h"
#include "session/unique_file_name.h"
#include "widetext/byte_stream.h"

#include <vector>

namespace sorvane {

namespace {

template <typename Visit>
void forEachModText(const QmDocument& mod, Visit visit) {
  const bool anyForms = !mod.forms.empty();
  for (std::int32_t entry = 0; entry < mod.translations.count(); ++entry) {
    const std::int32_t forms = anyForms ? mod.forms.count(entry) : 1;
    for (std::int32_t form = 0; form < forms; ++form) visit(entry, form, mod.formText(entry, form));
  }
}

}  // namespace

std::int32_t exportLineCount(const QmDocument& mod) {
  std::int32_t lines = 0;
  forEachModText(mod, [&lines](std::int32_t, std::int32_t, std::u16string_view) { ++lines; });
  return lines;
}

WideStringList modTextLines(const QmDocument& mod) {
  WideStringList lines;
  lines.reserve(mod.translations.count());
  forEachModText(
      mod, [&lines](std::int32_t, std::int32_t, std::u16string_view text) { lines.add(text); });
  return lines;
}

void writeImportSideFiles(const WideStringList& imported, const QmDocument& mod) {
  imported.saveToFile(u"debug.txt");
  modTextLines(mod).saveToFile(u"debug1.txt");
}

int writeExportFile(const QmDocument& mod, std::u16string_view path) {
  std::size_t units = 1;
  forEachModText(mod, [&units](std::int32_t, std::int32_t, std::u16string_view text) {
    units += text.size() + 2;
  });
  std::vector<std::uint8_t> bytes;
  bytes.reserve(2 * units);
  const auto put = [&bytes](char16_t unit) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  };
  put(0xFEFF);
  forEachModText(mod, [&put](std::int32_t, std::int32_t, std::u16string_view text) {
    for (const char16_t unit : text) put(unit);
    put(u'\r');
    put(u'\n');
  });
  if (path.empty()) return ENOENT;
  return replaceFileContents(path, bytes);
}

void reportExportError(DialogServices& dialogs, std::u16string_view path, int error) {
  dialogs.showError(DialogOwner::exportDialog, formatMessage(u"Error exporting to \"%s\"\r\n%s",
                                                             {path, systemErrorText(error)}));
}

std::u16string defaultExportFileName(std::u16string_view modPath) {
  const std::u16string_view extension = extensionPart(modPath);
  std::u16string path(modPath.substr(0, modPath.size() - extension.size()));
  path += u".txt";
  return uniqueFileName(path);
}

bool importTextFile(Session& session, std::u16string_view path, DialogServices& dialogs,
                    WideStringList& imported) {
  imported.clear();
  ByteStream stream = ByteStream::openForReading(path);
  if (!stream.isOpen()) {
    reportOpenError(dialogs, path, stream.error());
    return false;
  }
  std::uint8_t header[2] = {};
  if (stream.read(header, 2) != 2 || header[0] != 0xFF || header[1] != 0xFE) {
    if (stream.error() != 0) {
      reportOpenError(dialogs, path, stream.error());
    } else {
      dialogs.showError(DialogOwner::mainWindow,
                        formatMessage(u"Wrong header in file \"%s\"", {path}));
    }
    return false;
  }
  if (const StreamLoadResult loaded = imported.loadFromStream(stream); !loaded) {
    dialogs.showError(DialogOwner::mainWindow, loaded.message);
    imported.clear();
    return false;
  }
  const std::int32_t current = exportLineCount(session.mod());
  if (imported.count() != current) {
    dialogs.showError(
        DialogOwner::mainWindow,
        formatMessage(u"File to import have different strings count than opened file. (%d : %d)",
                      {imported.count(), current}));
    return false;
  }
  session.replaceModTexts(imported);
  session.setModified(true);
  return true;
}

}  // namespace sorvane
