#include "controller/translation_assistant.h"

#include "controller/window_controller.h"
#include "platform/utf8.h"
#include "support/qm_bytes_builder.h"
#include "support/recording_dialog_services.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace sorvane::test {
namespace {

using ::testing::ElementsAre;

// A window's controller and its assistant over a memory of its own, with
// the interface's part played here: a wake from the lookup thread is
// waited for, then delivered.
class AssistantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::u16string error;
    std::unique_ptr<TranslationMemory> memory =
        TranslationMemory::open(folder.widePath("memory.sqlite"), error);
    ASSERT_TRUE(memory);
    ASSERT_TRUE(memory->add(
        std::vector<MemorySegment>{
            {u"Open the selected file", "en", u"Gewählte Datei öffnen", "de", "MainWindow"},
            {u"Print the document", "en", u"Das Dokument drucken", "de", "Editor"},
            {u"Print the documents", "en", u"Die Dokumente drucken", "de", "Editor"}},
        u"/memory/app_de.qm", error));
    assistant = std::make_unique<TranslationAssistant>(controller, folder.widePath("memory.sqlite"),
                                                       [this] {
                                                         const std::lock_guard lock(mutex);
                                                         ++wakes;
                                                         woken.notify_all();
                                                       });
  }
  // Waits for the lookup of the selected row and shows it; a wake for a
  // row selected before is delivered as nothing, and waited past.
  void deliverLookup() {
    for (int round = 0; round < 100; ++round) {
      std::unique_lock lock(mutex);
      const bool woke =
          woken.wait_for(lock, std::chrono::milliseconds(100), [this] { return wakes > 0; });
      wakes = 0;
      lock.unlock();
      const std::size_t before = assistant->suggestions().size();
      assistant->deliver();
      if (woke &&
          (assistant->suggestions().size() != before || assistant->note() != u"Looking up\u2026"))
        return;
    }
  }
  std::vector<std::string> shown() const {
    std::vector<std::string> texts;
    for (const ShownSuggestion& s : assistant->suggestions()) {
      texts.push_back(std::to_string(s.score) + " " + toUtf8(s.target) + " (" + toUtf8(s.origin) +
                      ")");
    }
    return texts;
  }
  void openModUpdate() {
    const std::vector<QmEntry> oldOriginal = {qtEntry("Open the selected file", "MainWindow"),
                                              qtEntry("Print the document", "Editor")};
    const std::vector<QmEntry> newOriginal = {qtEntry("Open the selected files", "MainWindow"),
                                              qtEntry("Print the document", "Editor"),
                                              qtEntry("Print all documents", "Editor")};
    const std::vector<QmEntry> mod = {
        qtEntry("Open the selected file", "MainWindow", u"Die gewählte Datei öffnen"),
        qtEntry("Print the document", "Editor", u"Dokument drucken")};
    controller.chooseMode(SessionMode::modUpdate);
    controller.setPaths({folder.write("old.qm", buildQm(oldOriginal, std::nullopt, "en")),
                         folder.write("new.qm", buildQm(newOriginal, std::nullopt, "en")),
                         folder.write("mod.qm", buildQm(mod, std::nullopt, "de"))});
    ASSERT_TRUE(controller.run(CommandId::openFiles));
  }

  TempFolder folder;
  RecordingDialogServices dialogs;
  WindowController controller{dialogs};
  std::unique_ptr<TranslationAssistant> assistant;
  std::mutex mutex;
  std::condition_variable woken;
  int wakes = 0;
};

TEST_F(AssistantTest, ANewRowOffersTheDroppedRowItRewordsFirstThenTheMemory) {
  openModUpdate();
  // Row 0 is the reworded string, new; row 3 the dropped one it rewords.
  ASSERT_EQ(controller.session().rowState(0), RowState::newString);
  controller.selectRow(0);
  EXPECT_THAT(shown(), ElementsAre("95 Die gewählte Datei öffnen (dropped row 4)"));
  EXPECT_EQ(assistant->note(), u"");
  deliverLookup();
  EXPECT_THAT(shown(), ElementsAre("95 Die gewählte Datei öffnen (dropped row 4)",
                                   "95 Gewählte Datei öffnen (app_de.qm)"));
  EXPECT_EQ(assistant->suggestions()[0].difference, u"Open the selected [-file-]{+files+}");
}

TEST_F(AssistantTest, ALookupForARowNoLongerSelectedIsDropped) {
  openModUpdate();
  controller.selectRow(1);
  controller.selectRow(2);
  deliverLookup();
  // Only the lookup for row 2 is shown, whenever row 1's ended.
  EXPECT_EQ(assistant->row(), 2);
  EXPECT_THAT(shown(), ElementsAre("84 Die Dokumente drucken (app_de.qm)",
                                   "78 Das Dokument drucken (app_de.qm)"));
  assistant->deliver();
  EXPECT_EQ(assistant->row(), 2);
  EXPECT_EQ(shown().size(), 2U);

  // Ctrl+2 opens the editors on the row with that text, stored by nobody.
  struct EditorText : WindowObserver {
    explicit EditorText(WindowController& c) : controller(c) { controller.addObserver(*this); }
    ~EditorText() override { controller.removeObserver(*this); }
    void windowChanged(WindowChanges) override {
      if (controller.editorTextRequest()) text = *controller.editorTextRequest();
    }
    WindowController& controller;
    std::u16string text;
  } editor(controller);
  ASSERT_TRUE(controller.run(CommandId::useSuggestion2));
  EXPECT_EQ(controller.session().editRow(), 2);
  EXPECT_EQ(editor.text, u"Das Dokument drucken");
  EXPECT_EQ(controller.session().rowModText(2), u"");
  // A suggestion that is not there beeps.
  ASSERT_TRUE(controller.run(CommandId::useSuggestion5));
  EXPECT_EQ(dialogs.calls().back().kind, DialogCall::Kind::beep);
}

TEST_F(AssistantTest, PretranslateFillsOnlyTheRowsShownAndSaysHowMany) {
  controller.setPaths({u"",
                       folder.write("en.qm", buildQm({qtEntry("Print the document", "Editor"),
                                                      qtEntry("Print the documents", "Editor")},
                                                     std::nullopt, "en")),
                       folder.write("de.qm", buildQm({qtEntry("Print the document", "Editor"),
                                                      qtEntry("Print the documents", "Editor")},
                                                     std::nullopt, "de"))});
  ASSERT_TRUE(controller.run(CommandId::openFiles));
  RowFilter filter;
  filter.pattern = u"documents";
  ASSERT_TRUE(controller.setRowFilter(filter));
  ASSERT_TRUE(controller.run(CommandId::pretranslate));
  EXPECT_EQ(controller.session().rowModText(0), u"Print the document");
  EXPECT_EQ(controller.session().rowModText(1), u"Die Dokumente drucken");
  EXPECT_EQ(controller.notice(), u"1 row(s) pretranslated from the memory. Undo empties them.");
  // Nothing left to fill: said, nothing changed.
  ASSERT_TRUE(controller.run(CommandId::pretranslate));
  EXPECT_EQ(dialogs.messageTexts().back(),
            u"The memory holds no translation of exactly the original text of any untranslated "
            u"row shown.");
}

}  // namespace
}  // namespace sorvane::test
