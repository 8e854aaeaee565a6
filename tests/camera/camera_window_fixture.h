#pragma once
// Opening the camera window from the workspace's "gelismis" command in a
// test: the window is modal, so what the test does while it is open runs from
// a timer inside its event loop.

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

#include "camera/frmwebcam.h"
#include "camera/imagecontrol.h"
#include "workspace/workspace_fixture.h"

namespace testsupport {

// Runs `whileOpen` once the camera window is shown and showing frames; it is
// to close the window. Should that not come within the test's patience, or a
// check fail first, the window is closed here, so that the modal window never
// outlives the test.
inline void inCameraWindow(ProgramWindows& program,
                           const std::function<void(frmWebCam&)>& whileOpen) {
  bool ran = false;
  QTimer poll;
  QElapsedTimer waited;
  waited.start();
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const QPointer<frmWebCam> camera = program.registry.find<frmWebCam>();
    const bool ready = camera && camera->isVisible() && !camera->Image1->picture().isNull();
    if (!ready && waited.elapsed() < 5000) return;
    poll.stop();
    if (ready) {
      ran = true;
      whileOpen(*camera);
    }
    if (camera && camera->isVisible()) camera->close();
  });
  poll.start(10);
  program.form->toolYon_ButtonClick(QStringLiteral("gelismis"));
  QVERIFY(ran);
}

}  // namespace testsupport
