#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

class ReadUnits;
class RowIdIndex;
class Session;

// What tells a Mod entry from every other: its hash and its section,
// subsection and comment texts (bytes as the file holds them).
// The same as views, into a document or a UnitKey.
struct UnitKeyView {
  std::uint32_t hash = 0;
  std::string_view section;
  std::string_view subsection;
  std::string_view comment;
  bool operator==(const UnitKeyView&) const = default;
};

struct UnitKey {
  std::uint32_t hash = 0;
  std::string section;
  std::string subsection;
  std::string comment;
  bool operator==(const UnitKey&) const = default;
  UnitKeyView view() const { return {hash, section, subsection, comment}; }
};

// The key as one line of printable UTF-8 that translation tools keep as
// they got it: "0A1B2C3D/section/subsection/comment", with "%", "/",
// control characters and bytes of invalid UTF-8 written as "%XX".
std::string unitId(const UnitKeyView& key);
inline std::string unitId(const UnitKey& key) { return unitId(key.view()); }
void appendUnitId(std::string& out, const UnitKeyView& key);
std::optional<UnitKey> unitKeyFromId(std::string_view id);

// The key as a note for the translator: "Context: ...", "Source text: ..."
// and "Comment: ..." lines, for the parts that are not empty.
std::string unitNotes(const UnitKeyView& key);
inline std::string unitNotes(const UnitKey& key) { return unitNotes(key.view()); }

// One Mod message as a translation tool sees it: the Original's text as
// the source and the Mod's text as the translation, every form of a plural
// message. An empty translation is untranslated, and so is a message
// whose state is untranslated (the Original's text in another language):
// its translations are empty, so that tools count it as left to do.
struct TranslationUnit {
  UnitKey key;
  bool plural = false;
  // The source holds Qt's place markers: the translation is a Qt format
  // string.
  bool qtFormat = false;
  std::vector<std::u16string> sources;
  std::vector<std::u16string> translations;
};

// A unit as the writers take it: views of its key and texts.
struct UnitView {
  UnitKeyView key;
  bool plural = false;
  bool qtFormat = false;
  std::span<const std::u16string_view> sources;
  std::span<const std::u16string_view> translations;
};

// The units a file is written from, by their place; a unit given is valid
// until the next is asked for.
class UnitSource {
 public:
  virtual ~UnitSource() = default;
  virtual std::size_t count() const = 0;
  virtual const UnitView& unit(std::size_t i) = 0;
  // Only the key of unit i, without its texts.
  virtual UnitKeyView key(std::size_t i) const = 0;
  // A second reader of the same units, valid while this one is, for
  // another thread: both may be asked for units at once.
  virtual std::unique_ptr<UnitSource> another() const = 0;
  // For units asked for out of their order: starts fetching what unit(i)
  // reads, in prefetchSteps() steps from 0, each once the one before has
  // had time to arrive.
  virtual int prefetchSteps() const { return 0; }
  virtual void prefetch(std::size_t /*i*/, int /*step*/) const {}
};

// The units of a session, one a Mod message, in row order, as views of its
// documents: nothing is copied.
class SessionUnits : public UnitSource {
 public:
  explicit SessionUnits(const Session& session);
  SessionUnits(const SessionUnits&) = delete;
  SessionUnits& operator=(const SessionUnits&) = delete;
  std::size_t count() const override { return rows_->size(); }
  const UnitView& unit(std::size_t i) override;
  UnitKeyView key(std::size_t i) const override;
  std::unique_ptr<UnitSource> another() const override;
  int prefetchSteps() const override;
  void prefetch(std::size_t i, int step) const override;
  // The first row of each unit's message.
  const std::vector<std::int32_t>& rows() const { return *rows_; }

 private:
  SessionUnits(const Session& session, bool languagesDiffer, const std::vector<std::int32_t>& rows)
      : session_(session), languagesDiffer_(languagesDiffer), rows_(&rows) {}

  const Session& session_;
  bool languagesDiffer_ = false;
  std::vector<std::int32_t> ownRows_;                  // the first row of each unit's message
  const std::vector<std::int32_t>* rows_ = &ownRows_;  // these or another's
  std::vector<std::u16string_view> sources_;
  std::vector<std::u16string_view> translations_;
  UnitView view_;
};

// Units held whole, as a tool's file or a test gives them.
class HeldUnits : public UnitSource {
 public:
  explicit HeldUnits(std::span<const TranslationUnit> units) : units_(units) {}
  std::size_t count() const override { return units_.size(); }
  const UnitView& unit(std::size_t i) override;
  UnitKeyView key(std::size_t i) const override { return units_[i].key.view(); }
  std::unique_ptr<UnitSource> another() const override {
    return std::make_unique<HeldUnits>(units_);
  }

 private:
  std::span<const TranslationUnit> units_;
  std::vector<std::u16string_view> sources_;
  std::vector<std::u16string_view> translations_;
  UnitView view_;
};

// The units of a Traditional session, one a Mod message, in row order,
// held whole.
std::vector<TranslationUnit> translationUnits(const Session& session);

// A unit read back from a tool's file.
struct ReadUnit {
  std::string id;
  // The file gives the unit a key at all (a PO message without msgctxt, an
  // XLIFF unit without id has none, and is reported, never imported).
  bool keyed = true;
  std::vector<std::u16string> sources;
  std::vector<std::u16string> translations;
  bool fuzzy = false;  // the tool marks it as needing review: not imported
  std::int32_t line = 0;
  bool operator==(const ReadUnit&) const = default;
};

// What an import did, for the user to see.
struct ImportReport {
  std::int32_t units = 0;
  std::int32_t changed = 0;        // units whose translation was stored
  std::int32_t fuzzy = 0;          // units the tool marks for review, skipped
  std::int32_t unknown = 0;        // units whose key the Mod lacks, skipped
  std::int32_t sourceChanged = 0;  // imported, but made for another Original text
  std::int32_t unkeyed = 0;        // units without a key, skipped
  std::int32_t repeated = 0;       // a key given again after its first unit, skipped
  std::int32_t surplusForms = 0;   // units with more forms than the message has
  std::vector<std::string> firstUnknown;
  std::vector<std::string> firstSourceChanged;
  // "line 12" for units without a key, "KEY (line 40)" for the others.
  std::vector<std::string> firstUnkeyed;
  std::vector<std::string> firstRepeated;
  std::vector<std::string> firstSurplusForms;
};

// Stores the translations of the units in the session's Mod by key: units
// in any order; a unit missing, untranslated or marked for review leaves
// its entry as it is; a key the Mod lacks, a unit without a key and a key
// given a second time are reported and skipped; a source unlike today's
// Original text is imported and reported, and so are forms beyond the
// message's, which are left out. No unit goes unreported. Marks the
// session modified when any text changed. No undo entry, as the line-list
// import.
ImportReport importUnits(Session& session, const ReadUnits& units);

// The rows of a session by their units' ids, made before the units are at
// hand (while a file is still being read) and used by one import of them
// into that session, unchanged in between.
class UnitRows {
 public:
  explicit UnitRows(const Session& session);
  UnitRows(UnitRows&&) noexcept;
  ~UnitRows();
  // Readies the rows for units that come in another order than the export's
  // (a TS file is grouped by context), while there is time to spare.
  void expectAnyOrder();
  ImportReport importInto(Session& session, const ReadUnits& units);

 private:
  std::unique_ptr<RowIdIndex> rows_;
  bool anyOrder_ = false;
};

// The report as the user reads it, lines joined by CR LF.
std::u16string importReportText(const ImportReport& report);

}  // namespace sorvane
