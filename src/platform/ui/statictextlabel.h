#pragma once
// A label whose one line of plain text is laid out once and then only drawn:
// QLabel shapes its text again on every paint, which for a notice painted
// while the program is busy (the photo's waiting notice) is most of its cost.
// Rich text, word wrap and pictures are left to QLabel.

#include <QFont>
#include <QLabel>
#include <QStaticText>

namespace ui {

class StaticTextLabel : public QLabel {
  Q_OBJECT

 public:
  explicit StaticTextLabel(const QString& text, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool isPlainLine() const;

  QStaticText laidOut_;
  QFont laidOutFont_;
};

}  // namespace ui
