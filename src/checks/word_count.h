#pragma once

#include <unicode/uversion.h>

#include <cstdint>
#include <memory>
#include <string_view>

U_NAMESPACE_BEGIN
class BreakIterator;
U_NAMESPACE_END

namespace sorvane {

// Counts the words of texts as ICU's word break rules find them (the
// pieces between breaks that are words of letters, numbers, kana or
// ideographs; not spaces or punctuation). One counter reuses its iterator
// from text to text; it is not shared between threads.
class WordCounter {
 public:
  WordCounter();
  ~WordCounter();
  WordCounter(const WordCounter&) = delete;
  WordCounter& operator=(const WordCounter&) = delete;

  std::int32_t count(std::u16string_view text);

 private:
  std::unique_ptr<icu::BreakIterator> words_;
};

}  // namespace sorvane
