// Feeds arbitrary bytes to the import of a translation tool's file (PO,
// XLIFF or TS, by SORVANE_FUZZ_FORMAT) into a session of a small Mod. A
// failed import must change nothing; a successful one must count every
// unit it read, and the Mod saved after it must read back whole. An XML
// file read a few bytes at a time must give what it gave read whole.

#include "fuzz_support.h"
#include "qm/qm_reader.h"
#include "session/mod_file_saving.h"
#include "session/session.h"
#include "support/qm_bytes_builder.h"
#include "textio/exchange_file.h"
#include "textio/xml_exchange.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

namespace {

using namespace sorvane;

constexpr ExchangeFormat kFormat = ExchangeFormat::SORVANE_FUZZ_FORMAT;

// Aborts unless the XML read in pieces of a few bytes gives the units, or
// the error, that the whole read gave.
void checkReadInPieces(const std::uint8_t* data, std::size_t size) {
  if (kFormat != ExchangeFormat::ts && kFormat != ExchangeFormat::xliff) return;
  const auto read = [](const auto& input, std::string& error) {
    return kFormat == ExchangeFormat::ts ? readTs(input, error) : readXliff(input, error);
  };
  std::string wholeError;
  const std::optional<ReadUnits> whole = read(std::span(data, size), wholeError);
  const int fd = ::memfd_create("input", MFD_CLOEXEC);
  if (fd < 0 || ::write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
  std::string error;
  const std::optional<ReadUnits> pieces = read(XmlFile{fd, size, 1 + size % 7}, error);
  ::close(fd);
  if (whole.has_value() != pieces.has_value() || (!whole && error != wholeError) ||
      (whole && whole->held() != pieces->held())) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A Mod with a plural message, a comment and texts of several scripts.
  static const std::u16string original = [] {
    const test::Bytes qm =
        test::assembleQm({.index = {{0x000566BE, 0}},
                          .messages = test::join({test::translationItem(u"%n Datei"),
                                                  test::translationItem(u"%n Dateien"),
                                                  test::byteTextItem(0x08, "verb"),
                                                  test::byteTextItem(0x06, "Open"),
                                                  test::byteTextItem(0x07, "Main"),
                                                  {0x01}}),
                          .language = test::bytesOf("de"),
                          .numerusRules = test::Bytes{0x01, 0x01}});
    return fuzz::writeInputFile(qm.data(), qm.size(), 1);
  }();
  checkReadInPieces(data, size);
  fuzz::SilentDialogServices dialogs;
  Session session;
  SessionPaths paths{u"", original, original};
  if (!session.openSession(SessionMode::traditional, paths, dialogs)) std::abort();
  const std::vector<std::u16string> before = {std::u16string(session.rowModText(0)),
                                              std::u16string(session.rowModText(1))};

  const std::u16string input = fuzz::writeInputFile(data, size, 2);
  const std::optional<ImportReport> report = importUnitsFile(session, kFormat, input, dialogs);
  if (!report) {
    if (session.modified() || session.rowModText(0) != before[0] ||
        session.rowModText(1) != before[1] || dialogs.messages == 0) {
      std::abort();
    }
    return 0;
  }
  if (report->changed + report->fuzzy + report->unknown + report->unkeyed + report->repeated >
          report->units ||
      report->changed > 1 || (report->changed > 0) != session.modified()) {
    std::abort();
  }
  paths.mod = fuzz::writeInputFile(nullptr, 0, 3);
  if (!writeModFile(session, paths, dialogs)) std::abort();
  QmDocument saved;
  if (!readQmFile(paths.mod, saved, {.quiet = true}, dialogs) || saved.translations.count() != 1) {
    std::abort();
  }
  return 0;
}
