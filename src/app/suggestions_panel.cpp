#include "app/suggestions_panel.h"

#include "app/command_buttons.h"
#include "app/elided_label.h"
#include "app/named_widget.h"
#include "app/qt_text.h"
#include "controller/translation_assistant.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace sorvane {

SuggestionsPanel::SuggestionsPanel(TranslationAssistant& assistant, CommandButtons& buttons,
                                   QWidget* parent)
    : QWidget(parent), assistant_(assistant) {
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(2);
  auto* header = new QHBoxLayout;
  header->addWidget(named<QLabel>("SuggestionsLabel", QStringLiteral("Suggestions:"), this));
  header->addStretch(1);
  for (QAbstractButton* button : buttons.makePart(CommandPart::memoryPanel, this)) {
    header->addWidget(button);
  }
  layout->addLayout(header);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i] = named<ElidedLabel>(("Suggestion" + std::to_string(i + 1)).c_str(), this);
    rows_[i]->setTextFormat(Qt::PlainText);
    rows_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    rows_[i]->installEventFilter(this);
    layout->addWidget(rows_[i]);
  }
  note_ = named<ElidedLabel>("SuggestionsNote", this);
  note_->setTextFormat(Qt::PlainText);
  note_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  note_->setStyleSheet(QStringLiteral("QLabel { color: #707070; }"));
  layout->addWidget(note_);
  layout->addStretch(1);
  // The same height whatever the row shows.
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  assistant_.setChangedHandler([this] { showSuggestions(); });
  showSuggestions();
}

void SuggestionsPanel::showSuggestions() {
  const std::vector<ShownSuggestion>& suggestions = assistant_.suggestions();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (i >= suggestions.size()) {
      rows_[i]->setFullText({});
      continue;
    }
    const ShownSuggestion& s = suggestions[i];
    QString text =
        QStringLiteral("Ctrl+%1  %2%  %3").arg(i + 1).arg(s.score).arg(toQString(s.target));
    if (!s.difference.empty()) text += QStringLiteral("  \u2190 ") + toQString(s.difference);
    text += QStringLiteral("  (") + toQString(s.origin) + QLatin1Char(')');
    rows_[i]->setFullText(text);
  }
  note_->setFullText(toQString(assistant_.note()));
  note_->setVisible(!assistant_.note().empty() || suggestions.empty());
}

bool SuggestionsPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      if (watched == rows_[i]) assistant_.useSuggestion(i);
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace sorvane
