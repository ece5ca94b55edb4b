#pragma once

#include "qm/qm_reader.h"
#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sorvane::test {

// Writes QM bytes to a temporary file and reads them back, recording every
// box the reader shows.
class QmReaderTest : public ::testing::Test {
 protected:
  bool read(const Bytes& bytes, QmReadOptions options = allListsWithContext()) {
    path = folder.write("file.qm", bytes);
    return readQmFile(path, document, options, dialogs);
  }

  static QmReadOptions allListsWithContext() {
    return {.keepContextTable = true, .quiet = false, .lists = QmLists::all};
  }

  std::vector<std::u16string> translations() const {
    std::vector<std::u16string> texts;
    for (std::int32_t i = 0; i < document.translations.count(); ++i) {
      texts.push_back(document.translations.get(i));
    }
    return texts;
  }

  // The unexpected-data text the reader shows for this file.
  std::u16string unexpectedData(std::u16string_view what, std::u16string_view position,
                                std::u16string_view data) const {
    return u"Unexpected data " + std::u16string(what) + u".\r\n\r\nFile: \"" + path +
           u"\"\r\nPosition: 0x" + std::u16string(position) + u"\r\nData: 0x" +
           std::u16string(data);
  }

  TempFolder folder;
  RecordingDialogServices dialogs;
  QmDocument document;
  std::u16string path;
};

}  // namespace sorvane::test
