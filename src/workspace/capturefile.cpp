#include "workspace/capturefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "workspace/workspacelog.h"

namespace workspace {
namespace {

bool folderIsWritable(const QString& folder) {
  const QFileInfo info(folder);
  return info.isDir() && info.isWritable();
}

WritableCheck& programFolderCheck() {
  static WritableCheck check = folderIsWritable;
  return check;
}

}  // namespace

QString captureFolder(const QString& programFolder, const QString& cacheFolder,
                      const WritableCheck& writable) {
  if (!programFolder.isEmpty() && writable && writable(programFolder)) return programFolder;
  return cacheFolder;
}

QString programCacheFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
         QStringLiteral("/Velmora");
}

QString captureFilePath() {
  const QString cache = programCacheFolder();
  const QString folder =
      captureFolder(QCoreApplication::applicationDirPath(), cache, programFolderCheck());
  if (folder == cache && !QDir().mkpath(cache)) {
    qCDebug(lcWorkspace) << "cannot create the cache folder" << cache;
  }
  return folder + QLatin1Char('/') + QLatin1String(kCaptureFileName);
}

WritableCheck setProgramFolderCheck(WritableCheck check) {
  WritableCheck previous = std::move(programFolderCheck());
  programFolderCheck() = check ? std::move(check) : WritableCheck(folderIsWritable);
  return previous;
}

}  // namespace workspace
