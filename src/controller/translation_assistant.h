#pragma once

#include "controller/window_state.h"
#include "memory/session_memory.h"
#include "memory/translation_memory.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sorvane {

class WindowController;

// A suggestion as the panel shows it.
struct ShownSuggestion {
  int score = 0;
  std::u16string target;
  // How its source differs from the row's original, word by word
  // ("[-old-]{+new+}"); empty when they are the same.
  std::u16string difference;
  std::u16string origin;  // the file it was learnt from, or the dropped row
};

// The translation memory at the window: the selected row's suggestions
// (in "Mod update" the dropped rows a new row rewords first, then the
// memory's), looked up off the interface's thread; the Mod's translations
// learnt at every save, also off it; pretranslation; Ctrl+1 to Ctrl+5.
// It runs the commands Pretranslate and Ctrl+1 to Ctrl+5 while it lives.
// A memory that can't be used leaves the window working without
// suggestions, and says why.
class TranslationAssistant : private WindowObserver {
 public:
  static constexpr std::size_t kShown = 5;

  // wake is called from a worker thread when a lookup is done: the
  // interface then calls deliver on its own thread.
  TranslationAssistant(WindowController& controller, std::u16string memoryPath,
                       std::function<void()> wake);
  ~TranslationAssistant() override;
  TranslationAssistant(const TranslationAssistant&) = delete;
  TranslationAssistant& operator=(const TranslationAssistant&) = delete;

  // Takes the lookup done for the row still selected (one for another row
  // is dropped), and tells the changed handler.
  void deliver();
  void setChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }

  std::int32_t row() const { return row_; }
  const std::vector<ShownSuggestion>& suggestions() const { return shown_; }
  // What the panel says besides: "Looking up…", "No suggestions", why the
  // memory can't be used; empty when suggestions are shown.
  const std::u16string& note() const { return note_; }
  bool memoryUsable() const { return memory_ != nullptr; }
  TranslationMemory* memory() { return memory_.get(); }
  const std::u16string& memoryPath() const { return path_; }

  // Puts suggestion i into the Mod editor; beeps when there is none.
  void useSuggestion(std::size_t i);
  // Fills the untranslated rows shown with their exact matches.
  void pretranslate();
  // Learns the Mod's translations, off the interface's thread.
  void learnFromMod();
  // Waits until every learning asked for is done (for tests and the end);
  // why the last one failed, or nothing.
  std::u16string waitForLearning();
  // The selected row is looked up again, as after a change to the memory.
  void refresh();

 private:
  void windowChanged(WindowChanges changes) override;
  void showRow(std::int32_t row);
  void lookupLoop();
  void learnLoop();
  void setNote(std::u16string note);

  WindowController& controller_;
  std::u16string path_;
  std::function<void()> wake_;
  std::function<void()> changed_;
  std::unique_ptr<TranslationMemory> memory_;
  std::u16string memoryError_;
  std::unique_ptr<RewordedIndex> reworded_;  // made when first needed after Open

  std::int32_t row_ = -1;
  std::vector<ShownSuggestion> shown_;
  std::size_t rewordedShown_ = 0;  // the first suggestions, from dropped rows
  std::u16string note_;

  // The lookup thread: the latest request waits, older ones are dropped.
  struct Request {
    std::uint64_t ticket = 0;
    std::u16string text;
    std::u16string original;
    MemoryLookup query;
  };
  struct Result {
    std::uint64_t ticket = 0;
    std::vector<MemorySuggestion> suggestions;
    std::u16string original;
    std::u16string error;
  };
  std::mutex mutex_;
  std::condition_variable wakeWorkers_;
  std::condition_variable learnt_;
  bool stopping_ = false;
  std::uint64_t ticket_ = 0;
  std::optional<Request> request_;
  std::optional<Result> result_;
  // What saves taught, with the file each was saved to.
  std::deque<std::pair<std::u16string, std::vector<MemorySegment>>> learning_;
  bool learningBusy_ = false;
  std::u16string learnError_;
  std::thread lookupThread_;
  std::thread learnThread_;
};

}  // namespace sorvane
