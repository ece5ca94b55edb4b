#pragma once

#include "qm/qm_reader.h"
#include "session/session.h"
#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sorvane::test {

// Writes QM files into a temporary folder and opens them in a Session,
// recording every box shown.
class SessionTest : public ::testing::Test {
 protected:
  std::u16string writeQm(std::string_view name, const std::vector<QmEntry>& entries,
                         std::optional<Bytes> context = std::nullopt) {
    return folder.write(name, buildQm(entries, std::move(context)));
  }

  bool openTraditional(std::u16string original, std::u16string mod) {
    paths = {u"", std::move(original), std::move(mod)};
    return session.openSession(SessionMode::traditional, paths, dialogs);
  }

  bool openModUpdate(std::u16string oldOriginal, std::u16string newOriginal, std::u16string mod) {
    paths = {std::move(oldOriginal), std::move(newOriginal), std::move(mod)};
    return session.openSession(SessionMode::modUpdate, paths, dialogs);
  }

  std::vector<std::u16string> modTexts() const {
    std::vector<std::u16string> texts;
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      texts.emplace_back(session.rowModText(row));
    }
    return texts;
  }

  // A row's match key, from the first document that holds its string.
  std::string rowKey(std::int32_t row) const {
    const RowEntries entries = session.rowEntries(row);
    if (entries.newOriginal >= 0)
      return entryKey(session.newOriginal(), entries.newOriginal).joined();
    if (entries.oldOriginal >= 0)
      return entryKey(session.oldOriginal(), entries.oldOriginal).joined();
    return entryKey(session.mod(), entries.mod).joined();
  }
  std::string modKey(std::int32_t entry) const { return entryKey(session.mod(), entry).joined(); }

  QmDocument readBack(std::string_view name) {
    QmDocument document;
    EXPECT_TRUE(readQmFile(folder.widePath(name), document, {.keepContextTable = true}, dialogs));
    return document;
  }

  void expectNothingLoaded() const {
    EXPECT_FALSE(session.isOpen());
    EXPECT_EQ(session.rowCount(), 0);
    EXPECT_EQ(session.newOriginal().translations.count(), 0);
    EXPECT_EQ(session.oldOriginal().translations.count(), 0);
    EXPECT_EQ(session.mod().translations.count(), 0);
    EXPECT_TRUE(session.newOriginal().contextTable.empty());
    EXPECT_FALSE(session.modified());
  }

  TempFolder folder;
  RecordingDialogServices dialogs;
  Session session;
  SessionPaths paths;
};

}  // namespace sorvane::test
