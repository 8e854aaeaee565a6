#pragma once
// Drives on Linux are the mounted volumes a user can save to; a path's drive is
// the volume that holds it (the one with the longest mount point above it).

#include <QString>
#include <span>
#include <vector>

namespace ui {

struct Volume {
  QString rootPath;  // mount point, e.g. "/" or "/media/okul/USB"
  QString label;     // may be empty
  bool operator==(const Volume&) const = default;
};

// The mounted volumes without the kernel's pseudo file systems, "/" first.
std::vector<Volume> mountedVolumes();

// Index of the volume holding the absolute `path`; -1 when none does or the path is relative.
int volumeIndexFor(std::span<const Volume> volumes, const QString& path);

// What the drive list shows for a volume: its mount point and, when it has one, its label.
QString volumeCaption(const Volume& volume);

}  // namespace ui
