#pragma once
// The preview window "Resim": one picture box showing the framed part of the
// photo (or a saved photo picked in the browser). It places itself beside the
// workspace when it loads and passes every key on to the workspace; what it
// shows and its size are set by the windows that use it.

#include <QWidget>
#include <cstdint>

#include "windows/mdichild.h"

namespace ui {
class PictureBox;
}

namespace windows {
class WindowRegistry;
}

class frmOnizle : public QWidget, public windows::MdiChild {
  Q_OBJECT
 public:
  explicit frmOnizle(windows::WindowRegistry& windows, QWidget* parent = nullptr);

  void yerlesim();
  void Form_Load();
  void Form_KeyDown(std::int16_t keyCode, std::int16_t shift);

  // The window's outer size in twips as the design sets it; Qt gets pixels,
  // and the picture inside keeps the whole of it (the frame's borders are added).
  void setSizeTwips(double width, double height);

  ui::PictureBox* Picture3 = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  windows::WindowRegistry& windows_;
};
