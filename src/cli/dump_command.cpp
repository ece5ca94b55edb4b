#include "cli/dump_command.h"

#include "cli/json_line_writer.h"
#include "platform/text_codec.h"
#include "qm/qm_reader.h"

#include <cstdio>

namespace sorvane {

namespace {

std::string hashText(std::uint32_t hash) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", hash);
  return text;
}

}  // namespace

int runDump(std::u16string_view path, std::ostream& out, DialogServices& dialogs) {
  QmDocument document;
  const QmReadOptions options{.keepContextTable = true, .quiet = false, .lists = QmLists::all};
  if (!readQmFile(path, document, options, dialogs)) return 1;

  // 8-bit texts are shown as the system's code page decodes them, so that an
  // invalid byte reads as U+FFFD instead of breaking the JSON.
  JsonLineWriter json(out);
  for (std::int32_t i = 0; i < document.translations.count(); ++i) {
    json.beginObject();
    json.field("hash", hashText(document.hashes[static_cast<std::size_t>(i)]));
    json.field("section", fromLocal8Bit(document.sectionTexts.view(i)));
    json.field("subsection", fromLocal8Bit(document.subsectionTexts.view(i)));
    json.field("text", document.translations.view(i));
    json.endObject();
  }
  return json.flush() ? 0 : 1;
}

}  // namespace sorvane
