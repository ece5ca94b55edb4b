#include "textio/text_export.h"

#include "platform/file_identity.h"

#include "platform/dialog_services.h"
#include "platform/message_format.h"
#include "platform/paths.h"
#include "platform/safe_file_writer.h"
#include "platform/system_error.h"
#include "platform/user_folders.h"
#include "qm/qm_reader.h"
#include "qm/read_errors.h"
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

std::u16string importSideFilesFolder() { return programFolder("XDG_STATE_HOME", u".local/state"); }

void writeImportSideFiles(const WideStringList& imported, const QmDocument& mod,
                          std::u16string_view importedPath) {
  const std::u16string folder = importSideFilesFolder();
  if (folder.empty() || (!isFolder(folder) && !createFolders(folder))) return;
  const auto write = [&folder, importedPath](const WideStringList& lines,
                                             std::u16string_view name) {
    const std::u16string path = folder + u"/" + std::u16string(name);
    const std::u16string_view inputs[] = {importedPath};
    if (writeTargetProblem(path, inputs)) return;
    const std::u16string text = lines.joinedText();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    // A link placed there is replaced, never written through.
    replaceFile(path, std::span(bytes, 2 * text.size()), {.followLinks = false});
  };
  write(imported, u"debug.txt");
  write(modTextLines(mod), u"debug1.txt");
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
  return replaceFileContents(path, bytes, {.keepReadOnly = true});
}

bool exportTargetAllowed(DialogServices& dialogs, std::u16string_view target,
                         std::span<const std::u16string_view> inputs) {
  const std::optional<std::u16string> problem = writeTargetProblem(target, inputs);
  if (!problem) return true;
  dialogs.showError(DialogOwner::exportDialog,
                    formatMessage(u"Error exporting to \"%s\"\r\n%s", {target, *problem}));
  return false;
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

namespace {

// Reads the rest of the stream as UTF-16LE code units; false when it can't
// be read to its end.
bool readUnits(ByteStream& stream, std::u16string& units) {
  const std::uint64_t size = stream.size();
  const std::uint64_t position = stream.position();
  const std::uint64_t remaining = size > position ? size - position : 0;
  if (remaining / 2 > units.max_size()) return false;
  units.resize(static_cast<std::size_t>(remaining / 2));
  return stream.read(units.data(), 2 * units.size()) == 2 * units.size();
}

// What an editor did to the file's line ends, when its lines can't be
// trusted: CR LF turned into LF alone (a text's line break can't be told
// from a line end then, so the count is off), or into CR alone (a CR not
// followed by LF is written by no export; with it, an empty text and a
// text's line break can trade places without changing the count). Empty
// when the line ends are as exported.
struct LineEnds {
  bool loneCr = false;
  bool crLf = false;
  bool lf = false;
};

LineEnds lineEndsOf(std::u16string_view text) {
  LineEnds ends;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n') {
      ends.lf = true;
    } else if (text[i] == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') {
        ends.crLf = true;
        ++i;
      } else {
        ends.loneCr = true;
      }
    }
  }
  return ends;
}

// The lines of the text by the rules of every line list: a CR ends a line,
// an LF right after it belongs to that end, and a lone LF is text. U+0000
// is text here (it can't add a line); each line is stored up to its first
// U+0000, as the QM reader cuts a translation there.
void splitImportLines(std::u16string_view text, WideStringList& lines) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r') continue;
    const std::u16string_view line = text.substr(start, i - start);
    lines.add(line.substr(0, line.find(u'\0')));
    if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) {
    const std::u16string_view line = text.substr(start);
    lines.add(line.substr(0, line.find(u'\0')));
  }
}

}  // namespace

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
  const std::uint64_t size = stream.size();
  if (stream.error() == 0 && size > stream.position() && (size - stream.position()) % 2 != 0) {
    dialogs.showError(DialogOwner::mainWindow, WideStringList::kOddLengthMessage);
    return false;
  }
  std::u16string text;
  if (!readUnits(stream, text)) {
    if (stream.error() != 0) {
      reportOpenError(dialogs, path, stream.error());
    } else {
      dialogs.showError(DialogOwner::mainWindow, u"The stream could not be read to its end.");
    }
    return false;
  }
  splitImportLines(text, imported);
  const std::int32_t current = exportLineCount(session.mod());
  const LineEnds ends = lineEndsOf(text);
  std::u16string problem;
  if (ends.loneCr) {
    problem = ends.crLf ? u"Some of the file's line ends were changed to CR only: its lines "
                          u"can't be told from line breaks inside texts"
                        : u"The file's line ends were changed to CR only: its lines can't be "
                          u"told from line breaks inside texts";
  } else if (imported.count() != current && ends.lf && !ends.crLf) {
    problem =
        u"The file's line ends were changed to LF only: its lines can't be told from line "
        u"breaks inside texts";
  }
  if (imported.count() != current) {
    if (!problem.empty()) problem += u"\r\n";
    problem +=
        formatMessage(u"File to import have different strings count than opened file. (%d : %d)",
                      {imported.count(), current});
  }
  if (!problem.empty()) {
    dialogs.showError(DialogOwner::mainWindow, problem);
    imported.clear();
    return false;
  }
  if (!session.replaceModTexts(imported)) return false;
  session.setModified(true);
  return true;
}

}  // namespace sorvane
