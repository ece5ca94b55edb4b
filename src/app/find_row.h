#pragma once

#include <QFont>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sorvane {

// The list font (family and size) and the find box with its "->" button.
class FindRow : public QWidget {
  Q_OBJECT

 public:
  explicit FindRow(QWidget* parent);

  // The list font: the chosen family at the size typed or chosen (a size
  // of 0 or none is the desktop's size).
  QFont listFont(const QFont& base) const;
  // The settings' font name and size text; a name not offered chooses the
  // first family, none the desktop's font and size.
  QString fontName() const;
  QString fontSizeText() const;
  void setFont(const QString& name, const QString& sizeText);

  // What the last find came to: shown beside the box until the next one.
  enum class FindResult { none, found, notFound, wrapped };
  void showFindResult(FindResult result);

  QString findText() const;
  void setFindText(const QString& text);
  void focusFindBox();
  bool isFindBox(const QWidget* widget) const;

 signals:
  void listFontChanged();
  void findTextChanged();
  void findNextClicked();

 private:
  void fillFontNames();

  QComboBox* fontNameBox_;
  QComboBox* fontSizeBox_;
  QLineEdit* findEdit_;
  QPushButton* findNextButton_;
  QLabel* findStatus_;
};

}  // namespace sorvane
