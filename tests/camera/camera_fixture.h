#pragma once
// The camera window over a test's own program context: a sandboxed settings
// store, scripted prompts, and either recording capture windows (to check the
// steps and hand in frames) or the real capture widget over synthetic cameras.

#include <QPointer>
#include <QTest>
#include <memory>

#include "camera/frmwebcam.h"
#include "settings/Module1.h"
#include "support/cameras.h"
#include "support/recording_capture_window.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "windows/programcontext.h"

namespace testsupport {

inline constexpr Module1::HKEY kUser = Module1::HKEY_CURRENT_USER;

class CameraWindow {
 public:
  // With `real` the window makes real capture widgets over `cameras`;
  // otherwise recording ones (`capture`).
  explicit CameraWindow(bool real = false,
                        std::shared_ptr<video::DeviceProvider> cameras = fakeCameras("Kamera A"))
      : context{.cameras = std::move(cameras),
                .prompter = &prompts,
                .settings = Module1(profile.settingsFile().toStdString()),
                .endProgram = [] {},
                .folders = {profile.programFolder(), profile.programCacheFolder()},
                .drives = {}},
        real_(real) {}
  ~CameraWindow() { delete window.data(); }
  CameraWindow(const CameraWindow&) = delete;
  CameraWindow& operator=(const CameraWindow&) = delete;

  // A new window, loaded as the registry loads it; the previous one must be gone.
  frmWebCam& open() {
    window = new frmWebCam(context, real_ ? CaptureWindowFactory{} : capture.factory());
    window->Form_Load();
    return *window;
  }

  std::int32_t storedRefresh() const {
    return context.settings.getDwordValue(kUser, Module1::mainKeyPath(), QStringLiteral("Refresh"));
  }
  void storeRefresh(std::int32_t value) {
    context.settings.saveDwordValue(kUser, Module1::mainKeyPath(), QStringLiteral("Refresh"),
                                    value);
  }

  SandboxProfile profile;
  ScriptedPrompter prompts;
  RecordingCaptureWindows capture;
  windows::ProgramContext context;
  QPointer<frmWebCam> window;

 private:
  bool real_ = false;
};

// A frame of one colour, for telling frames apart.
inline QImage solidFrame(int width, int height, QColor colour) {
  QImage frame(width, height, QImage::Format_RGB32);
  frame.fill(colour);
  return frame;
}

}  // namespace testsupport
