#include "platform/picture/scratchfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/picture/posixfile.h"

namespace picture {

namespace {

// The new file's name until it takes the target's place; removed when the
// writer gives up, or when it holds the old file after an exchange.
class TempBeside {
 public:
  explicit TempBeside(const QByteArray& target) : path_(target + ".XXXXXX") {
    fd_.reset(::mkostemp(path_.data(), O_CLOEXEC));
    if (!fd_.valid()) path_.clear();
  }
  ~TempBeside() {
    if (!path_.isEmpty()) ::unlink(path_.constData());
  }
  TempBeside(const TempBeside&) = delete;
  TempBeside& operator=(const TempBeside&) = delete;

  bool created() const { return !path_.isEmpty(); }
  PosixFd& fd() { return fd_; }
  const char* path() const { return path_.constData(); }
  void keep() { path_.clear(); }

 private:
  QByteArray path_;
  PosixFd fd_;
};

bool isRegularFile(const char* path) {
  struct stat status {};
  return ::lstat(path, &status) == 0 && S_ISREG(status.st_mode);
}

// A plain rename over an existing file makes ext4 start writing the new
// file's blocks at once (its guard for programs that never fsync), which
// costs more than the whole rest of taking a photo. Trading places with the
// old file is just as atomic and is spared that; the old file then sits at
// the temporary name and goes with it.
bool moveIntoPlace(TempBeside& temp, const char* target) {
  if (isRegularFile(target)) {
    if (::renameat2(AT_FDCWD, temp.path(), AT_FDCWD, target, RENAME_EXCHANGE) == 0) {
      if (isRegularFile(temp.path())) return true;
      // Something other than a file took the target's name meanwhile: put it
      // back rather than delete it.
      ::renameat2(AT_FDCWD, temp.path(), AT_FDCWD, target, RENAME_EXCHANGE);
      errno = EISDIR;
      return false;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOENT) return false;
  }
  if (::rename(temp.path(), target) != 0) return false;
  temp.keep();
  return true;
}

Error writeFailure(const QString& path) {
  return Error{Errc::WriteFailed,
               path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno))};
}

}  // namespace

Result<void> replaceScratchFile(const QByteArray& bytes, const QString& path) {
  const QByteArray target = QFile::encodeName(path);
  TempBeside temp(target);
  if (!temp.created()) return writeFailure(path);
  if (!writeAll(temp.fd().get(), bytes) || temp.fd().closeNow() != 0) return writeFailure(path);
  if (!moveIntoPlace(temp, target.constData())) return writeFailure(path);
  return {};
}

}  // namespace picture
