#include "platform/ui/volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace ui {
namespace {

bool isPseudoFileSystem(const QByteArray& type) {
  static const QList<QByteArray> pseudo{
      "proc",       "sysfs",       "devtmpfs",   "devpts",      "tmpfs",
      "cgroup",     "cgroup2",     "pstore",     "debugfs",     "tracefs",
      "securityfs", "mqueue",      "hugetlbfs",  "configfs",    "bpf",
      "autofs",     "fusectl",     "efivarfs",   "squashfs",    "nsfs",
      "ramfs",      "binfmt_misc", "rpc_pipefs", "fuse.portal", "fuse.gvfsd-fuse"};
  return pseudo.contains(type);
}

bool isSystemArea(const QString& root) {
  static const QStringList areas{"/proc", "/sys", "/dev", "/run", "/snap", "/boot", "/var/lib"};
  if (root.startsWith(QLatin1String("/run/media/"))) return false;
  return std::any_of(areas.begin(), areas.end(), [&root](const QString& area) {
    return root == area || root.startsWith(area + QLatin1Char('/'));
  });
}

bool isUnder(const QString& path, const QString& root) {
  if (root == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
  return path == root || path.startsWith(root + QLatin1Char('/'));
}

}  // namespace

std::vector<Volume> mountedVolumes() {
  std::vector<Volume> volumes;
  for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
    const QString root = storage.rootPath();
    if (!storage.isValid() || !storage.isReady() || isPseudoFileSystem(storage.fileSystemType()) ||
        isSystemArea(root) || !QFileInfo(root).isDir()) {
      continue;
    }
    const bool known = std::any_of(volumes.begin(), volumes.end(),
                                   [&root](const Volume& v) { return v.rootPath == root; });
    if (!known) volumes.push_back({root, storage.name()});
  }
  if (volumeIndexFor(volumes, QStringLiteral("/")) < 0)
    volumes.push_back({QStringLiteral("/"), {}});
  std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
    return a.rootPath.compare(b.rootPath, Qt::CaseInsensitive) < 0;
  });
  return volumes;
}

int volumeIndexFor(std::span<const Volume> volumes, const QString& path) {
  if (!QDir::isAbsolutePath(path)) return -1;
  const QString clean = QDir::cleanPath(path);
  int best = -1;
  for (int i = 0; i < static_cast<int>(volumes.size()); ++i) {
    const QString& root = volumes[i].rootPath;
    if (isUnder(clean, root) && (best < 0 || root.size() > volumes[best].rootPath.size())) {
      best = i;
    }
  }
  return best;
}

QString volumeCaption(const Volume& volume) {
  if (volume.label.isEmpty()) return volume.rootPath;
  return QStringLiteral("%1 [%2]").arg(volume.rootPath, volume.label);
}

}  // namespace ui
