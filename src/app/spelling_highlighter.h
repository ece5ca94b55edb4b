#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace sorvane {

class WindowController;

// Underlines the misspelt words of the Mod editor with a red wave as they
// are typed, each paragraph as it changes.
class SpellingHighlighter : public QSyntaxHighlighter {
 public:
  SpellingHighlighter(WindowController& controller, QTextDocument* document);

 protected:
  void highlightBlock(const QString& text) override;

 private:
  WindowController& controller_;
  QTextCharFormat misspelt_;
};

}  // namespace sorvane
