#pragma once
// The program's frame and workspace as main() builds them, for tests: a
// fresh registry with the program's windows and the cameras the test hands
// it, the frame shown (its load rule opens the workspace), plus a recorder
// for ending the program. The camera helpers are in support/cameras.h.

#include <QMdiSubWindow>
#include <QTest>
#include <memory>

#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/ui/endprogram.h"
#include "platform/ui/keycodes.h"
#include "support/cameras.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace testsupport {

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
  explicit ProgramWindows(std::shared_ptr<video::DeviceProvider> cameras = fakeCameras("Kamera A"))
      : registry(windows::ProgramContext{std::move(cameras)}) {
    windows::defineProgramWindows(registry);
    frame = &registry.show<windows::frmMain>();
    form = &registry.get<Form1>();
  }
  QMdiSubWindow* workspaceWindow() const {
    return qobject_cast<QMdiSubWindow*>(form->parentWidget());
  }
  // The workspace capture window; nullptr when none is open.
  video::CaptureWindow* captureWindow() const { return form->webCam().captureWindow(); }

  windows::WindowRegistry registry;
  windows::frmMain* frame = nullptr;
  Form1* form = nullptr;
};

}  // namespace testsupport
