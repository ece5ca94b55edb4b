#pragma once

#include "controller/window_state.h"

#include <QObject>
#include <QString>

#include <functional>

class QPlainTextEdit;
class QPoint;
class QWidget;

namespace sorvane {

class SpellChecker;
class SpellingHighlighter;

class StringListView;
class WindowController;

// The three row editors laid over a row of the string list: the Mod text to
// edit and the original text or texts, read-only, in full with their line
// breaks. They grow with their text and scroll the list when they reach
// below it. They open and close as the controller's edit row does, and give
// it the edited text when an edit is stored.
class RowEditors : public QObject, public WindowObserver {
  Q_OBJECT

 public:
  RowEditors(WindowController& controller, StringListView& list);
  ~RowEditors() override;

  QPlainTextEdit& modifiedEditor() const { return *modifiedEditor_; }
  QPlainTextEdit& newOriginalEditor() const { return *newOriginalEditor_; }
  QPlainTextEdit& oldOriginalEditor() const { return *oldOriginalEditor_; }

  bool shown() const { return shownRow_ >= 0; }
  // Whether the object is one of the editors or a part of one.
  bool isEditor(const QObject* object) const;

  // The editors' font: a copy of the list's.
  void setEditorFont(const QFont& font);

  // The Mod editor's text as it is stored: the text it was given, without
  // its CRs, as long as the user changed nothing, and otherwise that text
  // with the typed part in its stored form.
  std::u16string editedText() const;

  void windowChanged(WindowChanges changes) override;

 signals:
  // The Mod caption with the length of the text being typed or stored.
  void modifiedCaptionChanged(const QString& caption);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void openOn(int row);
  void close();
  // A text for the Mod editor in place of its own, all of it selected.
  void showText(const std::u16string& text);
  void fitEditors();
  // Moves the open editors to their row's place after the list scrolled.
  void followRow();
  void showModText(std::u16string_view text);
  int fittingHeight(const QPlainTextEdit& editor) const;
  QPlainTextEdit* makeEditor(const char* name, bool readOnly);
  // The Mod editor's context menu: the editor's own, after the spelling
  // suggestions for a misspelt word under the pointer, "Add to dictionary"
  // and "Ignore", with "Check spelling" to switch the check on and off.
  void showModEditorMenu(const QPoint& position);

  WindowController& controller_;
  StringListView& list_;
  int shownRow_ = -1;
  QPlainTextEdit* modifiedEditor_;
  SpellingHighlighter* highlighter_ = nullptr;
  const SpellChecker* spellerShown_ = nullptr;
  QPlainTextEdit* oldOriginalEditor_;
  QPlainTextEdit* newOriginalEditor_;
  // The editors scroll the list themselves to stay in view; that scroll
  // must not close them.
  bool scrollingItself_ = false;
  // The stored text the Mod editor was given, and the document's raw text
  // right after, to tell what the user changed.
  std::u16string givenText_;
  QString shownText_;
};

// "Modified String (n)" for a text of n code units.
QString modifiedCaptionText(std::size_t length);

}  // namespace sorvane
