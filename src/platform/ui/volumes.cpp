#include "platform/ui/volumes.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/base/unique_fd.h"

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

bool isNetworkFileSystem(const QByteArray& type) {
  static const QList<QByteArray> network{"nfs",   "nfs4",        "cifs",          "smb3",
                                         "smbfs", "ncpfs",       "afs",           "ceph",
                                         "9p",    "glusterfs",   "fuse.sshfs",    "fuse.davfs",
                                         "davfs", "fuse.rclone", "fuse.glusterfs"};
  return network.contains(type);
}

bool isUnder(const QString& path, const QString& root) {
  if (root == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
  return path == root || path.startsWith(root + QLatin1Char('/'));
}

// Where a volume goes in the list: the system, the homes, removable media,
// network mounts, then the rest.
int listRank(const QString& root, const QByteArray& type) {
  if (root == QLatin1String("/")) return 0;
  if (isUnder(root, QStringLiteral("/home"))) return 1;
  if (isUnder(root, QStringLiteral("/media")) || isUnder(root, QStringLiteral("/run/media")))
    return 2;
  if (isNetworkFileSystem(type)) return 3;
  return 4;
}

// The mount table writes blanks, tabs, newlines and backslashes as \ooo.
QByteArray unescapeOctal(const QByteArray& field) {
  QByteArray out;
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      bool ok = false;
      const int code = field.mid(i + 1, 3).toInt(&ok, 8);
      if (ok) {
        out += static_cast<char>(code);
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

// /dev/disk/by-label names write unsafe bytes as \xNN.
QString unescapeHex(const QString& name) {
  QByteArray bytes = name.toUtf8();
  QByteArray out;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    bool ok = false;
    if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x') {
      const int code = bytes.mid(i + 2, 2).toInt(&ok, 16);
      if (ok) {
        out += static_cast<char>(code);
        i += 3;
        continue;
      }
    }
    out += bytes[i];
  }
  return QString::fromUtf8(out);
}

// The label of a block device, from the links udev keeps in /dev/disk/by-label.
QString labelOfDevice(const QString& device) {
  if (!device.startsWith(QLatin1String("/dev/"))) return {};
  const QString target = QFileInfo(device).canonicalFilePath();
  const QDir labels(QStringLiteral("/dev/disk/by-label"));
  for (const QFileInfo& link : labels.entryInfoList(QDir::System | QDir::Files)) {
    if (!target.isEmpty() && link.canonicalFilePath() == target)
      return unescapeHex(link.fileName());
  }
  return {};
}

struct PosixCloser {
  static int close(int fd) { return ::close(fd); }
};

// What a probe's worker and the waiting window share; the worker may outlive the wait.
struct ProbeResult {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  int error = 0;
};

}  // namespace

base::Expected<void, base::SystemError> probeFolderWith(std::function<int()> open,
                                                        const QString& folder,
                                                        std::chrono::milliseconds limit) {
  auto result = std::make_shared<ProbeResult>();
  std::thread([result, open = std::move(open)] {
    const int error = open();
    {
      const std::lock_guard lock(result->mutex);
      result->error = error;
      result->finished = true;
    }
    result->done.notify_one();
  }).detach();
  const std::string name = QFile::encodeName(folder).toStdString();
  std::unique_lock lock(result->mutex);
  if (!result->done.wait_for(lock, limit, [&result] { return result->finished; })) {
    return base::SystemError{ETIMEDOUT, "open folder " + name};
  }
  if (result->error != 0) return base::SystemError{result->error, "open folder " + name};
  return {};
}

base::Expected<void, base::SystemError> probeFolder(const QString& folder,
                                                    std::chrono::milliseconds limit) {
  const QByteArray name = QFile::encodeName(folder);
  return probeFolderWith(
      [name] {
        const base::UniqueFd<PosixCloser> fd(
            ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        return fd.get() < 0 ? errno : 0;
      },
      folder, limit);
}

std::vector<Volume> volumesFromMountTable(const QByteArray& table,
                                          const std::function<QString(const QString&)>& labelOf) {
  struct Entry {
    Volume volume;
    int rank;
  };
  std::vector<Entry> entries;
  for (const QByteArray& line : table.split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 3) continue;
    const QString device = QFile::decodeName(unescapeOctal(fields[0]));
    const QString root = QFile::decodeName(unescapeOctal(fields[1]));
    const QByteArray& type = fields[2];
    if (!root.startsWith(QLatin1Char('/')) || isPseudoFileSystem(type) || isSystemArea(root))
      continue;
    const bool known = std::any_of(entries.begin(), entries.end(),
                                   [&root](const Entry& e) { return e.volume.rootPath == root; });
    if (known) continue;
    // A network share is best known by where it comes from.
    QString label = isNetworkFileSystem(type) ? device : labelOf(device);
    entries.push_back({{root, std::move(label)}, listRank(root, type)});
  }
  if (std::none_of(entries.begin(), entries.end(),
                   [](const Entry& e) { return e.volume.rootPath == QLatin1String("/"); })) {
    entries.push_back({{QStringLiteral("/"), {}}, 0});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    return a.volume.rootPath.compare(b.volume.rootPath, Qt::CaseInsensitive) < 0;
  });
  std::vector<Volume> volumes;
  volumes.reserve(entries.size());
  for (Entry& entry : entries) volumes.push_back(std::move(entry.volume));
  return volumes;
}

std::vector<Volume> mountedVolumes() {
  // Read from the kernel's table alone: asking a mounted volume anything
  // (statfs, stat) could hang on a dead network mount, and this runs on the
  // window's thread. Whether a volume can be read is the probe's business.
  QFile table(QStringLiteral("/proc/self/mounts"));
  QByteArray text;
  if (table.open(QIODevice::ReadOnly)) text = table.readAll();
  return volumesFromMountTable(text, labelOfDevice);
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
