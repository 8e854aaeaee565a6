#pragma once
// Access to the capture drivers: list them, open the workspace capture window
// inside a host picture box with a live preview, and close it again. The
// workspace holds one modWebCam; the capture window it opens is its own.

#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/video/capturewindow.h"
#include "platform/video/deviceprovider.h"

class QListWidget;
class QWidget;

// Makes a capture window: a visible child of `host` at `geometry`, named
// `name`; nullptr when none can be made.
using CaptureWindowFactory = std::function<std::unique_ptr<video::CaptureWindow>(
    QWidget& host, const QString& name, const QRect& geometry)>;

class modWebCam {
 public:
  // `makeWindow` empty: the real capture widget over `cameras`.
  explicit modWebCam(std::shared_ptr<video::DeviceProvider> cameras,
                     CaptureWindowFactory makeWindow = {});
  ~modWebCam();
  modWebCam(const modWebCam&) = delete;
  modWebCam& operator=(const modWebCam&) = delete;

  // The names of the drivers in driver-number order, after clearing `list`.
  void listCaptureDrivers(QListWidget& list);
  // Creates the capture window in `host`, connects it to the driver and
  // starts the preview scaled to the host's inner area. A window that does
  // not connect is destroyed at once, silently. The host must outlive the
  // window (close it first).
  void openCaptureWindow(std::int32_t driverNumber, QWidget& host);
  // Disconnects and destroys the capture window; nothing to do without one.
  void closeCaptureWindow();

  // The capture window last opened while it is connected; nullptr otherwise.
  video::CaptureWindow* captureWindow() const { return window_.get(); }
  // The driver number of the last openCaptureWindow; 0 before any.
  std::int32_t captureDriverIndex() const { return captureDriverIndex_; }

 private:
  std::shared_ptr<video::DeviceProvider> cameras_;
  CaptureWindowFactory makeWindow_;
  std::unique_ptr<video::CaptureWindow> window_;
  std::int32_t captureDriverIndex_ = 0;
};
