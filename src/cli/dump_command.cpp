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
  // One line a translation: a plural message gives one line a form. What
  // only Qt's files have is printed only when it isn't the default.
  JsonLineWriter json(out);
  for (std::int32_t i = 0; i < document.translations.count(); ++i) {
    const std::u16string section = fromLocal8Bit(document.sectionTexts.view(i));
    const std::u16string subsection = fromLocal8Bit(document.subsectionTexts.view(i));
    const std::u16string comment = fromLocal8Bit(document.comments.view(i));
    const std::int32_t forms = document.forms.count(i);
    for (std::int32_t form = 0; form < forms; ++form) {
      json.beginObject();
      json.field("hash", hashText(document.hashes[static_cast<std::size_t>(i)]));
      json.field("section", section);
      json.field("subsection", subsection);
      json.field("text", document.formText(i, form));
      if (form != 0) json.field("form", form);
      if (!comment.empty()) json.field("comment", comment);
      if (document.forms.absent(i, form)) json.field("absent", true);
      json.endObject();
    }
  }
  return json.flush() ? 0 : 1;
}

}  // namespace sorvane
