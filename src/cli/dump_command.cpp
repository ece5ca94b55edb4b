#include "cli/dump_command.h"

#include "platform/text_codec.h"
#include "qm/qm_reader.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace sorvane {

namespace {

std::string hashText(std::uint32_t hash) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", hash);
  return text;
}

// 8-bit texts are shown as the system's code page decodes them, so that an
// invalid byte reads as U+FFFD instead of breaking the JSON.
std::string byteTextAsUtf8(std::string_view bytes) { return toLocal8Bit(fromLocal8Bit(bytes)); }

}  // namespace

int runDump(std::u16string_view path, std::ostream& out, DialogServices& dialogs) {
  QmDocument document;
  const QmReadOptions options{.keepContextTable = true, .quiet = false, .lists = QmLists::all};
  if (!readQmFile(path, document, options, dialogs)) return 1;

  std::string lines;
  for (std::int32_t i = 0; i < document.translations.count(); ++i) {
    nlohmann::json entry;
    entry["hash"] = hashText(document.hashes[static_cast<std::size_t>(i)]);
    entry["section"] = byteTextAsUtf8(document.sectionTexts.view(i));
    entry["subsection"] = byteTextAsUtf8(document.subsectionTexts.view(i));
    entry["text"] = toLocal8Bit(document.translations.view(i));
    lines += entry.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    lines += '\n';
  }
  out << lines;
  out.flush();
  return out ? 0 : 1;
}

}  // namespace sorvane
