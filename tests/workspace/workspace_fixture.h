#pragma once
// The program's frame and workspace as main() builds them, for tests: a
// fresh registry with the program's windows over a test's own program context
// (scripted prompts, the sandbox's settings store and folders, a recorder
// instead of ending the program), the frame shown (its load rule opens the
// workspace), plus a recorder for the capture-window calls.

#include <QCoreApplication>
#include <QList>
#include <QMdiSubWindow>
#include <QTest>
#include <cstdint>
#include <functional>
#include <memory>
#include <tuple>

#include "capture/modWebCam.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/ui/keycodes.h"
#include "platform/video/capwin.h"
#include "platform/video/deviceprovider.h"
#include "settings/Module1.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
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

// The settings store of a sandboxed profile, as the program's Module1 sees it.
inline Module1 settingsOf(const SandboxProfile& profile) {
  return Module1(profile.settingsFile().toStdString());
}

// The scripted answers, given as a real message box gives them: the box's
// own event loop lets pending events run before the user answers.
class ModalPrompts final : public ui::Prompter {
 public:
  explicit ModalPrompts(ScriptedPrompter& answers) : answers_(answers) {}

 private:
  ui::MsgBoxResult showMessage(const QString& text, ui::MsgBoxButtons buttons, ui::MsgBoxIcon icon,
                               const QString& title) override {
    QCoreApplication::processEvents();
    return answers_.MsgBox(text, buttons, icon, title);
  }
  QString askForText(const QString& prompt, const QString& title,
                     const QString& defaultText) override {
    QCoreApplication::processEvents();
    return answers_.InputBox(prompt, title, defaultText);
  }

  ScriptedPrompter& answers_;
};

class ProgramWindows {
  // First, so that they are there before any window can end the program.
  int endCalls_ = 0;

 public:
  // Runs each time the windows end the program, after it is counted: what a
  // test wants the ending to do besides (let pending events run, say).
  std::function<void()> whenEnding;

  // The program over `profile`'s settings store, program and cache folders.
  // `prompts` is usually a ScriptedPrompter, or a test's own wrapper of one.
  ProgramWindows(const SandboxProfile& profile, ui::Prompter& prompts)
      : ProgramWindows(prompts, settingsOf(profile),
                       {profile.programFolder(), profile.programCacheFolder()}) {}

  ProgramWindows(ui::Prompter& prompts, Module1 settings, rules::ProgramFolders folders)
      : registry(windows::ProgramContext{
            .cameras = video::currentDeviceProvider(),
            .prompter = &prompts,
            .settings = std::move(settings),
            .endProgram =
                [this] {
                  ++endCalls_;
                  if (whenEnding) whenEnding();
                },
            .folders = std::move(folders),
        }) {
    windows::defineProgramWindows(registry);
    frame = &registry.show<windows::frmMain>();
    form = &registry.get<Form1>();
  }

  QMdiSubWindow* workspaceWindow() const {
    return qobject_cast<QMdiSubWindow*>(form->parentWidget());
  }
  // How often the windows ended the program (which, here, goes on).
  int endCalls() const { return endCalls_; }

  windows::WindowRegistry registry;
  windows::frmMain* frame = nullptr;
  Form1* form = nullptr;
};

}  // namespace testsupport
