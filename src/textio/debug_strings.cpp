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

void makeDebugStrings(Session& session, std::u16string_view debugId) {
  if (session.mode() != SessionMode::traditional || session.rowCount() == 0) return;
  const std::string id = toLocal8Bit(debugId);
  const Session::BatchedChanges batch(session);
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    session.setRowModText(row, fromLocal8Bit(id + std::to_string(row)));
  }
}

}  // namespace sorvane
