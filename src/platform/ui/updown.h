#pragma once
// An up-down control bound to a text box (its buddy): an arrow reads the
// whole number at the start of the buddy's text, steps it by the increment,
// keeps it within the range and writes it back as the buddy's text, so the
// buddy's own change rule runs. The control has no rule of its own.

#include <QWidget>
#include <optional>

class QLineEdit;
class QToolButton;

namespace ui {

class UpDown : public QWidget {
  Q_OBJECT
 public:
  explicit UpDown(QWidget* parent = nullptr);

  void setBuddy(QLineEdit* buddy) { buddy_ = buddy; }
  QLineEdit* buddy() const { return buddy_; }
  void setRange(int minimum, int maximum);
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  void setIncrement(int increment) { increment_ = increment; }
  int value() const { return value_; }

  // What one arrow click does: +1 up, -1 down.
  void stepBy(int steps);

  QSize sizeHint() const override;

 private:
  QToolButton* up_;
  QToolButton* down_;
  QLineEdit* buddy_ = nullptr;
  int minimum_ = 0;
  int maximum_ = 100;
  int increment_ = 1;
  int value_ = 0;
};

// The whole number at the start of `text` (blanks and a sign allowed before it);
// nothing when the text does not start with a digit.
std::optional<qint64> leadingWholeNumber(const QString& text);

}  // namespace ui
