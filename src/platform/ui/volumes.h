#pragma once
// Drives on Linux are the mounted volumes a user can save to; a path's drive is
// the volume that holds it (the one with the longest mount point above it).

#include <QString>
#include <chrono>
#include <functional>
#include <span>
#include <vector>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"

namespace ui {

struct Volume {
  QString rootPath;  // mount point, e.g. "/" or "/media/okul/USB"
  QString label;     // may be empty
  bool operator==(const Volume&) const = default;
};

// The mounted volumes a user can save to, from the kernel's mount table
// without touching any of them: "/" first, then the homes, removable media
// (/media, /run/media), network mounts, the rest; alphabetical within each.
std::vector<Volume> mountedVolumes();

// The same from a mount table's text (the format of /proc/self/mounts); a
// block device's label comes from `labelOf`, a network share's is its source.
std::vector<Volume> volumesFromMountTable(const QByteArray& table,
                                          const std::function<QString(const QString&)>& labelOf);

// Index of the volume holding the absolute `path`; -1 when none does or the path is relative.
int volumeIndexFor(std::span<const Volume> volumes, const QString& path);

// What the drive list shows for a volume: its mount point and, when it has one, its label.
QString volumeCaption(const Volume& volume);

// How long the window waits to learn whether a drive can be read.
inline constexpr std::chrono::milliseconds kProbeLimit{1000};

// Whether `folder` can be opened as a folder, learnt on a worker thread and
// waited for at most `limit`: a dead network mount or a reader that never
// answers gives ETIMEDOUT instead of holding the window. A worker that is
// still stuck then is left to finish on its own; nothing waits for it.
base::Expected<void, base::SystemError> probeFolder(const QString& folder,
                                                    std::chrono::milliseconds limit = kProbeLimit);
// The same with the opening handed in (0 or an errno), for tests of the limit.
base::Expected<void, base::SystemError> probeFolderWith(std::function<int()> open,
                                                        const QString& folder,
                                                        std::chrono::milliseconds limit);

using VolumeLister = std::function<std::vector<Volume>()>;
using FolderProbe = std::function<base::Expected<void, base::SystemError>(const QString& folder)>;

// What the window knows of the drives: which volumes there are and whether a
// folder on one can be read. The machine's by default; tests hand in their own.
struct DriveAccess {
  VolumeLister list = mountedVolumes;
  FolderProbe probe = [](const QString& folder) { return probeFolder(folder); };
};

}  // namespace ui
