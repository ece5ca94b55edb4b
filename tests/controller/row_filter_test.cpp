#include "controller/window_controller.h"

#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sorvane::test {
namespace {

// An English original and its German Mod: a translated row, an untranslated
// one, one whose translation lost its place marker (a problem), one with
// accelerators and two of another context.
const std::vector<QmEntry> kOriginal = {
    {1, u"Open file", "Open file", "Main"}, {2, u"Close", "Close", "Main"},
    {3, u"Save %1", "Save %1", "Dialog"},   {4, u"&Quit", "&Quit", "Dialog"},
    {5, u"Open", "Open", "Dialog"},         {6, u"Open", "Open", "Toolbar"}};
const std::vector<QmEntry> kMod = {
    {1, u"Datei \u00F6ffnen", "Open file", "Main"}, {2, u"", "Close", "Main"},
    {3, u"Speichern", "Save %1", "Dialog"},         {4, u"&Beenden", "&Quit", "Dialog"},
    {5, u"\u00D6ffnen", "Open", "Dialog"},          {6, u"\u00D6ffnen", "Open", "Toolbar"}};

class RowFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    controller.chooseMode(SessionMode::traditional);
    controller.setPaths(
        {u"", folder.write("en.qm", buildQm(kOriginal)), folder.write("de.qm", buildQm(kMod))});
    ASSERT_TRUE(controller.run(CommandId::openFiles));
  }

  std::vector<std::int32_t> shown() const {
    std::vector<std::int32_t> rows;
    for (std::int32_t at = 0; at < controller.view().size(); ++at) {
      rows.push_back(controller.view().rowAt(at));
    }
    return rows;
  }

  void filter(RowKindFilter kind, std::u16string pattern = u"",
              FilterField field = FilterField::allTexts,
              PatternKind patternKind = PatternKind::plain) {
    ASSERT_TRUE(controller.setRowFilter({kind, field, patternKind, std::move(pattern)}));
  }

  int beeps() const {
    return static_cast<int>(
        std::count_if(dialogs.calls().begin(), dialogs.calls().end(),
                      [](const DialogCall& call) { return call.kind == DialogCall::Kind::beep; }));
  }

  TempFolder folder;
  RecordingDialogServices dialogs;
  WindowController controller{dialogs};
};

TEST_F(RowFilterTest, KeepsTheRowsOfAStateAndATextCondition) {
  using K = RowKindFilter;
  using F = FilterField;
  using P = PatternKind;
  const struct {
    RowKindFilter kind;
    FilterField field;
    PatternKind patternKind;
    std::u16string pattern;
    std::vector<std::int32_t> rows;
  } cases[] = {
      {K::all, F::allTexts, P::plain, u"", {0, 1, 2, 3, 4, 5}},
      {K::untranslated, F::allTexts, P::plain, u"", {1}},
      {K::unfinished, F::allTexts, P::plain, u"", {1}},
      {K::incomplete, F::allTexts, P::plain, u"", {}},
      {K::translated, F::allTexts, P::plain, u"", {0, 2, 3, 4, 5}},
      {K::problem, F::allTexts, P::plain, u"", {2}},
      // Case is ignored; plain text has no special characters.
      {K::all, F::original, P::plain, u"OPEN", {0, 4, 5}},
      {K::all, F::modText, P::plain, u"\u00D6FFNEN", {0, 4, 5}},
      {K::all, F::original, P::plain, u"%1", {2}},
      {K::all, F::allTexts, P::plain, u"s?ve", {}},
      {K::all, F::allTexts, P::wildcard, u"s?ve", {2}},
      {K::all, F::subsection, P::wildcard, u"dia*", {2, 3, 4}},
      {K::all, F::subsection, P::plain, u"main", {0, 1}},
      {K::all, F::section, P::plain, u"quit", {3}},
      {K::all, F::comment, P::plain, u"quit", {}},
      {K::all, F::allTexts, P::regex, u"^&", {3}},
      {K::all, F::modText, P::regex, u"^\\p{Lu}\\w+$", {2, 4, 5}},
      {K::translated, F::subsection, P::plain, u"main", {0}},
      {K::newString, F::allTexts, P::plain, u"", {}},  // colours are "Mod update"'s
  };
  for (const auto& c : cases) {
    filter(c.kind, c.pattern, c.field, c.patternKind);
    EXPECT_EQ(shown(), c.rows) << std::string(c.pattern.begin(), c.pattern.end());
    EXPECT_EQ(controller.state().shownRows, static_cast<std::int32_t>(c.rows.size()));
  }
}

TEST_F(RowFilterTest, AnInvalidExpressionSaysWhyAndKeepsTheRowsShown) {
  filter(RowKindFilter::all, u"open", FilterField::original);
  ASSERT_FALSE(controller.setRowFilter(
      {RowKindFilter::all, FilterField::allTexts, PatternKind::regex, u"(open"}));
  EXPECT_EQ(controller.filterError(),
            u"The regular expression is not valid: mismatched paren at character 6.");
  EXPECT_EQ(shown(), (std::vector<std::int32_t>{0, 4, 5}));
  EXPECT_EQ(controller.rowFilter().pattern, u"open");
  filter(RowKindFilter::all);
  EXPECT_TRUE(controller.filterError().empty());
}

TEST_F(RowFilterTest, ContextOrderSortsByContextThenSourceAndKeepsTheFilter) {
  controller.setRowOrder(RowOrder::context);
  EXPECT_EQ(shown(), (std::vector<std::int32_t>{3, 4, 2, 1, 0, 5}));
  filter(RowKindFilter::translated, u"open");
  EXPECT_EQ(shown(), (std::vector<std::int32_t>{4, 0, 5}));
  controller.setRowOrder(RowOrder::file);
  EXPECT_EQ(shown(), (std::vector<std::int32_t>{0, 4, 5}));
}

TEST_F(RowFilterTest, TheSelectionStaysWhenShownAndCommandsWalkTheRowsShown) {
  controller.selectRow(4);
  filter(RowKindFilter::all, u"open", FilterField::original);
  EXPECT_EQ(controller.state().selectedRow, 4);
  filter(RowKindFilter::all, u"dialog", FilterField::subsection);
  EXPECT_EQ(controller.state().selectedRow, 4);
  filter(RowKindFilter::all, u"main", FilterField::subsection);
  EXPECT_EQ(controller.state().selectedRow, 0);  // the first row shown

  // Find, and F8, look at the rows shown only.
  controller.setFindText(u"speichern");
  EXPECT_EQ(controller.findResult(), FindResult::notFound);
  filter(RowKindFilter::all);
  controller.setFindText(u"speichern");
  EXPECT_EQ(controller.state().selectedRow, 2);
  filter(RowKindFilter::all, u"open", FilterField::original);
  const int beepsBefore = beeps();
  ASSERT_TRUE(controller.run(CommandId::nextProblemRow));
  EXPECT_NE(controller.state().selectedRow, 2);
  EXPECT_EQ(beeps(), beepsBefore + 1);

  // Find in the keys: the source text "Close" is the section of row 1.
  filter(RowKindFilter::all);
  controller.setFindText(u"quit");
  EXPECT_EQ(controller.state().selectedRow, 3);
  controller.setFindInKeys(false);
  controller.setFindText(u"close");
  EXPECT_EQ(controller.state().selectedRow, 1);  // the original's text
  controller.setFindText(u"dialog");
  EXPECT_EQ(controller.findResult(), FindResult::notFound);
  controller.setFindInKeys(true);
  controller.setFindText(u"dialog");
  EXPECT_EQ(controller.state().selectedRow, 2);
}

TEST_F(RowFilterTest, ChangeSameStoresInTheRowsShownOnly) {
  filter(RowKindFilter::all, u"dialog", FilterField::subsection);
  ASSERT_TRUE(controller.run(CommandId::toggleChangeSame));
  controller.openEditors(4);
  controller.setEditedTextSource([] { return std::u16string(u"Auf"); });
  ASSERT_TRUE(controller.run(CommandId::storeEdit));
  EXPECT_EQ(controller.session().rowModText(4), u"Auf");
  EXPECT_EQ(controller.session().rowModText(5), u"\u00D6ffnen");  // hidden, of Toolbar
}

TEST_F(RowFilterTest, StoreAndGoOnOpensTheNextRowLeftToDo) {
  controller.setEditedTextSource([] { return std::u16string(u"Schlie\u00DFen"); });
  controller.openEditors(0);
  // Row 1 is untranslated, row 2 has a problem; the rest are done.
  ASSERT_TRUE(controller.run(CommandId::storeAndGoOn));
  EXPECT_EQ(controller.session().rowModText(0), u"Schlie\u00DFen");
  EXPECT_EQ(controller.session().editRow(), 1);
  ASSERT_TRUE(controller.run(CommandId::storeAndGoOn));
  EXPECT_EQ(controller.session().rowModText(1), u"Schlie\u00DFen");
  EXPECT_EQ(controller.session().editRow(), 2);
  controller.setEditedTextSource([] { return std::u16string(u"Speichern %1"); });
  ASSERT_TRUE(controller.run(CommandId::storeAndGoOn));
  EXPECT_EQ(controller.session().editRow(), -1);
  EXPECT_EQ(beeps(), 1);  // nothing is left
  ASSERT_TRUE(controller.run(CommandId::undo));
  EXPECT_EQ(controller.session().rowModText(2), u"Speichern");
}

TEST_F(RowFilterTest, NextUntranslatedWrapsAndBeepsWhenNoneIsLeft) {
  controller.selectRow(3);
  ASSERT_TRUE(controller.run(CommandId::nextUntranslatedRow));
  EXPECT_EQ(controller.state().selectedRow, 1);
  ASSERT_TRUE(controller.run(CommandId::previousUntranslatedRow));
  EXPECT_EQ(controller.state().selectedRow, 1);
  EXPECT_EQ(beeps(), 0);
  filter(RowKindFilter::translated);
  ASSERT_TRUE(controller.run(CommandId::nextUntranslatedRow));
  EXPECT_EQ(beeps(), 1);
}

TEST_F(RowFilterTest, AnUndoOfAHiddenRowLeavesTheSelectionOnTheRowsShown) {
  controller.openEditors(1);
  controller.setEditedTextSource([] { return std::u16string(u"Zu"); });
  ASSERT_TRUE(controller.run(CommandId::storeEdit));
  filter(RowKindFilter::all, u"dialog", FilterField::subsection);
  ASSERT_TRUE(controller.run(CommandId::undo));
  EXPECT_EQ(controller.session().rowModText(1), u"");
  EXPECT_TRUE(controller.view().shows(controller.state().selectedRow));
}

// "Mod update": the colours and what is left of them.
TEST(RowFilterModUpdate, KeepsTheRowsOfAColourAndThoseLeft) {
  TempFolder folder;
  RecordingDialogServices dialogs;
  WindowController controller{dialogs};
  controller.chooseMode(SessionMode::modUpdate);
  controller.setPaths({folder.write("old.qm", buildQm({{1, u"Open", "Open", "M"},
                                                       {2, u"Gone", "Gone", "M"},
                                                       {3, u"Save", "Save", "M"}})),
                       folder.write("new.qm", buildQm({{1, u"Open", "Open", "M"},
                                                       {3, u"Save!", "Save", "M"},
                                                       {4, u"New", "New", "M"}})),
                       folder.write("mod.qm", buildQm({{1, u"Auf", "Open", "M"},
                                                       {2, u"Weg", "Gone", "M"},
                                                       {3, u"Sichern", "Save", "M"}}))});
  ASSERT_TRUE(controller.run(CommandId::openFiles));
  const auto shownTexts = [&controller](RowKindFilter kind) {
    EXPECT_TRUE(controller.setRowFilter({kind, FilterField::allTexts, PatternKind::plain, u""}));
    std::vector<std::u16string> texts;
    for (std::int32_t at = 0; at < controller.view().size(); ++at) {
      const std::int32_t row = controller.view().rowAt(at);
      texts.emplace_back(controller.session().mode() == SessionMode::modUpdate &&
                                 controller.session().rowOriginalText(row).empty()
                             ? controller.session().rowOldOriginalText(row)
                             : controller.session().rowOriginalText(row));
    }
    return texts;
  };
  using Texts = std::vector<std::u16string>;
  EXPECT_EQ(shownTexts(RowKindFilter::newString), (Texts{u"New"}));
  EXPECT_EQ(shownTexts(RowKindFilter::dropped), (Texts{u"Gone"}));
  EXPECT_EQ(shownTexts(RowKindFilter::changed), (Texts{u"Save!"}));
  EXPECT_EQ(shownTexts(RowKindFilter::left), (Texts{u"Save!", u"New", u"Gone"}));
  // A changed row whose Mod text was seen to is no longer left.
  const std::int32_t changedRow = controller.view().rowAt(0);
  controller.openEditors(changedRow);
  controller.setEditedTextSource([] { return std::u16string(u"Sichern!"); });
  ASSERT_TRUE(controller.run(CommandId::storeEdit));
  EXPECT_EQ(controller.view().size(), 3);  // it stays in sight until the filter changes
  EXPECT_EQ(shownTexts(RowKindFilter::all).size(), 4U);
  EXPECT_EQ(shownTexts(RowKindFilter::left), (Texts{u"New", u"Gone"}));
}

}  // namespace
}  // namespace sorvane::test
