#include "rules/capturefile.h"

namespace rules {

QString captureFolder(const ProgramFolders& folders, const WritableCheck& writable) {
  if (!folders.program.isEmpty() && writable && writable(folders.program)) return folders.program;
  return folders.cache;
}

QString captureFilePath(const QString& folder) {
  return folder + QLatin1Char('/') + QLatin1String(kCaptureFileName);
}

}  // namespace rules
