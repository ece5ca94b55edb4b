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
#include "textio/exchange_writers.h"
#include "textio/po_file.h"
#include "textio/po_reader.h"
#include "textio/xml_exchange.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <new>

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

namespace {

// A tool's file opened for reading, once it is known to be one to read.
FileDescriptor openExchangeFile(std::u16string_view path, std::size_t& size, std::string& error) {
  FileDescriptor fd(openPath(nativePath(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat status {};
  if (!fd.valid() || fstat(fd.get(), &status) != 0) {
    error = toUtf8(systemErrorText(errno));
    return {};
  }
  if (!S_ISREG(status.st_mode)) {
    error = "it is not a regular file";
    return {};
  }
  // The exchange file of the largest catalogue is a few hundred MB.
  constexpr off_t kLargest = off_t{512} << 20;
  if (status.st_size > kLargest) {
    error = "it is larger than 512 MB, more than any catalogue's exchange file";
    return {};
  }
  size = static_cast<std::size_t>(status.st_size);
  return fd;
}

}  // namespace

bool readExchangeFile(std::u16string_view path, FileBytes& bytes, std::string& error) {
  std::size_t size = 0;
  const FileDescriptor fd = openExchangeFile(path, size, error);
  if (!fd.valid()) return false;
  bytes.resize(size);
  int failure = 0;
  if (readAt(fd.get(), bytes.data(), bytes.size(), 0, &failure) != bytes.size()) {
    error = toUtf8(systemErrorText(failure != 0 ? failure : EIO));
    return false;
  }
  return true;
}

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
  SessionUnits units(session);
  const ExchangeHeader header = headerOf(session, modPath);
  // The file goes out as it is written, never held whole in memory.
  const auto write = [&](const ContentSink& put) {
    int failure = 0;
    const TextSink sink = [&put, &failure](std::string_view piece) {
      if (failure == 0) {
        failure = put(std::span(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()));
      }
    };
    if (format == ExchangeFormat::po && !writePo(header, units, sink)) return EINVAL;
    if (format == ExchangeFormat::xliff) writeXliff(header, units, sink);
    if (format == ExchangeFormat::ts) writeTs(header, units, sink);
    return failure;
  };
  int error = ENOENT;
  if (!path.empty()) {
    try {
      const FileReplacement result = replaceFileWith(path, write, {.keepReadOnly = true});
      error = result.replaced() ? 0 : result.error != 0 ? result.error : EIO;
    } catch (const std::bad_alloc&) {
      error = ENOMEM;
    }
  }
  if (error == 0) return true;
  dialogs.showError(DialogOwner::exportDialog, formatMessage(u"Error exporting to \"%s\"\r\n%s",
                                                             {path, systemErrorText(error)}));
  return false;
}

UnitsFileRead readUnitsFile(ExchangeFormat format, std::u16string_view path,
                            const std::atomic<bool>* helpWanted) {
  UnitsFileRead read{std::nullopt, "this format can't be imported"};
  if (format == ExchangeFormat::po) {
    FileBytes bytes;
    if (readExchangeFile(path, bytes, read.error)) read.units = parsePo(bytes, read.error);
  } else if (format == ExchangeFormat::ts || format == ExchangeFormat::xliff) {
    // Parsed as it is read: the file is never held whole.
    XmlFile file;
    file.splitWhenSet = helpWanted;
    const FileDescriptor fd = openExchangeFile(path, file.size, read.error);
    file.fd = fd.get();
    if (fd.valid()) {
      read.units =
          format == ExchangeFormat::ts ? readTs(file, read.error) : readXliff(file, read.error);
    }
  }
  return read;
}

bool checkUnitsFileRead(const UnitsFileRead& read, std::u16string_view path,
                        DialogServices& dialogs) {
  if (read.units) return true;
  dialogs.showError(DialogOwner::exportDialog,
                    formatMessage(u"Error importing \"%s\"\r\n%s", {path, fromUtf8(read.error)}));
  return false;
}

std::optional<ImportReport> importUnitsFile(Session& session, ExchangeFormat format,
                                            std::u16string_view path, DialogServices& dialogs) {
  const UnitsFileRead read = readUnitsFile(format, path);
  if (!checkUnitsFileRead(read, path, dialogs)) return std::nullopt;
  UnitRows rows(session);
  // A TS file comes grouped by context, out of the rows' order.
  if (format == ExchangeFormat::ts) rows.expectAnyOrder();
  return rows.importInto(session, *read.units);
}

}  // namespace sorvane
