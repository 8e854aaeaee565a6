#pragma once
// Access to the capture drivers: list them, open the workspace capture window
// inside a host picture box with a live preview, and close it again. The
// workspace holds one modWebCam; the capture window it opens is its own.

#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/cameraprofiles.h"
#include "platform/video/capturewindow.h"
#include "platform/video/deviceprovider.h"

class QListWidget;
class QWidget;

// Makes a capture window: a visible child of `host` at `geometry`, named
// `name`; nullptr when none can be made.
using CaptureWindowFactory = std::function<std::unique_ptr<video::CaptureWindow>(
    QWidget& host, const QString& name, const QRect& geometry)>;

// The real capture widgets over `cameras`: each opens its camera with the
// profile remembered for it and remembers the changes made in its dialogs
// (`profiles` null: neither), is named `name` and placed at `geometry` in its
// host. The workspace shows its window; the camera window keeps its own
// hidden and takes frames from it.
enum class CaptureWidgetShown { Visible, Hidden };
CaptureWindowFactory captureWidgets(std::shared_ptr<video::DeviceProvider> cameras,
                                    std::shared_ptr<video::CameraProfiles> profiles,
                                    CaptureWidgetShown shown);

class modWebCam {
 public:
  // `makeWindow` empty: the real capture widget over `cameras`, with the
  // camera profiles of `profiles`.
  explicit modWebCam(std::shared_ptr<video::DeviceProvider> cameras,
                     CaptureWindowFactory makeWindow = {},
                     std::shared_ptr<video::CameraProfiles> profiles = {});
  ~modWebCam();
  modWebCam(const modWebCam&) = delete;
  modWebCam& operator=(const modWebCam&) = delete;

  // The names of the drivers in driver-number order, after clearing `list`.
  void listCaptureDrivers(QListWidget& list);
  // After the cameras changed: lists them again when the list differs from
  // the one last made (names or cameras) and says whether it did. The driver
  // number of the open window follows its camera to its new place.
  bool relistCaptureDrivers(QListWidget& list);
  // The camera at a position of the list last made; empty beyond it.
  std::string listedIdentity(int position) const;
  // Where the list last made holds that camera; -1 when it holds it not.
  int listedPosition(const std::string& identity) const;
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
  void fill(QListWidget& list, std::vector<video::DriverInfo> drivers);

  std::shared_ptr<video::DeviceProvider> cameras_;
  CaptureWindowFactory makeWindow_;
  std::unique_ptr<video::CaptureWindow> window_;
  std::int32_t captureDriverIndex_ = 0;
  std::vector<video::DriverInfo> listed_;
  // The camera of captureDriverIndex_ when the window was opened.
  std::string openedIdentity_;
};
