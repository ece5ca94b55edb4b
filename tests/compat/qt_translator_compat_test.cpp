// Files made by Qt's own lrelease open in Sorvane, and the Mod files Sorvane
// saves from them load in Qt's own QTranslator and translate every message.

#include "platform/text_codec.h"
#include "session/mod_file_saving.h"
#include "session/session.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QString>
#include <QTranslator>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace sorvane::test {
namespace {

using ::testing::IsEmpty;

struct Message {
  std::string context;
  std::string source;
  std::string comment;
  std::string translation;
};

std::string escapeXml(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '&':
        escaped += "&amp;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

// A .ts file without a language attribute, one context element per context.
std::string tsFile(const std::vector<Message>& messages) {
  std::map<std::string, std::vector<const Message*>> byContext;
  for (const Message& message : messages) byContext[message.context].push_back(&message);
  std::string ts =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\">\n";
  for (const auto& [context, list] : byContext) {
    ts += "<context>\n  <name>" + escapeXml(context) + "</name>\n";
    for (const Message* message : list) {
      ts += "  <message>\n    <source>" + escapeXml(message->source) + "</source>\n";
      if (!message->comment.empty())
        ts += "    <comment>" + escapeXml(message->comment) + "</comment>\n";
      ts +=
          "    <translation>" + escapeXml(message->translation) + "</translation>\n  </message>\n";
    }
    ts += "</context>\n";
  }
  return ts + "</TS>\n";
}

class QtCompat : public ::testing::TestWithParam<bool> {
 protected:
  // Compiles messages with lrelease (with -compress when the test parameter
  // says so) and returns the path of the QM file.
  std::u16string release(const std::string& name, const std::vector<Message>& messages) {
    const std::string ts = folder.path(name + ".ts");
    const std::string qm = folder.path(name + ".qm");
    std::ofstream(ts) << tsFile(messages);
    const std::string command = std::string("'") + SORVANE_LRELEASE + "' -silent " +
                                (GetParam() ? "-compress " : "") + "'" + ts + "' -qm '" + qm + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return fromLocal8Bit(qm);
  }

  // Loads a QM file in QTranslator and checks that each message translates
  // to its expected text.
  void expectTranslations(const std::u16string& path, const std::vector<Message>& messages) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(QString::fromStdString(toLocal8Bit(path))));
    for (const Message& message : messages) {
      const QString translated =
          translator.translate(message.context.c_str(), message.source.c_str(),
                               message.comment.empty() ? nullptr : message.comment.c_str());
      EXPECT_EQ(translated.toStdString(), message.translation)
          << message.context << " / " << message.source;
    }
  }

  static std::int32_t rowOfSource(const Session& session, const std::string& context,
                                  const std::string& source) {
    for (std::int32_t row = 0; row < session.rowCount(); ++row) {
      if (session.rowSectionText(row) == source && session.rowSubsectionText(row) == context) {
        return row;
      }
    }
    return -1;
  }

  TempFolder folder;
  RecordingDialogServices dialogs;
};

const std::vector<Message> kOriginal = {
    {"MainWindow", "&Open", "", "&Open"},
    {"MainWindow", "Close", "", "Close"},
    {"MainWindow", "Open", "verb", "Open now"},
    {"Dialog", "&Open", "", "&Open"},
    {"Dialog", "Size: %1 bytes", "", "Size: %1 bytes"},
    {"Dialog", "Line one\nline two", "", "Line one\nline two"},
};

TEST_P(QtCompat, ATraditionalModSavedFromAnLreleaseFileTranslatesEveryMessage) {
  Session session;
  SessionPaths paths{u"", release("en", kOriginal), u""};
  ASSERT_TRUE(session.openSession(SessionMode::traditional, paths, dialogs));
  EXPECT_THAT(dialogs.calls(), IsEmpty());
  ASSERT_EQ(session.rowCount(), 6);

  std::vector<Message> expected = kOriginal;
  expected[0].translation =
      "\xC3\x96"
      "ffnen";
  expected[3].translation =
      "\xC3\x96"
      "ffnen (Dialog)";
  expected[4].translation =
      "Gr\xC3\xB6\xC3\x9F"
      "e: %1 Bytes";
  expected[5].translation = "Zeile eins\nZeile zwei";
  for (const std::size_t i : {0U, 3U, 4U, 5U}) {
    const std::int32_t row = rowOfSource(session, expected[i].context, expected[i].source);
    ASSERT_GE(row, 0) << expected[i].source;
    session.setRowModText(row, fromLocal8Bit(expected[i].translation));
  }
  ASSERT_TRUE(writeModFile(session, paths, dialogs));
  EXPECT_EQ(paths.mod, folder.widePath("en1.qm"));
  expectTranslations(paths.mod, expected);
}

TEST_P(QtCompat, AModUpdateCarriesTheTranslationOverToTheNewOriginal) {
  const std::vector<Message> oldMessages = {
      {"MainWindow", "&Open", "", "&Open"},
      {"MainWindow", "Close", "", "Close"},
      {"MainWindow", "Quit", "", "Quit"},
  };
  const std::vector<Message> newMessages = {
      {"MainWindow", "&Open", "", "&Open..."},
      {"MainWindow", "Close", "", "Close"},
      {"MainWindow", "Save", "", "Save"},
      {"Prefs", "Close", "", "Close"},
  };
  // The Mod of the old original, made in a Traditional session.
  SessionPaths oldPaths{u"", release("old", oldMessages), folder.widePath("mod.qm")};
  {
    Session traditional;
    ASSERT_TRUE(traditional.openSession(SessionMode::traditional, oldPaths, dialogs));
    traditional.setRowModText(rowOfSource(traditional, "MainWindow", "&Open"), u"\u00D6&ffnen");
    traditional.setRowModText(rowOfSource(traditional, "MainWindow", "Close"), u"Schlie\u00DFen");
    traditional.setRowModText(rowOfSource(traditional, "MainWindow", "Quit"), u"Beenden");
    ASSERT_TRUE(writeModFile(traditional, oldPaths, dialogs));
  }

  Session session;
  SessionPaths paths{oldPaths.newOriginal, release("new", newMessages), oldPaths.mod};
  ASSERT_TRUE(session.openSession(SessionMode::modUpdate, paths, dialogs));
  EXPECT_THAT(dialogs.calls(), IsEmpty());
  // New rows get a text; the dropped one goes.
  session.setRowModText(rowOfSource(session, "MainWindow", "Save"), u"Speichern");
  session.setRowModText(rowOfSource(session, "Prefs", "Close"), u"Zu");
  for (std::int32_t row = 0; row < session.rowCount(); ++row) {
    if (session.rowState(row) == RowState::dropped) session.setRowModText(row, u"");
  }
  paths.mod = folder.widePath("updated.qm");
  ASSERT_TRUE(writeModFile(session, paths, dialogs));

  expectTranslations(paths.mod, {{"MainWindow", "&Open", "", "\xC3\x96&ffnen"},
                                 {"MainWindow", "Close", "",
                                  "Schlie\xC3\x9F"
                                  "en"},
                                 {"MainWindow", "Save", "", "Speichern"},
                                 {"Prefs", "Close", "", "Zu"},
                                 {"MainWindow", "Quit", "", ""}});
}

INSTANTIATE_TEST_SUITE_P(Lrelease, QtCompat, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return param.param ? "Compressed" : "Plain";
                         });

}  // namespace
}  // namespace sorvane::test

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
