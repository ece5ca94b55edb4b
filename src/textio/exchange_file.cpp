#include "textio/exchange_file.h"

#include "platform/dialog_services.h"
#include "platform/file_descriptor.h"
#include "platform/message_format.h"
#include "platform/path_codec.h"
#include "platform/paths.h"
#include "platform/safe_file_writer.h"
#include "platform/system_error.h"
#include "platform/utf8.h"
#include "qm/plural_rules.h"
#include "session/session.h"
#include "textio/po_file.h"
#include "textio/xml_exchange.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace sorvane {

namespace {

bool endsWith(std::u16string_view text, std::u16string_view end) {
  if (text.size() < end.size()) return false;
  for (std::size_t i = 0; i < end.size(); ++i) {
    char16_t unit = text[text.size() - end.size() + i];
    if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
    if (unit != end[i]) return false;
  }
  return true;
}

// The whole file, for the XML parser; 0 or the errno of the failure.
int readWholeFile(std::u16string_view path, std::vector<std::uint8_t>& bytes) {
  const FileDescriptor fd(openPath(nativePath(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.valid()) return errno;
  struct stat status {};
  if (fstat(fd.get(), &status) != 0) return errno;
  if (!S_ISREG(status.st_mode)) return EINVAL;
  // Exchange files are text of a few hundred megabytes at the very most.
  constexpr off_t kLargest = off_t{1} << 32;
  if (status.st_size > kLargest) return EFBIG;
  bytes.resize(static_cast<std::size_t>(status.st_size));
  int error = 0;
  if (readAt(fd.get(), bytes.data(), bytes.size(), 0, &error) != bytes.size()) {
    return error != 0 ? error : EIO;
  }
  return 0;
}

ExchangeHeader headerOf(const Session& session, std::u16string_view modPath) {
  ExchangeHeader header;
  header.project = toUtf8(fileNamePart(modPath));
  header.language = session.modLanguage();
  const std::vector<std::uint8_t>& source = session.newOriginal().languageBlock;
  header.sourceLanguage.assign(source.begin(), source.end());
  header.pluralRules = session.mod().numerusRulesBlock;
  if (header.pluralRules.empty()) {
    if (const std::optional<PluralLanguage> language = pluralLanguage(header.language)) {
      header.pluralRules = language->rules;
    }
  }
  return header;
}

}  // namespace

std::optional<ExchangeFormat> exchangeFormatNamed(std::string_view name) {
  if (name == "po") return ExchangeFormat::po;
  if (name == "xliff") return ExchangeFormat::xliff;
  if (name == "ts") return ExchangeFormat::ts;
  if (name == "lines") return ExchangeFormat::lineList;
  return std::nullopt;
}

ExchangeFormat exchangeFormatOfPath(std::u16string_view path) {
  if (endsWith(path, u".po")) return ExchangeFormat::po;
  if (endsWith(path, u".xlf") || endsWith(path, u".xliff")) return ExchangeFormat::xliff;
  if (endsWith(path, u".ts")) return ExchangeFormat::ts;
  return ExchangeFormat::lineList;
}

bool exportUnits(const Session& session, ExchangeFormat format, std::u16string_view path,
                 std::u16string_view modPath, DialogServices& dialogs) {
  const std::vector<TranslationUnit> units = translationUnits(session);
  const ExchangeHeader header = headerOf(session, modPath);
  std::optional<std::vector<std::uint8_t>> bytes;
  if (format == ExchangeFormat::po) bytes = poFileBytes(header, units);
  if (format == ExchangeFormat::xliff) bytes = xliffFileBytes(header, units);
  if (format == ExchangeFormat::ts) bytes = tsFileBytes(header, units);
  int error = EINVAL;
  if (bytes)
    error = path.empty() ? ENOENT : replaceFileContents(path, *bytes, {.keepReadOnly = true});
  if (error == 0) return true;
  dialogs.showError(DialogOwner::exportDialog, formatMessage(u"Error exporting to \"%s\"\r\n%s",
                                                             {path, systemErrorText(error)}));
  return false;
}

std::optional<ImportReport> importUnitsFile(Session& session, ExchangeFormat format,
                                            std::u16string_view path, DialogServices& dialogs) {
  std::string error = "this format can't be imported";
  std::optional<std::vector<ReadUnit>> units;
  if (format == ExchangeFormat::po) {
    units = readPoFile(nativePath(path), error);
  } else if (format == ExchangeFormat::xliff || format == ExchangeFormat::ts) {
    std::vector<std::uint8_t> bytes;
    if (const int failure = readWholeFile(path, bytes); failure != 0) {
      error = toUtf8(systemErrorText(failure));
    } else {
      units = format == ExchangeFormat::ts ? readTs(bytes, error) : readXliff(bytes, error);
    }
  }
  if (!units) {
    dialogs.showError(DialogOwner::exportDialog,
                      formatMessage(u"Error importing \"%s\"\r\n%s", {path, fromUtf8(error)}));
    return std::nullopt;
  }
  return importUnits(session, *units);
}

}  // namespace sorvane
