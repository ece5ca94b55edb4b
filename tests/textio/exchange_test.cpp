#include "platform/utf8.h"
#include "qm/plural_rules.h"
#include "session/editing.h"
#include "session/mod_file_saving.h"
#include "session/session_fixture.h"
#include "support/system_faults.h"
#include "textio/exchange_file.h"
#include "textio/exchange_writers.h"
#include "textio/po_file.h"
#include "textio/po_reader.h"
#include "textio/read_units.h"
#include "textio/translation_units.h"
#include "textio/xml_exchange.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <string>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

// Units named after a prefix, the second with two translations and its id
// given after the fact.
ReadUnits someUnits(const std::string& prefix, int count) {
  ReadUnits units;
  for (int i = 0; i < count; ++i) {
    const std::u16string text = fromUtf8(prefix + std::to_string(i));
    units.startUnit(i + 1);
    if (i != 1) units.appendId(prefix + "/" + std::to_string(i));
    units.addSource(text);
    units.addTranslation(text + u"!");
    if (i == 1) {
      units.addTranslation(u"");
      units.setFuzzy(true);
    }
  }
  if (count > 1) units.setId(1, prefix + "/late");
  return units;
}

std::vector<ReadUnit> linesMoved(std::vector<ReadUnit> units, std::int32_t shift) {
  for (ReadUnit& unit : units) unit.line += shift;
  return units;
}

// Lists read in parts and appended keep every unit, whether their texts were
// taken over or copied, and the last units can still be dropped after.
TEST(ReadUnits, AppendedListsKeepEveryUnitWhereverTheirTextsAre) {
  ReadUnits first = someUnits("a", 3);
  std::vector<ReadUnit> want = first.held();
  for (const auto& [prefix, shift] : {std::pair{"b", 10}, std::pair{"c", 20}}) {
    ReadUnits part = someUnits(prefix, 3);
    const std::vector<ReadUnit> held = linesMoved(part.held(), shift);
    want.insert(want.end(), held.begin(), held.end());
    first.append(std::move(part), shift);
  }
  EXPECT_EQ(first.held(), want);

  // A list that took texts over, appended in turn, is copied.
  ReadUnits outer = someUnits("o", 2);
  std::vector<ReadUnit> outerWant = outer.held();
  outerWant.insert(outerWant.end(), want.begin(), want.end());
  outer.append(std::move(first), 0);
  EXPECT_EQ(outer.held(), outerWant);

  ReadUnits taken = someUnits("t", 1);
  taken.append(someUnits("u", 2), 5);
  taken.dropLastUnit();
  taken.dropLastUnit();
  taken.startUnit(9);
  taken.appendId("new");
  taken.addSource(u"s");
  taken.addTranslation(u"t");
  std::vector<ReadUnit> takenWant = someUnits("t", 1).held();
  takenWant.push_back({"new", true, {u"s"}, {u"t"}, false, 9});
  EXPECT_EQ(taken.held(), takenWant);
}

TEST(UnitId, KeepsEveryKeyAndRefusesWhatIsNoKey) {
  const UnitKey keys[] = {
      {0x000566BE, "Open", "Main", "verb"},
      {0, "", "", ""},
      {0xFFFFFFFF, "a/b%c", "line\nbreak", "\x01\x7F"},
      {1,
       "Gr\xC3\xB6\xC3\x9F"
       "e",
       "\xE6\x97\xA5", ""},
      {2, "\xFF\xFE not UTF-8", "", ""},
      {3, "\xEF\xBF\xBF\xEF\xBF\xBE", "\xEF\xBF\xBD", ""},
  };
  for (const UnitKey& key : keys) {
    const std::string id = unitId(key);
    EXPECT_EQ(id.find_first_of("\n\x01\x7F\xFF\xBE"), std::string::npos) << id;
    EXPECT_EQ(unitKeyFromId(id), key) << id;
  }
  EXPECT_EQ(unitId(keys[0]), "000566BE/Open/Main/verb");
  for (const char* id : {"", "000566BE/Open/Main", "000566BE/a/b/c/d", "0566BE/a/b/c",
                         "000566BG/a/b/c", "000566BE/%4/b/c", "000566BE/%zz/b/c"}) {
    EXPECT_EQ(unitKeyFromId(id), std::nullopt) << id;
  }
}

// A small evaluator of the C expressions gettext's Plural-Forms hold.
class PluralExpression {
 public:
  PluralExpression(std::string text, int n) : text_(std::move(text)), n_(n) {}
  long value() { return conditional(); }

 private:
  long conditional() {
    const long test = orExpression();
    if (!take("?")) return test;
    const long yes = conditional();
    take(":");
    const long no = conditional();
    return test != 0 ? yes : no;
  }
  long orExpression() {
    long value = andExpression();
    while (take("||")) value = (andExpression() != 0) || (value != 0) ? 1 : 0;
    return value;
  }
  long andExpression() {
    long value = comparison();
    while (take("&&")) value = (comparison() != 0) && (value != 0) ? 1 : 0;
    return value;
  }
  long comparison() {
    const long left = arithmetic();
    if (take("==")) return left == arithmetic() ? 1 : 0;
    if (take("<=")) return left <= arithmetic() ? 1 : 0;
    if (take(">=")) return left >= arithmetic() ? 1 : 0;
    if (take("<")) return left < arithmetic() ? 1 : 0;
    return left;
  }
  long arithmetic() {
    long value = unary();
    for (;;) {
      if (take("%")) {
        value %= unary();
      } else if (take("/")) {
        value /= unary();
      } else {
        return value;
      }
    }
  }
  long unary() {
    if (take("!")) return unary() == 0 ? 1 : 0;
    if (take("(")) {
      const long value = conditional();
      take(")");
      return value;
    }
    if (take("n")) return n_;
    long value = 0;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
      value = value * 10 + (text_[at_++] - '0');
    }
    return value;
  }
  bool take(std::string_view token) {
    if (text_.compare(at_, token.size(), token) != 0) return false;
    at_ += token.size();
    return true;
  }

  std::string text_;
  int n_;
  std::size_t at_ = 0;
};

// Units written in a format by its writer and read back by its reader.
std::optional<ReadUnits> writtenAndReadBack(ExchangeFormat format, const ExchangeHeader& header,
                                            const std::vector<TranslationUnit>& units,
                                            std::string& error) {
  std::vector<std::uint8_t> bytes = format == ExchangeFormat::po ? *poFileBytes(header, units)
                                    : format == ExchangeFormat::xliff
                                        ? xliffFileBytes(header, units)
                                        : tsFileBytes(header, units);
  return format == ExchangeFormat::po      ? parsePo(bytes, error)
         : format == ExchangeFormat::xliff ? readXliff(bytes, error)
                                           : readTs(bytes, error);
}

// A large file is written in batches on two threads: every unit comes
// back once, in its place (a TS file's grouped by context), whatever batch
// it fell in.
TEST(ExchangeWriters, ALargeFileHoldsEveryUnitInItsPlace) {
  std::vector<TranslationUnit> units;
  constexpr int kUnits = 3 * 4096 + 17;
  for (int i = 0; i < kUnits; ++i) {
    const std::string n = std::to_string(i);
    units.push_back(
        {{static_cast<std::uint32_t>(i), "Text " + n, "Context " + std::to_string(i % 3), ""},
         false,
         false,
         {u"Text " + std::u16string(n.begin(), n.end())},
         {u"Text " + std::u16string(n.begin(), n.end()) + u"!"}});
  }
  std::vector<const TranslationUnit*> grouped;
  for (int context = 0; context < 3; ++context) {
    for (int i = context; i < kUnits; i += 3)
      grouped.push_back(&units[static_cast<std::size_t>(i)]);
  }
  const ExchangeHeader header{"big.qm", "de", "", {0x01, 0x01}};
  for (const ExchangeFormat format :
       {ExchangeFormat::po, ExchangeFormat::xliff, ExchangeFormat::ts}) {
    SCOPED_TRACE(static_cast<int>(format));
    std::string error;
    const std::optional<ReadUnits> read = writtenAndReadBack(format, header, units, error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->size(), units.size());
    for (std::size_t at = 0; at < units.size(); ++at) {
      const TranslationUnit& unit = format == ExchangeFormat::ts ? *grouped[at] : units[at];
      ASSERT_EQ((*read)[at].id(), unitId(unit.key)) << at;
      ASSERT_EQ((*read)[at].translation(0), unit.translations[0]) << at;
    }
  }
}

// Texts longer than what is encoded between checks of the buffer come
// back whole, whatever falls at the edges: a pair of surrogates, an
// escaped character, a character of three bytes.
TEST(ExchangeWriters, LongTextsComeBackWhole) {
  const auto repeat = [](std::u16string_view piece, std::size_t times) {
    std::u16string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
  };
  const std::vector<std::u16string> texts = {
      std::u16string(5460, u'x') + u"\U0001F600\u00E9",
      std::u16string(5461, u'x') + u"\u20AC" + std::u16string(5461, u'y') + u"&",
      repeat(u"a\u20AC\U0001F600\u00E9", 5000),
      repeat(u"<b>&\"\n\t\U0001F600", 3000),
  };
  std::vector<TranslationUnit> units;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    units.push_back({{static_cast<std::uint32_t>(i), "Text " + std::to_string(i), "Main", ""},
                     false,
                     false,
                     {u"Source"},
                     {texts[i]}});
  }
  const ExchangeHeader header{"long.qm", "de", "", {0x01, 0x01}};
  for (const ExchangeFormat format :
       {ExchangeFormat::po, ExchangeFormat::xliff, ExchangeFormat::ts}) {
    SCOPED_TRACE(static_cast<int>(format));
    std::string error;
    const std::optional<ReadUnits> read = writtenAndReadBack(format, header, units, error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_TRUE((*read)[i].translation(0) == texts[i]) << i;
    }
  }
}

TEST(GettextPluralForms, ChooseQtsFormForEveryCountOfEveryLanguage) {
  for (const std::string& code : languagesWithPluralRules()) {
    const PluralLanguage language = pluralLanguage(code).value();
    const std::string forms = gettextPluralForms(language.rules).value();
    const std::string prefix = "nplurals=" + std::to_string(language.forms) + "; plural=";
    ASSERT_EQ(forms.substr(0, prefix.size()), prefix) << code;
    const std::string expression = forms.substr(prefix.size(), forms.size() - prefix.size() - 1);
    for (const int n : {0, 1, 2, 3, 4, 5, 11, 12, 19, 21, 22, 25, 101, 111, 1000, 1001, 2000000}) {
      ASSERT_EQ(PluralExpression(expression, n).value(), pluralFormFor(language.rules, n))
          << code << " n=" << n << " " << expression;
    }
  }
  EXPECT_EQ(gettextPluralForms({}), "nplurals=1; plural=0;");
  EXPECT_EQ(gettextPluralForms(std::vector<std::uint8_t>{0x01}), std::nullopt);
}

// A Mod with awkward texts and a plural message, exported in each tool's
// format and read back.
class Exchange : public SessionTest, public ::testing::WithParamInterface<ExchangeFormat> {
 protected:
  void SetUp() override {
    const Bytes plural = join({translationItem(u"%n Datei"),
                               translationItem(u"%n Dateien"),
                               byteTextItem(0x06, "%n file(s)"),
                               byteTextItem(0x07, "Main"),
                               {0x01}});
    const auto at = static_cast<std::uint32_t>(plural.size());
    const Bytes plain = join({translationItem(u" Zeile 1\r\nZeile\t2 & <b>\"3\"</b>\x01 "),
                              byteTextItem(0x08, "verb"),
                              byteTextItem(0x06, "Open"),
                              byteTextItem(0x07, "Main"),
                              {0x01}});
    const auto at2 = at + static_cast<std::uint32_t>(plain.size());
    const Bytes empty = join(
        {translationItem(u""), byteTextItem(0x06, "Close"), byteTextItem(0x07, "Other"), {0x01}});
    original = folder.write("de.qm", assembleQm({.index = {{1, 0}, {2, at}, {3, at2}},
                                                 .messages = join({plural, plain, empty}),
                                                 .language = bytesOf("de"),
                                                 .numerusRules = Bytes{0x01, 0x01}}));
    ASSERT_TRUE(openTraditional(original, original));
  }

  const char* exchangeName() const {
    return GetParam() == ExchangeFormat::po      ? "de.po"
           : GetParam() == ExchangeFormat::xliff ? "de.xlf"
                                                 : "de.ts";
  }
  std::u16string exchangePath() const { return folder.widePath(exchangeName()); }

  std::string exported() {
    EXPECT_TRUE(exportUnits(session, GetParam(), exchangePath(), original, dialogs));
    const Bytes bytes = folder.read(exchangeName());
    return {bytes.begin(), bytes.end()};
  }

  void replaceFile(const std::string& text) {
    folder.write(exchangeName(), Bytes(text.begin(), text.end()));
  }

  std::u16string original;
};

TEST_P(Exchange, AnUntouchedFileImportsToTheSameBytes) {
  EXPECT_EQ(exchangeFormatOfPath(exchangePath()), GetParam());
  exported();
  paths.mod = folder.widePath("before.qm");
  ASSERT_TRUE(writeModFile(session, paths, dialogs));
  const std::optional<ImportReport> report =
      importUnitsFile(session, GetParam(), exchangePath(), dialogs);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->units, 3);
  EXPECT_EQ(report->changed, 0);
  EXPECT_EQ(report->unknown, 0);
  EXPECT_EQ(report->sourceChanged, 0);
  EXPECT_FALSE(session.modified());
  paths.mod = folder.widePath("after.qm");
  ASSERT_TRUE(writeModFile(session, paths, dialogs));
  EXPECT_EQ(folder.read("after.qm"), folder.read("before.qm"));
  EXPECT_TRUE(dialogs.calls().empty());
}

// The file goes out as it is written: a write that fails on the way keeps
// the old file whole and says why.
TEST_P(Exchange, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  replaceFile("the old export");
  for (const SystemCall step : {SystemCall::write, SystemCall::flush, SystemCall::rename}) {
    dialogs.clear();
    {
      const ScopedSystemFault fault(step, ENOSPC);
      EXPECT_FALSE(exportUnits(session, GetParam(), exchangePath(), original, dialogs));
    }
    ASSERT_EQ(dialogs.calls().size(), 1U);
    EXPECT_EQ(dialogs.calls()[0].text,
              u"Error exporting to \"" + exchangePath() + u"\"\r\nNo space left on device");
    EXPECT_EQ(folder.read(exchangeName()), bytesOf("the old export"));
  }
  // No half-written file is left beside it.
  const auto files = std::filesystem::directory_iterator(folder.path());
  EXPECT_EQ(std::distance(std::filesystem::begin(files), std::filesystem::end(files)), 2);
}

TEST_P(Exchange, EditedTextsComeBackByKeyExactly) {
  std::string text = exported();
  // Each text changes where the file holds it; the awkward text's
  // characters stay as the format wrote them.
  const auto change = [&text](const std::string& from, const std::string& to) {
    const std::size_t at = text.rfind(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  };
  change("%n Dateien", "%n Dateien!");
  change("Zeile 1", "Zeile eins");
  replaceFile(text);
  const std::optional<ImportReport> report =
      importUnitsFile(session, GetParam(), exchangePath(), dialogs);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->changed, 2);
  EXPECT_THAT(modTexts(), ElementsAre(u"%n Datei", u"%n Dateien!",
                                      u" Zeile eins\r\nZeile\t2 & <b>\"3\"</b>\x01 ", u""));
  EXPECT_TRUE(session.modified());
}

// As a tool gives the file back: units in another order, one left out,
// translations changed, one marked for review, one of a key the Mod lacks,
// one made for another Original text.
TEST_P(Exchange, AToolsEditsImportOnlyTheChangedTranslations) {
  std::vector<TranslationUnit> units = translationUnits(session);
  ASSERT_EQ(units.size(), 3U);
  std::reverse(units.begin(), units.end());
  units.erase(units.begin() + 1);  // the awkward text stays as it is
  units[0].translations = {u"Zu"};
  units[0].sources = {u"Schliessen"};
  units[1].translations = {u"%n Datei", u"%n Dateien!"};
  TranslationUnit stranger = units[0];
  stranger.key.section = "Quit";
  stranger.translations = {u"Beenden"};
  units.push_back(stranger);
  const ExchangeHeader header{"de.qm", "de", "", {0x01, 0x01}};
  std::vector<std::uint8_t> bytes = GetParam() == ExchangeFormat::po ? *poFileBytes(header, units)
                                    : GetParam() == ExchangeFormat::xliff
                                        ? xliffFileBytes(header, units)
                                        : tsFileBytes(header, units);
  std::string text(bytes.begin(), bytes.end());
  // A second file marks the plural message for review.
  std::string review = text;
  const auto mark = [&review](const std::string& from, const std::string& to) {
    const std::size_t at = review.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    review.replace(at, from.size(), to);
  };
  if (GetParam() == ExchangeFormat::po) {
    mark("msgctxt \"00000001", "#, fuzzy\nmsgctxt \"00000001");
  } else if (GetParam() == ExchangeFormat::xliff) {
    mark("state=\"translated\">%n Datei<", "state=\"needs-review-translation\">%n Datei<");
  } else {
    mark("<translation>\n", "<translation type=\"vanished\">\n");
  }
  replaceFile(review);
  std::optional<ImportReport> report =
      importUnitsFile(session, GetParam(), exchangePath(), dialogs);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->fuzzy, 1);
  EXPECT_THAT(modTexts(), ElementsAre(u"%n Datei", u"%n Dateien",
                                      u" Zeile 1\r\nZeile\t2 & <b>\"3\"</b>\x01 ", u"Zu"));

  replaceFile(text);
  report = importUnitsFile(session, GetParam(), exchangePath(), dialogs);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->units, 3);
  EXPECT_EQ(report->changed, 1);
  EXPECT_EQ(report->fuzzy, 0);
  EXPECT_EQ(report->unknown, 1);
  EXPECT_THAT(report->firstUnknown, ElementsAre("00000003/Quit/Other/"));
  // The TS file keeps the Original's text only where it differs from the
  // source text: both read as another Original text there.
  EXPECT_EQ(report->sourceChanged, 1);
  EXPECT_THAT(report->firstSourceChanged, ElementsAre("00000003/Close/Other/"));
  EXPECT_THAT(modTexts(), ElementsAre(u"%n Datei", u"%n Dateien!",
                                      u" Zeile 1\r\nZeile\t2 & <b>\"3\"</b>\x01 ", u"Zu"));
  const std::u16string shown = importReportText(*report);
  EXPECT_EQ(shown.substr(0, shown.find(u"\r\n")),
            u"3 unit(s) read: 1 translation(s) changed, 0 marked for review (not imported), 1 "
            u"with a key the Mod lacks (skipped), 1 made for another Original text (imported).");
}

TEST_P(Exchange, ABrokenFileChangesNothingAndNamesItsLine) {
  std::string text = exported();
  text.insert(text.find('\n', text.find('\n') + 1) + 1, "<<\"\n");
  replaceFile(text);
  EXPECT_FALSE(importUnitsFile(session, GetParam(), exchangePath(), dialogs));
  ASSERT_EQ(dialogs.messageTexts().size(), 1U);
  const std::u16string message = dialogs.messageTexts()[0];
  EXPECT_EQ(message.substr(0, 16), u"Error importing ");
  EXPECT_NE(message.find(u"\r\nline "), std::u16string::npos);
  EXPECT_FALSE(session.modified());
}

INSTANTIATE_TEST_SUITE_P(Formats, Exchange,
                         ::testing::Values(ExchangeFormat::po, ExchangeFormat::xliff,
                                           ExchangeFormat::ts),
                         [](const auto& param) {
                           return std::string(param.param == ExchangeFormat::po      ? "Po"
                                              : param.param == ExchangeFormat::xliff ? "Xliff"
                                                                                     : "Ts");
                         });

}  // namespace
}  // namespace sorvane::test

namespace sorvane::test {
namespace {

// A new Russian Mod of an English Original is all left to translate, and
// its PO says so to gettext; each text translated counts as translated.
// A large import is looked up and compared on two threads: the changes of
// both halves are stored, in whatever order the file gives the units (a TS
// file's grouped by context), and nothing else changes.
TEST_F(SessionTest, ALargeImportStoresTheChangesOfEveryPart) {
  constexpr int kMessages = 20011;
  std::vector<QmIndexEntry> index;
  Bytes messages;
  for (int i = 0; i < kMessages; ++i) {
    const std::string n = std::to_string(i);
    index.push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(messages.size())});
    const Bytes message = join({translationItem(u"Text " + std::u16string(n.begin(), n.end())),
                                byteTextItem(0x06, "Text " + n),
                                byteTextItem(0x07, "Context " + std::to_string(i % 3)),
                                {0x01}});
    messages.insert(messages.end(), message.begin(), message.end());
  }
  const std::u16string qm = folder.write(
      "big.qm", assembleQm({.index = index, .messages = messages, .language = bytesOf("de")}));
  const std::vector<int> edited = {1, 9000, 10006, 20010};
  for (const auto& [format, name, open, close] :
       {std::tuple{ExchangeFormat::po, "big.po", "msgstr \"", "\""},
        std::tuple{ExchangeFormat::xliff, "big.xlf", "<target state=\"translated\">", "<"},
        std::tuple{ExchangeFormat::ts, "big.ts", "<translation>", "<"}}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(openTraditional(qm, qm));
    ASSERT_TRUE(exportUnits(session, format, folder.widePath(name), qm, dialogs));
    const Bytes bytes = folder.read(name);
    std::string text(bytes.begin(), bytes.end());
    for (const int i : edited) {
      const std::string old = std::string(open) + "Text " + std::to_string(i) + close;
      const std::size_t at = text.find(old);
      ASSERT_NE(at, std::string::npos) << old;
      text.replace(at, old.size(), std::string(open) + "Neu " + std::to_string(i) + close);
    }
    folder.write(name, Bytes(text.begin(), text.end()));
    const std::optional<ImportReport> report =
        importUnitsFile(session, format, folder.widePath(name), dialogs);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->units, kMessages);
    EXPECT_EQ(report->changed, static_cast<int>(edited.size()));
    EXPECT_EQ(report->unknown + report->repeated + report->sourceChanged, 0);
    int changed = 0;
    for (const TranslationUnit& unit : translationUnits(session)) {
      const std::string n = unit.key.section.substr(5);
      const bool edit = std::find(edited.begin(), edited.end(), std::stoi(n)) != edited.end();
      const std::u16string want = (edit ? u"Neu " : u"Text ") + std::u16string(n.begin(), n.end());
      ASSERT_EQ(unit.translations.front(), want) << n;
      changed += edit ? 1 : 0;
    }
    EXPECT_EQ(changed, static_cast<int>(edited.size()));
  }
}

// A TS file groups rows by context, out of their order, and what each row
// reads is fetched ahead through the session's lists: in "Mod update",
// with plural rows, new, dropped and Mod-only ones, the file is still the
// one the units held whole give.
TEST_F(SessionTest, ASessionExportedByContextIsWhatItsUnitsHeldWholeGive) {
  const auto record = [](std::vector<std::u16string> forms, const char* source,
                         const char* context) {
    Bytes bytes;
    for (const std::u16string& form : forms) bytes = join({bytes, translationItem(form)});
    return join({bytes, byteTextItem(0x06, source), byteTextItem(0x07, context), {0x01}});
  };
  const auto file = [&](const char* name, const std::vector<Bytes>& records) {
    std::vector<QmIndexEntry> index;
    Bytes messages;
    for (const Bytes& one : records) {
      index.push_back({static_cast<std::uint32_t>(index.size() + 1),
                       static_cast<std::uint32_t>(messages.size())});
      messages = join({messages, one});
    }
    return folder.write(name, assembleQm({.index = index,
                                          .messages = messages,
                                          .language = bytesOf("de"),
                                          .numerusRules = Bytes{0x01, 0x01}}));
  };
  const char* contexts[] = {"A", "B", "C"};
  std::vector<Bytes> oldRecords;
  std::vector<Bytes> newRecords;
  std::vector<Bytes> modRecords;
  for (int i = 0; i < 12; ++i) {
    const std::string source = "Text " + std::to_string(i);
    const std::u16string text = fromUtf8(source);
    const char* context = contexts[i % 3];
    if (i == 4) {
      newRecords.push_back(record({u"%n file", u"%n files"}, source.c_str(), context));
      modRecords.push_back(record({u"%n Datei", u"%n Dateien"}, source.c_str(), context));
      oldRecords.push_back(record({u"%n file", u"%n files"}, source.c_str(), context));
      continue;
    }
    if (i != 7) newRecords.push_back(record({text + u" new"}, source.c_str(), context));
    if (i != 5) oldRecords.push_back(record({text}, source.c_str(), context));
    if (i != 5 && i != 9) modRecords.push_back(record({text + u" de"}, source.c_str(), context));
  }
  modRecords.push_back(record({u"Nur hier"}, "Only", "B"));
  ASSERT_TRUE(openModUpdate(file("old.qm", oldRecords), file("new.qm", newRecords),
                            file("de.qm", modRecords)));
  ASSERT_GT(session.rowCount(), session.messageCount());
  // Rows out of range fetch nothing.
  for (int step = 0; step < Session::kRowPrefetchSteps; ++step) {
    for (std::int32_t row = -1; row <= session.rowCount(); ++row) session.prefetchRow(row, step);
  }
  const ExchangeHeader header{"de.qm", "de", "", {0x01, 0x01}};
  SessionUnits units(session);
  std::string streamed;
  writeTs(header, units, [&streamed](std::string_view piece) { streamed += piece; });
  const std::vector<std::uint8_t> held = tsFileBytes(header, translationUnits(session));
  EXPECT_EQ(streamed, std::string(held.begin(), held.end()));
  EXPECT_NE(streamed.find("<name>A</name>"), std::string::npos);
  EXPECT_NE(streamed.find("Nur hier"), std::string::npos);
  EXPECT_NE(streamed.find("%n Dateien"), std::string::npos);
}

// A key given twice in the Mod is one unit, as the first entry of it; the
// second is never reached by Qt either.
TEST_F(SessionTest, AKeyGivenTwiceIsExportedOnceAsItsFirstEntry) {
  const auto message = [](std::u16string_view text, const char* source, const char* context) {
    return join(
        {translationItem(text), byteTextItem(0x06, source), byteTextItem(0x07, context), {0x01}});
  };
  const Bytes first = message(u"Offnen", "Open", "Main");
  const Bytes other = message(u"Schliessen", "Close", "Main");
  const Bytes again = message(u"Nochmal", "Open", "Main");
  const auto at = static_cast<std::uint32_t>(first.size());
  const auto at2 = at + static_cast<std::uint32_t>(other.size());
  const std::u16string path =
      folder.write("twice.qm", assembleQm({.index = {{1, 0}, {1, at2}, {2, at}},
                                           .messages = join({first, other, again}),
                                           .language = bytesOf("de")}));
  ASSERT_TRUE(openTraditional(path, path));
  const std::vector<TranslationUnit> units = translationUnits(session);
  ASSERT_EQ(units.size(), 2u);
  EXPECT_EQ(units[0].key.section, "Open");
  EXPECT_EQ(units[0].translations, std::vector<std::u16string>{u"Offnen"});
  EXPECT_EQ(units[1].key.section, "Close");
}

TEST_F(SessionTest, AnExportCarriesWhatIsLeftToTranslate) {
  if (std::system("msgfmt --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no msgfmt";
  const Bytes english = assembleQm({.index = {{1, 0}},
                                    .messages = join({translationItem(u"Copy %1"),
                                                      byteTextItem(0x06, "Copy %1"),
                                                      byteTextItem(0x07, "Main"),
                                                      {0x01}}),
                                    .language = bytesOf("en")});
  ASSERT_TRUE(openTraditional(folder.write("en.qm", english), u""));
  ASSERT_TRUE(changeModLanguage(session, *pluralLanguage("ru")));
  const std::u16string po = folder.widePath("ru.po");
  const auto statistics = [&] {
    EXPECT_TRUE(exportUnits(session, ExchangeFormat::po, po, u"ru.qm", dialogs));
    const std::string command = "LC_ALL=C msgfmt --statistics -o /dev/null '" +
                                folder.path("ru.po") + "' 2> '" + folder.path("stats.txt") + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    const Bytes text = folder.read("stats.txt");
    return std::string(text.begin(), text.end());
  };
  EXPECT_EQ(statistics(), "0 translated messages, 1 untranslated message.\n");
  const Bytes written = folder.read("ru.po");
  EXPECT_NE(std::string(written.begin(), written.end()).find("#, qt-format"), std::string::npos);
  ASSERT_TRUE(commitEdit(
      session, 0, u"\u041A\u043E\u043F\u0438\u0440\u043E\u0432\u0430\u0442\u044C %1", false));
  EXPECT_EQ(statistics(), "1 translated message.\n");

  // The XLIFF names the Original's language as the source's.
  ASSERT_TRUE(
      exportUnits(session, ExchangeFormat::xliff, folder.widePath("ru.xlf"), u"ru.qm", dialogs));
  const Bytes xliff = folder.read("ru.xlf");
  EXPECT_NE(std::string(xliff.begin(), xliff.end()).find("source-language=\"en\""),
            std::string::npos);
}

}  // namespace
}  // namespace sorvane::test
