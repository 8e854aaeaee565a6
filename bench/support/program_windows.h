#pragma once
// The real program's windows in a benchmark: shown as main() shows them, the
// workspace's live picture running before anything is timed.

#include <QCoreApplication>
#include <cstdio>

#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/video/capturewindow.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace bench {

// Defines and shows the program's windows over `registry`, then waits (a
// second at most) for the workspace's first live frame. Returns the
// workspace's capture window, or null, said on stderr, when no camera
// connected.
inline const video::CaptureWindow* showProgramWithLivePicture(windows::WindowRegistry& registry) {
  windows::defineProgramWindows(registry);
  registry.show<windows::frmMain>();
  const video::CaptureWindow* camera = registry.get<Form1>().webCam().captureWindow();
  if (!camera) {
    std::fprintf(stderr, "no capture window: is TANDEO_FAKE_CAMERAS set?\n");
    return nullptr;
  }
  for (int i = 0; i < 50 && camera->pixels().isNull(); ++i)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return camera;
}

}  // namespace bench
