#include "checks/translation_checks.h"

#include "platform/text_codec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sorvane {
namespace {

using ::testing::ElementsAreArray;

using K = CheckKind;

struct Case {
  std::u16string original;
  std::u16string translation;
  std::vector<CheckKind> expected;
};

std::vector<CheckKind> kindsOf(const std::u16string& original, const std::u16string& translation) {
  std::vector<CheckKind> kinds;
  for (const Problem& problem : checkTranslation(original, translation)) {
    EXPECT_FALSE(problem.message.empty());
    kinds.push_back(problem.check);
  }
  return kinds;
}

TEST(TranslationChecks, FlagSlipsAndLeaveWhatATranslatorWouldCallRight) {
  const Case cases[] = {
      // Right in every language: nothing to flag.
      {u"File:", u"Datei:", {}},
      {u"File:", u"Fichier :", {}},
      {u"File:", u"ファイル：", {}},
      {u"Saving...", u"保存中…", {}},
      {u"Open File…", u"Datei öffnen...", {}},
      {u"Really quit?", u"本当に終了しますか？", {}},
      {u"Really quit?", u"هل تريد الخروج حقًا؟", {}},
      {u"Done.", u"完了。", {}},
      {u"Done.", u"Fertig", {}},
      {u"Settings", u"Einstellungen!", {}},
      {u"&Open", u"&פתח", {}},
      {u"&Open", u"ف&تح", {}},
      {u"Save && Quit", u"Speichern && Beenden", {}},
      {u"Save && Quit", u"Speichern & Beenden", {}},
      {u"100%% done", u"100%% fertig", {}},
      {u"%1 of %2", u"%2 von %1", {}},
      {u"%1 and %1", u"%1", {}},
      {u"%L1 bytes", u"%L1 Bytes", {}},
      {u"%n file(s)", u"%n Dateien", {}},
      {u"Line 1\nLine 2", u"Zeile 1\nZeile 2", {}},
      {u"<b>Bold</b> text", u"Text in <B>fett</B>", {}},
      {u"Use <none> here", u"Hier <keins> nehmen", {}},
      {u"a<br>b", u"a<br/>b", {}},
      {u"x < y > z", u"x<y>z", {}},
      {u"Anything", u"", {}},
      {u"Same & text:", u"Same & text:", {}},
      // Slips.
      {u"Copy %1 to %2", u"Kopiere %1", {K::placeMarkers}},
      {u"Copy %1", u"Kopiere %1 nach %3", {K::placeMarkers}},
      {u"%n file(s)", u"Dateien", {K::placeMarkers}},
      {u"%Ln file(s)", u"%n Dateien", {}},
      {u"Copy %1", u"Kopiere %L1", {}},
      {u"%n file(s)", u"%n Dateien (%1)", {K::placeMarkers}},
      {u"&Open", u"Öffnen", {K::accelerators}},
      {u"Open", u"Ö&ffnen", {K::accelerators}},
      {u"&Open", u"&Datei &öffnen", {K::accelerators}},
      {u"File:", u"Datei", {K::punctuation}},
      {u"Save as...", u"Speichern unter", {K::punctuation}},
      {u"Quit?", u"Beenden.", {K::punctuation}},
      {u"Done.", u"Fertig!", {K::punctuation}},
      {u" of ", u"von", {K::whiteSpace, K::whiteSpace}},
      {u"Name", u"Name ", {K::whiteSpace}},
      {u"One\nTwo", u"Eins Zwei", {K::lineBreaks}},
      {u"<b>Bold</b>", u"<b>Fett", {K::tags}},
      {u"<b>Bold</b>", u"<i>Fett</i>", {K::tags}},
      {u"<b><i>x</i></b>", u"<b><i>x</b></i>", {K::tags}},
      {u"&Save %1:", u"Speichern", {K::placeMarkers, K::accelerators, K::punctuation}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toLocal8Bit(c.original) + " / " + toLocal8Bit(c.translation));
    EXPECT_THAT(kindsOf(c.original, c.translation), ElementsAreArray(c.expected));
  }
}

TEST(TranslationChecks, MessagesNameWhatIsMissing) {
  const std::vector<Problem> problems = checkTranslation(u"Copy %1 to %2", u"Kopiere %1 %3");
  ASSERT_EQ(problems.size(), 1U);
  EXPECT_EQ(problems[0].message,
            u"Missing place marker %2; Place marker %3 is not in the original");
  EXPECT_EQ(checkTranslation(u"File:", u"Datei")[0].message,
            u"The original ends with \":\", the translation doesn't");
  EXPECT_EQ(checkName(CheckKind::acceleratorClash), "accelerator-clash");
}

TEST(TranslationChecks, AcceleratorLettersAreLowerCasedAndSkipAmpersands) {
  EXPECT_EQ(acceleratorOf(u"&Open"), u'o');
  EXPECT_EQ(acceleratorOf(u"Save && &Quit"), u'q');
  EXPECT_EQ(acceleratorOf(u"Rock & roll"), 0);
  EXPECT_EQ(acceleratorOf(u"Ende&"), 0);
  EXPECT_EQ(acceleratorOf(u"&Öffnen"), u'ö');
}

TEST(TranslationChecks, QtMessageHashIsQtsElfHash) {
  // Values from index blocks that Qt's lrelease wrote.
  EXPECT_EQ(qtMessageHash("Open", ""), 0x000566BEU);
  EXPECT_EQ(qtMessageHash("Open", "verb"), 0x06C5C9E2U);
  EXPECT_EQ(qtMessageHash("Close", ""), 0x004A3695U);
  EXPECT_EQ(qtMessageHash("%n file(s)", ""), 0x0D00BF39U);
}

}  // namespace
}  // namespace sorvane
