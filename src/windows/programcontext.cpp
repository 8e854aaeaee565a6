#include "windows/programcontext.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace windows {

rules::ProgramFolders programFoldersOfThisRun() {
  return {QCoreApplication::applicationDirPath(),
          QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
              QStringLiteral("/Velmora")};
}

}  // namespace windows
