#include "app/row_editors.h"

#include "app/qt_text.h"
#include "app/spelling_highlighter.h"
#include "app/string_list_view.h"
#include "controller/window_controller.h"
#include "session/editing.h"
#include "session/string_list_layout.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace sorvane {

namespace {

// The editor's document holds each line break as a paragraph separator.
// Typed text becomes stored text by turning those into LF; a CR can't be
// typed into the document (Enter and pasted line ends make paragraphs).
std::u16string storedFromDocument(QStringView raw) {
  std::u16string text;
  text.reserve(static_cast<std::size_t>(raw.size()));
  for (const QChar unit : raw) {
    if (unit == QChar::ParagraphSeparator) {
      text.push_back(u'\n');
    } else if (unit != QLatin1Char('\r')) {
      text.push_back(unit.unicode());
    }
  }
  return text;
}

// The height of the text laid out as the editor lays it out: wrapped at
// the width, every line with its leading, at the font's fractional line
// height (rounding each line to whole pixels would cut the last one off).
qreal wrappedTextHeight(const QString& text, const QFont& font, int width) {
  qreal height = 0;
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLeadingIncluded(true);
      line.setLineWidth(std::max(1, width));
      height += line.height();
    }
    layout.endLayout();
  }
  return height;
}

constexpr int kFrame = 1;
constexpr int kMargin = 1;

}  // namespace

QString modifiedCaptionText(std::size_t length) {
  return QStringLiteral("Modified String (%1)").arg(length);
}

RowEditors::RowEditors(WindowController& controller, StringListView& list)
    : QObject(&list), controller_(controller), list_(list) {
  modifiedEditor_ = makeEditor("ModifiedEditor", false);
  highlighter_ = new SpellingHighlighter(controller_, modifiedEditor_->document());
  modifiedEditor_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(modifiedEditor_, &QWidget::customContextMenuRequested, this,
          &RowEditors::showModEditorMenu);
  oldOriginalEditor_ = makeEditor("OldOriginalEditor", true);
  newOriginalEditor_ = makeEditor("NewOriginalEditor", true);
  // Scrolling keeps an edit: the editors move with their row, out of sight
  // and back, with what was typed.
  connect(&list_, &StringListView::scrolled, this, [this] {
    if (!scrollingItself_) followRow();
  });
  controller_.setEditedTextSource([this] { return editedText(); });
  // Tab and Shift+Tab go between the original's editor and the Mod's.
  controller_.setHandler(CommandId::toModEditor,
                         [this] { modifiedEditor_->setFocus(Qt::TabFocusReason); });
  controller_.setHandler(CommandId::toOriginalEditor,
                         [this] { newOriginalEditor_->setFocus(Qt::BacktabFocusReason); });
  controller_.addObserver(*this);
}

RowEditors::~RowEditors() {
  controller_.removeObserver(*this);
  controller_.setEditedTextSource({});
}

void RowEditors::windowChanged(WindowChanges changes) {
  if ((changes & WindowChange::editing) != 0) {
    const int row = controller_.session().editRow();
    if (row != shownRow_) {
      if (shownRow_ >= 0) close();
      if (row >= 0) openOn(row);
    }
  }
  // Another dictionary, or words it now knows: the underlines follow.
  if ((changes & WindowChange::controls) != 0 && shown() &&
      controller_.speller() != spellerShown_) {
    spellerShown_ = controller_.speller();
    highlighter_->rehighlight();
  }
  if ((changes & WindowChange::editorText) != 0 && shown()) {
    if (const std::optional<std::u16string> text = controller_.editorTextRequest()) showText(*text);
  }
}

QPlainTextEdit* RowEditors::makeEditor(const char* name, bool readOnly) {
  auto* editor = new QPlainTextEdit(list_.viewport());
  editor->setObjectName(QString::fromLatin1(name));
  editor->setReadOnly(readOnly);
  if (readOnly)
    editor->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  editor->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  editor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // A thin flat border instead of a sunken edge.
  editor->setFrameStyle(QFrame::Box | QFrame::Plain);
  editor->setLineWidth(kFrame);
  editor->document()->setDocumentMargin(kMargin);
  editor->setTabChangesFocus(false);
  editor->setFont(list_.font());
  editor->installEventFilter(this);
  editor->hide();
  return editor;
}

bool RowEditors::eventFilter(QObject* watched, QEvent* event) {
  // Ctrl+Enter breaks the line, as in a plain text box; Enter alone commits.
  // Shift+Enter breaks it the same way instead of inserting a line
  // separator, which is a character of its own in a stored text.
  if (watched == modifiedEditor_ && event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
        (key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != Qt::NoModifier) {
      modifiedEditor_->textCursor().insertBlock();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void RowEditors::showModEditorMenu(const QPoint& position) {
  const std::unique_ptr<QMenu> menu(modifiedEditor_->createStandardContextMenu(position));
  menu->setObjectName(QStringLiteral("ModEditorMenu"));
  QAction* first = menu->actions().value(0);
  const QTextCursor at = modifiedEditor_->cursorForPosition(position);
  const QTextBlock block = at.block();
  const std::u16string paragraph = toU16String(block.text());
  const auto offset = static_cast<std::size_t>(at.positionInBlock());
  const SpellChecker* speller = controller_.speller();
  for (const TextWord word : controller_.misspeltWords(paragraph)) {
    if (speller == nullptr || offset < word.start || offset > word.start + word.length) continue;
    const std::u16string text = paragraph.substr(word.start, word.length);
    // Suggestions are looked for now, never while typing.
    const std::vector<std::u16string> suggestions = speller->suggestions(text);
    for (const std::u16string& suggestion : suggestions) {
      auto* action = new QAction(toQString(suggestion), menu.get());
      action->setObjectName(QStringLiteral("SpellingSuggestion"));
      const int start = block.position() + static_cast<int>(word.start);
      const int length = static_cast<int>(word.length);
      connect(action, &QAction::triggered, this, [this, start, length, suggestion] {
        QTextCursor cursor(modifiedEditor_->document());
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        cursor.insertText(toQString(suggestion));
      });
      menu->insertAction(first, action);
    }
    if (suggestions.empty()) {
      auto* none = new QAction(QStringLiteral("No suggestions"), menu.get());
      none->setEnabled(false);
      menu->insertAction(first, none);
    }
    auto* add = new QAction(QStringLiteral("Add to dictionary"), menu.get());
    add->setObjectName(QStringLiteral("AddToDictionary"));
    connect(add, &QAction::triggered, this, [this, text] {
      controller_.addToDictionary(text);
      highlighter_->rehighlight();
    });
    auto* ignore = new QAction(QStringLiteral("Ignore"), menu.get());
    ignore->setObjectName(QStringLiteral("IgnoreWord"));
    connect(ignore, &QAction::triggered, this, [this, text] {
      controller_.ignoreWord(text);
      highlighter_->rehighlight();
    });
    menu->insertAction(first, add);
    menu->insertAction(first, ignore);
    menu->insertSeparator(first);
    break;
  }
  menu->addSeparator();
  auto* check = menu->addAction(QStringLiteral("Check spelling"));
  check->setObjectName(QStringLiteral("CheckSpelling"));
  check->setCheckable(true);
  check->setChecked(controller_.spellingOn());
  connect(check, &QAction::toggled, this, [this](bool on) {
    controller_.setSpellingOn(on);
    highlighter_->rehighlight();
  });
  menu->exec(modifiedEditor_->mapToGlobal(position));
}

bool RowEditors::isEditor(const QObject* object) const {
  for (const QObject* at = object; at != nullptr; at = at->parent()) {
    if (at == modifiedEditor_ || at == oldOriginalEditor_ || at == newOriginalEditor_) return true;
  }
  return false;
}

void RowEditors::setEditorFont(const QFont& font) {
  for (QPlainTextEdit* editor : {modifiedEditor_, oldOriginalEditor_, newOriginalEditor_}) {
    editor->setFont(font);
  }
}

void RowEditors::showModText(std::u16string_view text) {
  givenText_ = storedForm(text);
  modifiedEditor_->setPlainText(toQString(givenText_));
  shownText_ = modifiedEditor_->document()->toRawText();
}

std::u16string RowEditors::editedText() const {
  const QString raw = modifiedEditor_->document()->toRawText();
  if (raw == shownText_) return givenText_;
  // Each code unit of the given text is one unit of the document, so what
  // lies before and after the typed part is taken from the given text
  // unchanged: characters the document would render as line breaks (line
  // and paragraph separators in the text) keep their identity there.
  if (static_cast<std::size_t>(shownText_.size()) != givenText_.size()) {
    return storedFromDocument(raw);
  }
  const qsizetype limit = std::min(raw.size(), shownText_.size());
  qsizetype prefix = 0;
  while (prefix < limit && raw[prefix] == shownText_[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < limit - prefix &&
         raw[raw.size() - 1 - suffix] == shownText_[shownText_.size() - 1 - suffix]) {
    ++suffix;
  }
  const auto given = std::u16string_view(givenText_);
  std::u16string text(given.substr(0, static_cast<std::size_t>(prefix)));
  text += storedFromDocument(QStringView(raw).sliced(prefix, raw.size() - prefix - suffix));
  text += given.substr(given.size() - static_cast<std::size_t>(suffix));
  return text;
}

int RowEditors::fittingHeight(const QPlainTextEdit& editor) const {
  const int textWidth = editor.width() - 2 * kFrame - 2 * kMargin;
  const qreal text = wrappedTextHeight(editor.toPlainText(), editor.font(), textWidth);
  // The editor shows its last line only when one more pixel is free below
  // the bottom margin.
  return std::min(static_cast<int>(std::ceil(text)) + 2 * kFrame + 2 * kMargin + 1,
                  list_.viewport()->height());
}

void RowEditors::openOn(int row) {
  shownRow_ = row;
  const Session& session = controller_.session();
  const bool modUpdate = session.mode() == SessionMode::modUpdate;
  // A row scrolled out of sight (F2 on the selection) is brought back first.
  scrollingItself_ = true;
  list_.scrollTo(list_.indexOfRow(row));
  scrollingItself_ = false;
  const QRect rowRect = list_.visualRect(list_.indexOfRow(row));
  const int top = rowRect.top() - 2;
  int x = list_.columnViewportPosition(0) + list_.columnWidth(0) - 1;
  auto place = [&](QPlainTextEdit* editor, int column, std::u16string_view text) {
    editor->setPlainText(toQString(storedForm(text)));
    editor->setGeometry(x, top, list_.columnWidth(column) - 1, editor->height());
    editor->resize(editor->width(), fittingHeight(*editor));
    editor->show();
    editor->raise();
    x += list_.columnWidth(column);
  };
  if (modUpdate) place(oldOriginalEditor_, 1, session.rowOldOriginalText(row));
  place(newOriginalEditor_, modUpdate ? 2 : 1, session.rowOriginalText(row));
  showModText(session.rowModText(row));
  // A plural form the Mod's language doesn't have takes no text.
  modifiedEditor_->setReadOnly(!session.rowModEditable(row));
  modifiedEditor_->move(x, top);
  fitEditors();
  modifiedEditor_->selectAll();
  connect(modifiedEditor_, &QPlainTextEdit::textChanged, this, &RowEditors::fitEditors,
          Qt::UniqueConnection);
  modifiedEditor_->show();
  modifiedEditor_->raise();
  modifiedEditor_->setFocus();
}

void RowEditors::fitEditors() {
  const int row = shownRow_;
  if (row < 0) return;
  emit modifiedCaptionChanged(modifiedCaptionText(editedText().size()));
  const SessionMode mode = controller_.session().mode();
  const int column = modColumn(mode);
  modifiedEditor_->resize(list_.columnWidth(column) - 1, modifiedEditor_->height());
  modifiedEditor_->resize(modifiedEditor_->width(), fittingHeight(*modifiedEditor_));

  std::vector<QPlainTextEdit*> shown = {newOriginalEditor_, modifiedEditor_};
  if (mode == SessionMode::modUpdate) shown.push_back(oldOriginalEditor_);
  int lowest = 0;
  for (const QPlainTextEdit* editor : shown)
    lowest = std::max(lowest, editor->geometry().bottom() + 1);
  const int clientHeight = list_.viewport()->height();
  const int below = lowest - clientHeight;
  if (below <= 0) return;

  // Scroll by whole rows until the editors fit, then line them up with the
  // row again; an editor taller than the list is moved up into it.
  scrollingItself_ = true;
  const int rowHeight = std::max(1, list_.rowHeight(list_.indexOfRow(row).row()));
  QScrollBar* scrollBar = list_.verticalScrollBar();
  scrollBar->setValue(scrollBar->value() + (below + rowHeight - 1) / rowHeight);
  scrollingItself_ = false;
  int top = list_.visualRect(list_.indexOfRow(row)).top() - 2;
  modifiedEditor_->move(modifiedEditor_->x(), top);
  const int overflow = modifiedEditor_->geometry().bottom() + 1 - clientHeight;
  if (overflow > 0) {
    top -= overflow;
    modifiedEditor_->move(modifiedEditor_->x(), top);
  }
  newOriginalEditor_->move(newOriginalEditor_->x(), top);
  oldOriginalEditor_->move(oldOriginalEditor_->x(), top);
}

void RowEditors::showText(const std::u16string& text) {
  if (modifiedEditor_->isReadOnly()) return;
  modifiedEditor_->setPlainText(toQString(text));
  modifiedEditor_->selectAll();
  modifiedEditor_->setFocus();
}

void RowEditors::followRow() {
  const int row = shownRow_;
  if (row < 0) return;
  const int top = list_.visualRect(list_.indexOfRow(row)).top() - 2;
  for (QPlainTextEdit* editor : {modifiedEditor_, oldOriginalEditor_, newOriginalEditor_}) {
    editor->move(editor->x(), top);
  }
}

void RowEditors::close() {
  disconnect(modifiedEditor_, &QPlainTextEdit::textChanged, this, &RowEditors::fitEditors);
  const int row = shownRow_;
  shownRow_ = -1;
  const bool editorHadFocus = modifiedEditor_->hasFocus() || newOriginalEditor_->hasFocus() ||
                              oldOriginalEditor_->hasFocus();
  for (QPlainTextEdit* editor : {modifiedEditor_, oldOriginalEditor_, newOriginalEditor_}) {
    editor->hide();
  }
  if (editorHadFocus) list_.setFocus();
  // The caption goes back to the length of the stored text when the typed
  // one is dropped.
  const Session& session = controller_.session();
  if (row < session.rowCount()) {
    emit modifiedCaptionChanged(modifiedCaptionText(session.rowModText(row).size()));
  }
}

}  // namespace sorvane
