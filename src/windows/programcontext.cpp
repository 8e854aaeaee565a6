#include "windows/programcontext.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace windows {

rules::ProgramFolders programFoldersOfThisRun() {
  return {QCoreApplication::applicationDirPath(),
          QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
              QStringLiteral("/Velmora")};
}

ProgramContext programContextOfThisRun(ui::Prompter& prompter) {
  return ProgramContext{
      .cameras = video::makeDeviceProviderFromEnvironment(),
      .prompter = &prompter,
      .settings = Module1::forUserProfile(),
      .endProgram = ui::endProgram,
      .folders = programFoldersOfThisRun(),
      .drives = ui::DriveAccess{},  // the mounted volumes, probed with a time limit
      .machineSettingsFile = TANDEO_MACHINE_SETTINGS_FILE,
      .programSearchPath =
          qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts),
  };
}

}  // namespace windows
