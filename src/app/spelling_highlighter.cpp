#include "app/spelling_highlighter.h"

#include "app/qt_text.h"
#include "controller/window_controller.h"

namespace sorvane {

SpellingHighlighter::SpellingHighlighter(WindowController& controller, QTextDocument* document)
    : QSyntaxHighlighter(document), controller_(controller) {
  misspelt_.setUnderlineStyle(QTextCharFormat::WaveUnderline);
  misspelt_.setUnderlineColor(QColor(0xD0, 0x10, 0x10));
}

void SpellingHighlighter::highlightBlock(const QString& text) {
  for (const TextWord word : controller_.misspeltWords(toU16String(text))) {
    setFormat(static_cast<int>(word.start), static_cast<int>(word.length), misspelt_);
  }
}

}  // namespace sorvane
