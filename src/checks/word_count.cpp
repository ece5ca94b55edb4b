#include "checks/word_count.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

namespace sorvane {

WordCounter::WordCounter() {
  UErrorCode status = U_ZERO_ERROR;
  words_.reset(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
  if (U_FAILURE(status)) words_.reset();
}

WordCounter::~WordCounter() = default;

std::int32_t WordCounter::count(std::u16string_view text) {
  if (!words_ || text.empty()) return 0;
  UErrorCode status = U_ZERO_ERROR;
  UText* utext =
      utext_openUChars(nullptr, text.data(), static_cast<std::int64_t>(text.size()), &status);
  if (U_FAILURE(status)) return 0;
  words_->setText(utext, status);
  std::int32_t words = 0;
  if (U_SUCCESS(status)) {
    for (std::int32_t at = words_->next(); at != icu::BreakIterator::DONE; at = words_->next()) {
      if (words_->getRuleStatus() >= UBRK_WORD_NONE_LIMIT) ++words;
    }
  }
  utext_close(utext);
  return words;
}

}  // namespace sorvane
