#include "qm/entry_forms.h"

#include <algorithm>
#include <vector>

namespace sorvane {

namespace {

constexpr char16_t kAbsent = u'A';
constexpr char16_t kPresent = u'P';
constexpr char16_t kSeparator = u'\0';
// The first unit of a line: this base and the entry's mark bits.
constexpr char16_t kMarksBase = 0x40;

struct Decoded {
  unsigned marks = 0;
  std::vector<EntryForms::Form> more;
};

Decoded decode(std::u16string_view line) {
  Decoded decoded;
  if (line.empty()) return decoded;
  decoded.marks = line[0] - kMarksBase;
  std::size_t at = 1;
  while (at < line.size()) {
    // line[at] is a separator.
    const std::size_t start = at + 1;
    const std::size_t end = std::min(line.find(kSeparator, start), line.size());
    if (start < end) {
      decoded.more.push_back({line.substr(start + 1, end - start - 1), line[start] == kAbsent});
    }
    at = end;
  }
  return decoded;
}

std::u16string encode(unsigned marks, std::span<const EntryForms::Form> more) {
  if (marks == 0 && more.empty()) return {};
  std::u16string line(1, static_cast<char16_t>(kMarksBase + marks));
  for (const EntryForms::Form& form : more) {
    line.push_back(kSeparator);
    line.push_back(form.absent ? kAbsent : kPresent);
    line.append(form.text.substr(0, form.text.find(kSeparator)));
  }
  return line;
}

}  // namespace

std::u16string_view EntryForms::line(std::int32_t entry) const {
  if (entry < 0 || static_cast<std::size_t>(entry) >= lines_.size()) return {};
  return lines_[static_cast<std::size_t>(entry)];
}

void EntryForms::store(std::int32_t entry, std::u16string_view encoded) {
  if (encoded.empty() && static_cast<std::size_t>(entry) >= lines_.size()) return;
  lines_.set(static_cast<std::size_t>(entry), encoded);
}

std::int32_t EntryForms::count(std::int32_t entry) const {
  return 1 + static_cast<std::int32_t>(decode(line(entry)).more.size());
}

bool EntryForms::absent(std::int32_t entry, std::int32_t form) const {
  const Decoded decoded = decode(line(entry));
  if (form == 0) return (decoded.marks & kFirstAbsent) != 0;
  const auto k = static_cast<std::size_t>(form - 1);
  return form > 0 && k < decoded.more.size() && decoded.more[k].absent;
}

std::u16string_view EntryForms::text(std::int32_t entry, std::int32_t form) const {
  const Decoded decoded = decode(line(entry));
  const auto k = static_cast<std::size_t>(form - 1);
  return form > 0 && k < decoded.more.size() ? decoded.more[k].text : std::u16string_view();
}

void EntryForms::set(std::int32_t entry, unsigned marks, std::span<const Form> moreForms) {
  store(entry, encode(marks, moreForms));
}

unsigned EntryForms::marks(std::int32_t entry) const { return decode(line(entry)).marks; }

void EntryForms::setText(std::int32_t entry, std::int32_t form, std::u16string_view text,
                         bool keepEmptyLast) {
  if (form < 1) return;
  Decoded decoded = decode(line(entry));
  const auto k = static_cast<std::size_t>(form - 1);
  if (text.empty() && !keepEmptyLast && k + 1 >= decoded.more.size()) {
    if (k < decoded.more.size()) decoded.more.resize(k);
  } else {
    if (decoded.more.size() <= k) decoded.more.resize(k + 1, Form{{}, true});
    decoded.more[k].text = text;
  }
  store(entry, encode(decoded.marks, decoded.more));
}

void EntryForms::setAbsent(std::int32_t entry, std::int32_t form, bool absent) {
  Decoded decoded = decode(line(entry));
  const auto k = static_cast<std::size_t>(form - 1);
  if (form < 1 || k >= decoded.more.size() || decoded.more[k].absent == absent) return;
  decoded.more[k].absent = absent;
  store(entry, encode(decoded.marks, decoded.more));
}

void EntryForms::setMarks(std::int32_t entry, unsigned marks) {
  Decoded decoded = decode(line(entry));
  if (decoded.marks == marks) return;
  store(entry, encode(marks, decoded.more));
}

void EntryForms::resize(std::int32_t entry, std::int32_t count) {
  Decoded decoded = decode(line(entry));
  const auto more = static_cast<std::size_t>(std::max(count, 1) - 1);
  if (decoded.more.size() == more) return;
  decoded.more.resize(more, Form{{}, true});
  store(entry, encode(decoded.marks, decoded.more));
}

void EntryForms::insert(std::int32_t entry, unsigned marks, std::span<const Form> moreForms) {
  const auto at = static_cast<std::size_t>(entry);
  if (at < lines_.size()) {
    lines_.insert(at, encode(marks, moreForms));
  } else {
    set(entry, marks, moreForms);
  }
}

void EntryForms::addCopyOf(std::int32_t from, std::int32_t to) {
  if (line(from).empty()) return;
  if (lines_.size() < static_cast<std::size_t>(to))
    lines_.set(static_cast<std::size_t>(to) - 1, {});
  if (lines_.size() == static_cast<std::size_t>(to))
    lines_.addShared(static_cast<std::size_t>(from));
}

void EntryForms::remove(std::int32_t entry) {
  if (entry >= 0 && static_cast<std::size_t>(entry) < lines_.size()) {
    lines_.remove(static_cast<std::size_t>(entry));
  }
}

}  // namespace sorvane
