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
  const QString name = QLatin1Char('/') + QLatin1String(kCaptureFileName);
  const QString program = QCoreApplication::applicationDirPath();
  if (captureFolder(program, QString(), programFolderCheck()) == program) return program + name;
  const QString cache = programCacheFolder();
  if (!QDir().mkpath(cache)) qCDebug(lcWorkspace) << "cannot create the cache folder" << cache;
  return cache + name;
}

WritableCheck setProgramFolderCheck(WritableCheck check) {
  WritableCheck previous = std::move(programFolderCheck());
  programFolderCheck() = check ? std::move(check) : WritableCheck(folderIsWritable);
  return previous;
}

}  // namespace workspace
