#include "windows/programcontext.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "capture/cameraprofilestore.h"

namespace windows {

rules::ProgramFolders programFoldersOfThisRun() {
  return {QCoreApplication::applicationDirPath(),
          QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
              QStringLiteral("/Velmora")};
}

ProgramContext programContextOfThisRun(ui::Prompter& prompter) {
  Module1 settings = Module1::forUserProfile();
  auto profiles = std::make_shared<CameraProfileStore>(settings);
  return ProgramContext{
      .cameras = video::makeDeviceProviderFromEnvironment(),
      .prompter = &prompter,
      .settings = std::move(settings),
      .endProgram = ui::endProgram,
      .folders = programFoldersOfThisRun(),
      .drives = ui::DriveAccess{},  // the mounted volumes, probed with a time limit
      .cameraProfiles = std::move(profiles),
      .machineSettingsFile = TANDEO_MACHINE_SETTINGS_FILE,
      .programSearchPath =
          qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts),
  };
}

}  // namespace windows
