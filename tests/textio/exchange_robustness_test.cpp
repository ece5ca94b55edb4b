// Hostile and odd exchange files: each is refused with its reason and
// line, or read exactly; nothing is skipped without a word, and a failed
// import changes nothing.

#include "session/session_fixture.h"
#include "support/gettext_po_reference.h"
#include "textio/exchange_file.h"
#include "textio/po_reader.h"
#include "textio/xml_exchange.h"

#include <dirent.h>
#include <sys/stat.h>

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

// A UTF-16 text holds a part.
MATCHER_P(Holds, part, "holds the text") {
  return std::u16string_view(arg).find(std::u16string_view(part)) != std::u16string_view::npos;
}

class ExchangeRobustness : public SessionTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(openTraditional(
        writeQm("de.qm", {{1, u"Gr\u00F6\u00DFe", "Size", "Main"}, {2, u"Zu", "Close", "Main"}}),
        u""));
  }

  // Imports text written as the file; the error shown, or "" on success.
  std::u16string importText(ExchangeFormat format, std::string_view name, const std::string& text) {
    dialogs.clear();
    const std::u16string path = folder.write(name, Bytes(text.begin(), text.end()));
    report = importUnitsFile(session, format, path, dialogs);
    return report ? std::u16string() : dialogs.messageTexts().back();
  }

  static std::string key(std::string_view section) {
    return section == "Size" ? "00000001/Size/Main/" : "00000002/Close/Main/";
  }

  std::optional<ImportReport> report;
};

TEST_F(ExchangeRobustness, AnyDepthOfNestingIsReadAndHugeTextsAreRefused) {
  std::string nested;
  for (int i = 0; i < 60000; ++i) nested += "<g>";
  nested += "Ma\xC3\x9F";
  for (int i = 0; i < 60000; ++i) nested += "</g>";
  const std::string xliff = "<xliff version=\"1.2\"><file><body><trans-unit id=\"" + key("Size") +
                            "\"><source>Size</source><target>" + nested +
                            "</target></trans-unit></body></file></xliff>";
  EXPECT_EQ(importText(ExchangeFormat::xliff, "deep.xlf", xliff), u"");
  EXPECT_EQ(session.rowModText(0), u"Ma\u00DF");

  const std::string huge =
      "<TS>\n<context><name>Main</name><message><source>Size</source>"
      "<translation>" +
      std::string((1 << 20) + 1, 'x') + "</translation></message></context></TS>";
  EXPECT_THAT(importText(ExchangeFormat::ts, "huge.ts", huge),
              Holds(u"\r\nline 2: a text longer than 1 MB"));
  EXPECT_EQ(session.rowModText(0), u"Ma\u00DF");

  // The limit counts characters, not their bytes: a source of exactly the
  // longest text, ending in an escaped character of two bytes, is read.
  for (const std::size_t length : {std::size_t{1} << 20, (std::size_t{1} << 20) + 1}) {
    const std::string text = "<TS><context><name>Main</name><message><source>" +
                             std::string(length - 1, 'x') +
                             "<byte value=\"xe9\"/></source></message></context></TS>";
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    std::string error;
    EXPECT_EQ(readTs(bytes, error).has_value(), length == std::size_t{1} << 20) << error;
  }
}

TEST_F(ExchangeRobustness, FaultsNameTheirLineHoweverLinesEnd) {
  struct Case {
    const char* name;
    ExchangeFormat format;
    std::string text;
    std::u16string expected;
  };
  std::string utf16 = "\xFF\xFE";  // "<TS>\n\n<x" in UTF-16LE: the fault on line 3
  for (const char c : std::string("<TS>\n\n<x")) {
    utf16.push_back(c);
    utf16.push_back('\0');
  }
  const Case cases[] = {
      {"cr.xlf", ExchangeFormat::xliff, "<xliff>\r\r\r<bad", u"line 4: "},
      {"crlf.xlf", ExchangeFormat::xliff, "<xliff>\r\n\r\n<bad", u"line 3: "},
      {"utf16.ts", ExchangeFormat::ts, utf16, u"line 3: "},
      {"nul.xlf", ExchangeFormat::xliff,
       "<xliff>\n<file><body><trans-unit id=\"x\"><source>a&#x00;b</source></trans-unit>",
       u"line 2: a character reference to U+0000, which XML doesn't allow"},
      {"quote.po", ExchangeFormat::po, "\nmsgid \"a\n",
       u"line 2: a string without its closing quote"},
      {"plural.po", ExchangeFormat::po, "msgid \"a\"\nmsgstr[0] \"b\"\n",
       u"line 2: msgstr[n] in a message without msgid_plural"},
      {"escape.po", ExchangeFormat::po, "msgid \"a\"\nmsgstr \"\\q\"\n",
       u"line 2: invalid control sequence \\q"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string error = importText(c.format, c.name, c.text);
    EXPECT_THAT(error, Holds(u"\r\n" + c.expected));
    EXPECT_FALSE(session.modified());
  }
}

TEST_F(ExchangeRobustness, APoFileInAnotherCharsetIsConvertedAndABadByteNamesItsLine) {
  const auto po = [](std::string_view charset, std::string_view text) {
    return "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=" + std::string(charset) +
           "\\n\"\n\nmsgctxt \"" + key("Size") + "\"\nmsgid \"Size\"\nmsgstr \"" +
           std::string(text) + "\"\n";
  };
  EXPECT_EQ(importText(ExchangeFormat::po, "latin1.po",
                       po("ISO-8859-1",
                          "Gr\xF6\xDF"
                          "e!")),
            u"");
  EXPECT_EQ(session.rowModText(0), u"Gr\u00F6\u00DFe!");
  EXPECT_THAT(importText(ExchangeFormat::po, "bad.po",
                         po("UTF-8",
                            "Gr\xF6\xDF"
                            "e")),
              Holds(u"\r\nline 4: a byte that is not UTF-8 text"));
  EXPECT_THAT(importText(ExchangeFormat::po, "unknown.po", po("X-NONE", "a")),
              Holds(u"\r\nthe file's charset x-none is not known"));
}

TEST_F(ExchangeRobustness, OnlyRegularFilesAreReadAndQuickly) {
  ASSERT_EQ(::mkfifo(folder.path("fifo.po").c_str(), 0600), 0);
  std::filesystem::create_directory(folder.path("folder.po"));
  const auto started = std::chrono::steady_clock::now();
  for (const std::u16string& path :
       {folder.widePath("fifo.po"), std::u16string(u"/dev/zero"), folder.widePath("folder.po")}) {
    dialogs.clear();
    EXPECT_FALSE(importUnitsFile(session, ExchangeFormat::po, path, dialogs));
    EXPECT_EQ(dialogs.messageTexts(),
              std::vector<std::u16string>{u"Error importing \"" + path +
                                          u"\"\r\nit is not a regular file"});
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  // A file larger than any catalogue's is refused before it is read (sparse:
  // it takes no disk).
  const std::string large = folder.path("large.xlf");
  folder.write("large.xlf", {});
  ASSERT_EQ(::truncate(large.c_str(), off_t{600} << 20), 0);
  dialogs.clear();
  EXPECT_FALSE(
      importUnitsFile(session, ExchangeFormat::xliff, folder.widePath("large.xlf"), dialogs));
  EXPECT_THAT(dialogs.messageTexts().back(), Holds(u"larger than 512 MB"));
  dialogs.clear();
  EXPECT_FALSE(importUnitsFile(session, ExchangeFormat::ts, folder.widePath("none.ts"), dialogs));
  EXPECT_THAT(dialogs.messageTexts().back(), Holds(u"\r\nNo such file or directory"));
}

TEST_F(ExchangeRobustness, NoFileDescriptorIsLeftOpenByFailedReads) {
  const auto openDescriptors = [] {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
      ++count;
    }
    return count;
  };
  std::filesystem::create_directory(folder.path("folder.po"));
  folder.write("broken.po", bytesOf("msgid \"a\n"));
  const int before = openDescriptors();
  for (int i = 0; i < 100; ++i) {
    EXPECT_FALSE(
        importUnitsFile(session, ExchangeFormat::po, folder.widePath("folder.po"), dialogs));
    EXPECT_FALSE(
        importUnitsFile(session, ExchangeFormat::po, folder.widePath("broken.po"), dialogs));
  }
  EXPECT_EQ(openDescriptors(), before);
}

TEST_F(ExchangeRobustness, EverySkippedUnitIsCountedAndListed) {
  const std::string po =
      "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
      "#. Context: Main\\\nmsgctxt \"" +
      key("Size") +
      "\"\nmsgid \"Size\"\nmsgstr \"lost\"\n\n"
      "msgctxt \"" +
      key("Close") +
      "\"\nmsgid \"Close\"\nmsgstr \"Schlie\xC3\x9F"
      "en\"\n\nmsgctxt \"" +
      key("Close") + "\"\nmsgid \"Close\"\nmsgstr \"again\"\n";
  ASSERT_EQ(importText(ExchangeFormat::po, "skips.po", po), u"");
  EXPECT_EQ(report->unkeyed, 1);
  EXPECT_EQ(report->repeated, 1);
  EXPECT_EQ(session.rowModText(1), u"Schlie\u00DFen");
  const std::u16string text = importReportText(*report);
  EXPECT_THAT(text, Holds(u" Also 1 without a key (skipped), 1 with a key given before "
                          u"(skipped), 0 with more forms than the message has (those left "
                          u"out)."));
  EXPECT_THAT(text, Holds(u"\r\nWithout a key:\r\n  line 6"));
  EXPECT_THAT(text, Holds(u"\r\nA key given before:\r\n  00000002/Close/Main/ (line 13)"));

  // gettext's own library reads the file the same way (but for the second
  // unit of a key, which it refuses).
  folder.write("once.po", bytesOf(po.substr(0, po.rfind("\n\nmsgctxt") + 1)));
  const std::optional<std::vector<ReadUnit>> reference = readPoWithGettext(folder.path("once.po"));
  std::string error;
  const Bytes bytes = folder.read("once.po");
  const std::optional<ReadUnits> parsed = parsePo(bytes, error);
  const std::optional<std::vector<ReadUnit>> ours =
      parsed ? std::optional(parsed->held()) : std::nullopt;
  ASSERT_TRUE(reference && ours);
  ASSERT_EQ(reference->size(), ours->size());
  for (std::size_t i = 0; i < ours->size(); ++i) {
    EXPECT_EQ((*ours)[i].id, (*reference)[i].id);
    EXPECT_EQ((*ours)[i].keyed, (*reference)[i].keyed);
    EXPECT_EQ((*ours)[i].translations, (*reference)[i].translations);
  }
}

// Units are stored in the rows' order, but listed in the file's.
TEST_F(ExchangeRobustness, WhatIsListedKeepsTheFilesOrder) {
  const std::string po = "msgctxt \"" + key("Close") +
                         "\"\nmsgid \"Shut\"\nmsgstr \"Zumachen\"\n\nmsgctxt \"" + key("Size") +
                         "\"\nmsgid \"Extent\"\nmsgstr \"Ausma\xC3\x9F\"\n";
  ASSERT_EQ(importText(ExchangeFormat::po, "order.po", po), u"");
  EXPECT_EQ(report->changed, 2);
  EXPECT_THAT(report->firstSourceChanged, ElementsAre(key("Close"), key("Size")));
  EXPECT_EQ(session.rowModText(0), u"Ausma\u00DF");
  EXPECT_EQ(session.rowModText(1), u"Zumachen");
}

TEST_F(ExchangeRobustness, CharactersXmlCantHoldGoOutEscapedAndComeBack) {
  const std::u16string awkward =
      u"a\uFFFEb\uFFFFc\xD800"
      u"d\x01";
  session.setRowModText(0, awkward);
  for (const ExchangeFormat format : {ExchangeFormat::xliff, ExchangeFormat::ts}) {
    const std::string name = format == ExchangeFormat::ts ? "out.ts" : "out.xlf";
    ASSERT_TRUE(exportUnits(session, format, folder.widePath(name), u"de.qm", dialogs));
    if (std::system("xmllint --version > /dev/null 2>&1") == 0) {
      EXPECT_EQ(std::system(("xmllint --noout '" + folder.path(name) + "'").c_str()), 0) << name;
    }
    session.setRowModText(0, u"x");
    ASSERT_TRUE(importUnitsFile(session, format, folder.widePath(name), dialogs)) << name;
    EXPECT_EQ(session.rowModText(0), awkward) << name;
  }
}

// Keys are written from their own bytes: plain ones as they are, any other
// as the texts are, so that every key comes back to its row in every format.
TEST_F(ExchangeRobustness, AwkwardKeysComeBackToTheirRows) {
  const std::vector<QmEntry> entries = {
      {1, u"plain", "Open file", "Main"},
      {2, u"non-ASCII",
       "Gr\xC3\xB6\xC3\x9F"
       "e",
       "\xE6\x97\xA5"},
      {3, u"control",
       "a\x01"
       "b",
       "c\x1F"
       "d"},
      {4, u"line ends", "one\r\ntwo\rthree", "tab\there"},
      {5, u"XML's own", "<b>&amp;\"'", "a>b"},
      {6, u"no character", "\xEF\xBF\xBF\xEF\xBF\xBE", "x"},
  };
  ASSERT_TRUE(openTraditional(writeQm("keys.qm", entries), u""));
  for (const ExchangeFormat format :
       {ExchangeFormat::po, ExchangeFormat::xliff, ExchangeFormat::ts}) {
    const std::string name = format == ExchangeFormat::po      ? "keys.po"
                             : format == ExchangeFormat::xliff ? "keys.xlf"
                                                               : "keys.ts";
    for (std::int32_t row = 0; row < 6; ++row) session.setRowModText(row, u"changed");
    ASSERT_TRUE(exportUnits(session, format, folder.widePath(name), u"keys.qm", dialogs)) << name;
    if (format != ExchangeFormat::po && std::system("xmllint --version > /dev/null 2>&1") == 0) {
      EXPECT_EQ(std::system(("xmllint --noout '" + folder.path(name) + "'").c_str()), 0) << name;
    }
    for (std::int32_t row = 0; row < 6; ++row) session.setRowModText(row, u"x");
    report = importUnitsFile(session, format, folder.widePath(name), dialogs);
    ASSERT_TRUE(report) << name;
    EXPECT_EQ(report->changed, 6) << name;
    for (std::int32_t row = 0; row < 6; ++row)
      EXPECT_EQ(session.rowModText(row), u"changed") << name;
  }
}

}  // namespace
}  // namespace sorvane::test
