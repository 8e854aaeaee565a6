#pragma once
// The program's frame and workspace as main() builds them, for tests: a
// fresh registry with the program's windows over a test's own program context
// (the cameras the test hands it, scripted prompts, the sandbox's settings
// store and folders, a recorder instead of ending the program), the frame
// shown (its load rule opens the workspace). The camera helpers are in
// support/cameras.h.

#include <QCoreApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <QTest>
#include <functional>
#include <memory>

#include "capture/cameraprofilestore.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/ui/keycodes.h"
#include "settings/Module1.h"
#include "support/cameras.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace testsupport {

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
  // The folder rules make folders current; the next test starts where this one did.
  QString startFolder_ = QDir::currentPath();

 public:
  // Runs each time the windows end the program, after it is counted: what a
  // test wants the ending to do besides (let pending events run, say).
  std::function<void()> whenEnding;

  // The program over `profile`'s settings store, program and cache folders.
  // `prompts` is usually a ScriptedPrompter, or a test's own wrapper of one.
  // `drives`: the machine's volumes unless a test hands in its own.
  // `faceFinder`: none, as in a program without one, unless a test hands in its own.
  ProgramWindows(const SandboxProfile& profile, ui::Prompter& prompts,
                 std::shared_ptr<video::DeviceProvider> cameras = fakeCameras("Kamera A"),
                 ui::DriveAccess drives = {},
                 std::shared_ptr<face::FaceFinder> faceFinder = nullptr)
      : ProgramWindows(prompts, settingsOf(profile),
                       {profile.programFolder(), profile.programCacheFolder()}, std::move(cameras),
                       std::move(drives), std::move(faceFinder)) {}

  ProgramWindows(ui::Prompter& prompts, Module1 settings, rules::ProgramFolders folders,
                 std::shared_ptr<video::DeviceProvider> cameras = fakeCameras("Kamera A"),
                 ui::DriveAccess drives = {},
                 std::shared_ptr<face::FaceFinder> faceFinder = nullptr)
      : registry(windows::ProgramContext{
            .cameras = std::move(cameras),
            .prompter = &prompts,
            .settings = settings,
            .endProgram =
                [this] {
                  ++endCalls_;
                  if (whenEnding) whenEnding();
                },
            .folders = std::move(folders),
            .drives = std::move(drives),
            .cameraProfiles = std::make_shared<CameraProfileStore>(std::move(settings)),
            .faceFinder = std::move(faceFinder),
        }) {
    windows::defineProgramWindows(registry);
    frame = &registry.show<windows::frmMain>();
    form = &registry.get<Form1>();
  }

  ~ProgramWindows() { QDir::setCurrent(startFolder_); }
  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

  QMdiSubWindow* workspaceWindow() const {
    return qobject_cast<QMdiSubWindow*>(form->parentWidget());
  }
  // The workspace capture window; nullptr when none is open.
  video::CaptureWindow* captureWindow() const { return form->webCam().captureWindow(); }
  // How often the windows ended the program (which, here, goes on).
  int endCalls() const { return endCalls_; }

  windows::WindowRegistry registry;
  windows::frmMain* frame = nullptr;
  Form1* form = nullptr;
};

}  // namespace testsupport
