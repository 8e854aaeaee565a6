#pragma once
// The preview window "Resim": one picture box showing the framed part of the
// photo (or a saved photo picked in the browser). It places itself beside the
// workspace when it loads and passes every key on (keyDown), so that the
// function keys act as in the workspace; what it shows and its size are set by
// the windows that use it. It knows no other window: the program connects it
// to the workspace (mainwindow/programwindows.cpp).

#include <QWidget>
#include <cstdint>

#include "windows/mdichild.h"

namespace ui {
class PictureBox;
}

class frmOnizle : public QWidget, public windows::MdiChild {
  Q_OBJECT
 public:
  explicit frmOnizle(QWidget* parent = nullptr);

  // Beside `workspace` (the window whose right edge it meets), at the top of
  // the frame's client area.
  void yerlesim(const QWidget& workspace);
  void Form_Load(const QWidget& workspace);
  void Form_KeyDown(std::int16_t keyCode, std::int16_t shift);

  // The window's outer size in twips as the design sets it; Qt gets pixels,
  // and the picture inside keeps the whole of it (the frame's borders are added).
  void setSizeTwips(double width, double height);

  ui::PictureBox* Picture3 = nullptr;

 signals:
  // A key went down in the window, with the original platform's key code.
  void keyDown(std::int16_t keyCode);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
