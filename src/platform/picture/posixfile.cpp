#include "platform/picture/posixfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace picture {

int PosixCloser::close(int fd) {
  return ::close(fd);
}

bool writeAll(int fd, const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data += n;
    left -= n;
  }
  return true;
}

namespace {

Error readFailure(Errc code, const QString& path, const QString& why) {
  return Error{code, path + QStringLiteral(": ") + why};
}

Error errnoFailure(const QString& path) {
  const Errc code = errno == ENOENT || errno == ENOTDIR ? Errc::FileNotFound : Errc::ReadFailed;
  return readFailure(code, path, QString::fromLocal8Bit(std::strerror(errno)));
}

enum class ReadEnd { Done, Failed, TooLarge };

// Reads to the end of the file, one byte past its reported size so that a
// short read is known to be the end; copes with a file still growing.
ReadEnd readToEnd(int fd, QByteArray& into, qint64 maxSize) {
  qsizetype used = 0;
  for (;;) {
    if (used > maxSize) return ReadEnd::TooLarge;
    if (used == into.size()) into.resize(into.size() * 2 + 1);
    const ssize_t n = ::read(fd, into.data() + used, static_cast<size_t>(into.size() - used));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadEnd::Failed;
    if (n == 0) break;
    used += n;
  }
  into.truncate(used);
  return ReadEnd::Done;
}

}  // namespace

Result<QByteArray> readWholeFile(const QString& path, qint64 maxSize) {
  // Not blocking on open keeps a named pipe put in a picture's place from
  // hanging the window; it is refused just below as no regular file.
  const PosixFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.valid()) return errnoFailure(path);
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return errnoFailure(path);
  if (!S_ISREG(status.st_mode))
    return readFailure(Errc::FileNotFound, path, QStringLiteral("not a regular file"));
  if (status.st_size > maxSize)
    return readFailure(Errc::InvalidData, path, QStringLiteral("too large for a picture"));
  QByteArray bytes(static_cast<qsizetype>(status.st_size) + 1, Qt::Uninitialized);
  switch (readToEnd(fd.get(), bytes, maxSize)) {
    case ReadEnd::Done:
      return bytes;
    case ReadEnd::Failed:
      return errnoFailure(path);
    case ReadEnd::TooLarge:
      break;
  }
  return readFailure(Errc::InvalidData, path, QStringLiteral("too large for a picture"));
}

}  // namespace picture
