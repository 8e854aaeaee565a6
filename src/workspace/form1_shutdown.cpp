// Every way out of the workspace releases the camera first. "Ending the
// program" (the program context's, ui::endProgram in the program) runs no
// further close handler.

#include <QCloseEvent>
#include <QMdiSubWindow>

#include "windows/windowregistry.h"
#include "workspace/form1.h"

void Form1::closeProgram() {
  webCam_.closeCaptureWindow();
  windows_.context().endProgram();
}

void Form1::closeWorkspace() {
  webCam_.closeCaptureWindow();
  unloadByCode(windows::UnloadMode::FormCode);
  windows_.context().endProgram();
}

void Form1::Form_QueryUnload(bool& /*cancel*/, windows::UnloadMode /*unloadMode*/) {
  webCam_.closeCaptureWindow();
}

void Form1::Form_Unload(bool& /*cancel*/) {
  webCam_.closeCaptureWindow();
}

bool Form1::queryUnload(windows::UnloadMode unloadMode) {
  bool cancel = false;
  Form_QueryUnload(cancel, unloadMode);
  return !cancel;
}

void Form1::unload() {
  bool cancel = false;
  Form_Unload(cancel);
  unloaded_ = !cancel;
}

void Form1::unloadByCode(windows::UnloadMode unloadMode) {
  if (unloaded_ || !queryUnload(unloadMode)) return;
  unload();
  if (!unloaded_) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    sub->hide();
  } else {
    hide();
  }
}

void Form1::closeEvent(QCloseEvent* event) {
  if (unloaded_) {
    event->accept();
    return;
  }
  if (!queryUnload(windows::UnloadMode::FormControlMenu)) {
    event->ignore();
    return;
  }
  unload();
  if (!unloaded_) {
    event->ignore();
    return;
  }
  event->accept();
  // The workspace is the program: closing it ends the program like "Kapat".
  windows_.context().endProgram();
}
