#include "textio/debug_strings.h"

#include "platform/paths.h"
#include "platform/text_codec.h"
#include "session/session.h"

namespace sorvane {

std::u16string debugIdProposal(std::u16string_view originalPath) {
  const std::u16string_view name = fileNamePart(originalPath);
  const std::size_t dot = name.rfind(u'.');
  return std::u16string(dot == std::u16string_view::npos ? name : name.substr(0, dot));
}

std::u16string debugFileProposal(std::u16string_view modPath) {
  const std::u16string_view extension = extensionPart(modPath);
  return std::u16string(modPath.substr(0, modPath.size() - extension.size())) + u"_debug.qm";
}

QmDocument debugDocument(const Session& session, std::u16string_view debugId) {
  if (session.mode() != SessionMode::traditional) return {};
  QmDocument document = session.mod();
  const std::string id = toLocal8Bit(debugId);
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    const std::int32_t entry = session.rowEntries(row).mod;
    const std::int32_t form = session.rowForm(row);
    const std::u16string text = fromLocal8Bit(id + std::to_string(row));
    if (form == 0) {
      document.translations.set(entry, text);
    } else {
      document.forms.setText(entry, form, text, true);
    }
  }
  return document;
}

}  // namespace sorvane
