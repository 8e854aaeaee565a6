#pragma once
// The program's frame and workspace as main() builds them, for tests: a
// fresh registry with the program's windows, the frame shown (its load rule
// opens the workspace), plus recorders for the capture-window calls and for
// ending the program.

#include <QList>
#include <QMdiSubWindow>
#include <QTest>
#include <cstdint>
#include <memory>
#include <tuple>

#include "capture/modWebCam.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/ui/endprogram.h"
#include "platform/ui/keycodes.h"
#include "platform/video/capwin.h"
#include "platform/video/deviceprovider.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace testsupport {

// Synthetic cameras with these names (comma-separated), for everything created from now on.
inline void useFakeCameras(const char* names) {
  qputenv("TANDEO_FAKE_CAMERAS", names);
  video::setDeviceProvider(nullptr);
}

// A machine with no capture device at all, whatever the test machine has.
inline void useNoCameras() {
  class NoDevices final : public video::DeviceProvider {
   public:
    std::vector<video::DriverInfo> drivers() override { return {}; }
    video::Expected<std::unique_ptr<video::CaptureDevice>> open(int) override {
      return video::Error{ENODEV, "no devices in this test"};
    }
  };
  video::setDeviceProvider(std::make_shared<NoDevices>());
}

class CaptureCalls {
 public:
  CaptureCalls() {
    video::setMessageObserver(
        [this](video::HWND window, std::uint32_t message, video::WPARAM w, video::LPARAM l) {
          calls_.append({window, message, w, l});
        });
  }
  ~CaptureCalls() { video::setMessageObserver({}); }
  CaptureCalls(const CaptureCalls&) = delete;
  CaptureCalls& operator=(const CaptureCalls&) = delete;

  int count(std::uint32_t message) const {
    int n = 0;
    for (const auto& call : calls_) n += std::get<1>(call) == message ? 1 : 0;
    return n;
  }
  bool destroyed(video::HWND window) const {
    for (const auto& call : calls_) {
      if (std::get<0>(call) == window && std::get<1>(call) == video::WM_DESTROY) return true;
    }
    return false;
  }
  void clear() { calls_.clear(); }

 private:
  QList<std::tuple<video::HWND, std::uint32_t, video::WPARAM, video::LPARAM>> calls_;
};

class EndRecorder {
 public:
  EndRecorder() : previous_(ui::setProgramEnder([this] { ++calls_; })) {}
  ~EndRecorder() { ui::setProgramEnder(std::move(previous_)); }
  EndRecorder(const EndRecorder&) = delete;
  EndRecorder& operator=(const EndRecorder&) = delete;
  int calls() const { return calls_; }

 private:
  int calls_ = 0;
  ui::ProgramEnder previous_;
};

class ProgramWindows {
 public:
  ProgramWindows() : registry(windows::ProgramContext{video::currentDeviceProvider()}) {
    windows::defineProgramWindows(registry);
    frame = &registry.show<windows::frmMain>();
    form = &registry.get<Form1>();
  }
  QMdiSubWindow* workspaceWindow() const {
    return qobject_cast<QMdiSubWindow*>(form->parentWidget());
  }

  windows::WindowRegistry registry;
  windows::frmMain* frame = nullptr;
  Form1* form = nullptr;
};

}  // namespace testsupport
