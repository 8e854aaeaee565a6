#pragma once
// The camera window "Velmora Aranel Gelişmiş Kamera": a live picture pulled
// one frame at a time on a timer from a hidden capture window on driver 0,
// through the program's private clipboard into Image1, with start and stop,
// the driver's format and source dialogs, a remembered refresh interval, and
// "Resim Al", which hands the picture shown over (pictureTaken) and closes.
// It knows no other window: the program connects pictureTaken to the
// workspace (mainwindow/programwindows.cpp), and the workspace shows it
// modally (showModal). Closing unloads it; the next use loads it afresh.

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "capture/modWebCam.h"
#include "windows/mdichild.h"

class QToolBar;
class QToolButton;

namespace ui {
class PictureBox;
}

namespace video {
class CaptureWindow;
}

namespace windows {
struct ProgramContext;
}

namespace camera {
class ImageControl;
}

class frmWebCam : public QWidget {
  Q_OBJECT
 public:
  // `makeWindow` empty: the real capture widget over the context's cameras.
  explicit frmWebCam(windows::ProgramContext& context, CaptureWindowFactory makeWindow = {},
                     QWidget* parent = nullptr);
  ~frmWebCam() override;

  void startCamera();
  void stopCamera();

  // Handlers of the window and its controls.
  void Form_Load();
  void Form_KeyDown(std::int16_t keyCode, std::int16_t shift);
  void Form_QueryUnload(bool& cancel, windows::UnloadMode unloadMode);
  void tmrMain_Timer();
  void toolYon_ButtonClick(const QString& key);
  void toolYon_ButtonMenuClick(const QString& key);

  // Centred on the screen, modal; returns once the window has been unloaded
  // (it is gone then).
  void showModal();

  // The capture window of the last start; nullptr before the first.
  video::CaptureWindow* captureWindow() const { return captureWindow_.get(); }

  // Controls, by their design names (also their objectName).
  QToolBar* toolYon = nullptr;
  ui::PictureBox* picOutput = nullptr;
  camera::ImageControl* Image1 = nullptr;
  QTimer* tmrMain = nullptr;

 signals:
  // "Resim Al": the picture Image1 shows, for the workspace's photo box.
  void pictureTaken(const QImage& picture);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createToolbar();
  void askRefreshRate();
  void placeImage();
  void unloadWindow();

  windows::ProgramContext& context_;
  CaptureWindowFactory makeWindow_;
  // The design's captureHwnd: hidden, a child of picOutput, replaced by each start.
  std::unique_ptr<video::CaptureWindow> captureWindow_;
};
