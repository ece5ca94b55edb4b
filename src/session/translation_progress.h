#pragma once

#include "session/session.h"
#include "session/translation_state.h"

#include <array>
#include <cstdint>
#include <vector>

namespace sorvane {

// How far the translation of a session has come: the state of every
// message, kept current as Mod texts are stored, with counts of messages
// and of the original's words; and, against what the Mod held when it was
// opened, which coloured rows of "Mod update" were seen to.
class TranslationProgress {
 public:
  struct Tally {
    std::int32_t messages = 0;
    std::int64_t words = 0;
  };
  // Over the messages the (new) original holds.
  struct Counts {
    Tally all;
    Tally translated;
    Tally untranslated;
    Tally incomplete;
  };
  // A colour of "Mod update": its rows when the Mod was opened, and how
  // many of them are left to see to.
  struct ColourProgress {
    std::int32_t rows = 0;
    std::int32_t left = 0;
  };

  // Every message's state and words, after the rows were laid out.
  void computeAll(const Session& session);
  // The state of a row's message, after its Mod text was stored.
  void recheckRow(const Session& session, std::int32_t row);
  void clear();
  // What every message's Mod text and colour are now, at Open.
  void takeBaseline(const Session& session);

  TranslationState state(const Session& session, std::int32_t row) const;
  const Counts& counts() const { return counts_; }
  std::int32_t words(const Session& session, std::int32_t row) const;

  // Whether the Mod message of the row is another than at Open.
  bool changedSinceOpen(const Session& session, std::int32_t row) const;
  // A new or changed row of "Mod update" whose Mod text was changed since.
  bool seenTo(const Session& session, std::int32_t row) const;
  // A row coloured at Open that is still left to see to, as colours counts.
  bool left(const Session& session, std::int32_t row) const;
  // By RowState: new, dropped, changed, Mod only. New and changed rows are
  // left until their Mod text changes; dropped and Mod-only ones while they
  // keep that colour.
  std::array<ColourProgress, 4> colours(const Session& session) const;

 private:
  void tally(std::int32_t message, int sign);
  std::uint64_t modHash(const Session& session, std::int32_t row) const;

  bool languagesDiffer_ = false;
  std::vector<TranslationState> states_;  // by message
  std::vector<std::int32_t> words_;       // by message; -1 for one the original lacks
  Counts counts_;
  std::vector<std::uint64_t> hashAtOpen_;  // by message
  std::vector<RowState> colourAtOpen_;     // by message
};

}  // namespace sorvane
