#pragma once

#include "session/session.h"

#include <QObject>
#include <QString>

#include <functional>

class QPlainTextEdit;
class QWidget;

namespace sorvane {

class StringListView;

// The three row editors laid over a row of the string list: the Mod text to
// edit and the original text or texts, read-only, in full with their line
// breaks. They grow with their text and scroll the list when they reach
// below it.
class RowEditors : public QObject {
  Q_OBJECT

 public:
  RowEditors(Session& session, StringListView& list);

  QPlainTextEdit& modifiedEditor() const { return *modifiedEditor_; }
  QPlainTextEdit& newOriginalEditor() const { return *newOriginalEditor_; }

  bool shown() const { return session_.editRow() >= 0; }
  // Whether the object is one of the editors or a part of one.
  bool isEditor(const QObject* object) const;

  // Opens the editors on a row; another open row is closed without commit.
  void openEditors(int row);
  // Closes the editors; with commit, the Mod editor's text is stored (with
  // changeSame, also in the rows with the same original text).
  void endEditing(bool commit, bool changeSame = false);
  // The editors' font: a copy of the list's.
  void setEditorFont(const QFont& font);

  // The Mod editor's text as it is stored: the text it was given, without
  // its CRs, as long as the user changed nothing, and otherwise that text
  // with the typed part in its stored form.
  std::u16string editedText() const;

  // Ctrl+B: the Mod editor takes the row's original text (its first form
  // for a form the original lacks), all of it selected.
  void copyOriginalText();

  // Runs a scroll of the list that must leave open editors open (they move
  // with the rows), as bringing an undone row into view does.
  void scrollWithoutClosing(const std::function<void()>& scroll);

 signals:
  // The Mod caption with the length of the text being typed or stored.
  void modifiedCaptionChanged(const QString& caption);
  // A commit stored a text (and logged it).
  void committed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fitEditors();
  // Moves the open editors to their row's place after the list scrolled.
  void followRow();
  void showModText(std::u16string_view text);
  int fittingHeight(const QPlainTextEdit& editor) const;
  QPlainTextEdit* makeEditor(const char* name, bool readOnly);

  Session& session_;
  StringListView& list_;
  QPlainTextEdit* modifiedEditor_;
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
