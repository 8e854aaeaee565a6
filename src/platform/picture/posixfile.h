#pragma once
// Plain POSIX file access for the picture files: Qt's file classes cost more
// than the work itself on the 230 KB temporary photo.

#include <QByteArray>
#include <QFile>
#include <QString>

#include "platform/base/unique_fd.h"
#include "platform/picture/result.h"

namespace picture {

struct PosixCloser {
  static int close(int fd);
};
using PosixFd = base::UniqueFd<PosixCloser>;

// Writes every byte, going on after short writes and interruptions; false
// with errno set on failure.
bool writeAll(int fd, const QByteArray& bytes);

// The whole content of a regular file of at most `maxSize` bytes.
// FileNotFound when there is no regular file at `path`, ReadFailed otherwise.
Result<QByteArray> readWholeFile(const QString& path, qint64 maxSize);

}  // namespace picture
