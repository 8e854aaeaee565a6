#pragma once
// A combo box in the "simple" style of the original platform, one text line
// high: an editable text with a list behind it that is never shown. The list
// still holds entries and a current index for the code that keeps them; only
// code moves through it, never a stray wheel turn or arrow key.

#include <QComboBox>

namespace ui {

class SimpleComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit SimpleComboBox(QWidget* parent = nullptr);

  void showPopup() override {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void fillWithEditor();
};

}  // namespace ui
