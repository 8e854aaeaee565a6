#pragma once
// What the program does with a capture window: a child window that connects
// to a capture driver, shows its live picture and grabs frames from it.
// CaptureWidget (capturewidget.h) is the real one; tests put a recording one
// in its place to check the order of the steps.

#include <QImage>
#include <QSize>

class QWidget;

namespace video {

class CaptureWindow {
 public:
  virtual ~CaptureWindow() = default;

  // Connects to driver `number` of the window's provider; true when it is
  // connected (asking again for the driver it streams from is a yes).
  virtual bool connectDriver(int number) = 0;
  // Lets go of the driver; the window shows black. Harmless when not connected.
  virtual void disconnectDriver() = 0;
  // On: the picture is scaled to the window. Off: shown at the camera's size.
  virtual void setScale(bool on) = 0;
  // How often the live picture is renewed, in milliseconds.
  virtual void setPreviewRate(int milliseconds) = 0;
  virtual void setPreview(bool on) = 0;
  virtual void resizeTo(QSize size) = 0;
  // Freezes the newest frame in the window and ends the live preview; true
  // when the window then shows a frame.
  virtual bool grabFrame() = 0;
  // Puts the frame shown on the program's private clipboard; false when
  // there is none.
  virtual bool copyFrame() = 0;
  // The driver's format dialog (pixel format, size, frame rate) and source
  // dialog (brightness, contrast, exposure and the device's other controls),
  // modal; false when there is nothing to show (not connected).
  virtual bool showFormatDialog() = 0;
  virtual bool showSourceDialog() = 0;

  // Exactly the pixels the window paints, at its size.
  virtual QImage pixels() const = 0;
  // The widget on screen, a child of the window's host.
  virtual QWidget* widget() = 0;
};

}  // namespace video
