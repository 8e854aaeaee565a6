// Writing and reading whole files: durable and scratch replacement, what they
// refuse, what a failure at any step leaves behind (nothing but the old
// file), and reading only what is a regular file, never waiting on a pipe.
// Failures are injected through the file layer's system-call seam.

#include <fcntl.h>
#include <stdio.h>  // RENAME_EXCHANGE
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "platform/files/folder.h"
#include "platform/files/read_file.h"
#include "platform/files/replace.h"
#include "platform/files/syscalls.h"
#include "platform/files/temp_file.h"

namespace fs = std::filesystem;
using files::ReadFailure;

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kOld{'o', 'l', 'd'};
const Bytes kNew(5000, 0x5a);

void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

QStringList namesIn(const std::string& folder) {
  QStringList names;
  for (const auto& entry : fs::directory_iterator(folder))
    names << QString::fromStdString(entry.path().filename().string());
  names.sort();
  return names;
}

mode_t permissionsOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// State for the injected calls; function pointers cannot capture.
struct Injection {
  int failErrno = 0;
  int tempFd = -1;        // the temporary file's descriptor, once created
  std::size_t chunk = 0;  // >0: writes take at most this many bytes
  int eintrLeft = 0;      // so many calls fail with EINTR first
  std::vector<std::string>* trace = nullptr;
} g;

bool isTemp(const char* path) {
  return std::string_view(path).find(files::kTempPrefix) != std::string_view::npos;
}

int trackingOpen(const char* path, int flags, mode_t mode) {
  const int fd = files::realSyscalls().open(path, flags, mode);
  if (isTemp(path)) g.tempFd = fd;
  return fd;
}
int refusingCreation(const char* path, int flags, mode_t mode) {
  if (flags & O_CREAT) return errno = g.failErrno, -1;
  return files::realSyscalls().open(path, flags, mode);
}
ssize_t failingWrite(int fd, const void* data, size_t size) {
  if (fd == g.tempFd) return errno = g.failErrno, -1;
  return files::realSyscalls().write(fd, data, size);
}
ssize_t writeAcceptingNothing(int, const void*, size_t) {
  return 0;
}
int failingFchmod(int, mode_t) {
  return errno = g.failErrno, -1;
}
int failingFsync(int fd) {
  if (fd == g.tempFd) return errno = g.failErrno, -1;
  return files::realSyscalls().fsync(fd);
}
int failingClose(int fd) {
  const int rc = files::realSyscalls().close(fd);
  if (fd == g.tempFd) return errno = g.failErrno, -1;
  return rc;
}
int failingRename(const char*, const char*) {
  return errno = g.failErrno, -1;
}
int refusingAccess(const char*, int) {
  return errno = EACCES, -1;
}
ssize_t choppyWrite(int fd, const void* data, size_t size) {
  if (g.eintrLeft > 0) return --g.eintrLeft, errno = EINTR, -1;
  return files::realSyscalls().write(fd, data, std::min(size, g.chunk));
}
ssize_t choppyRead(int fd, void* data, size_t size) {
  if (g.eintrLeft > 0) return --g.eintrLeft, errno = EINTR, -1;
  return files::realSyscalls().read(fd, data, std::min(size, g.chunk));
}
int interruptedFsync(int fd) {
  if (g.eintrLeft > 0) return --g.eintrLeft, errno = EINTR, -1;
  return files::realSyscalls().fsync(fd);
}
ssize_t failingRead(int, void*, size_t) {
  return errno = EIO, -1;
}
// Reports a size smaller than the file's, as for a file that grows while read.
int understatingFstat(int fd, struct stat* st) {
  const int rc = files::realSyscalls().fstat(fd, st);
  if (rc == 0 && S_ISREG(st->st_mode)) st->st_size /= 3;
  return rc;
}
int exchangeUnsupported(const char* from, const char* to, unsigned flags) {
  if (flags & RENAME_EXCHANGE) return errno = EINVAL, -1;
  return files::realSyscalls().renameat2(from, to, flags);
}

int tracingOpen(const char* path, int flags, mode_t mode) {
  const int fd = files::realSyscalls().open(path, flags, mode);
  const std::string folder = fs::path(path).parent_path().filename().string();
  g.trace->push_back(isTemp(path) ? "create in " + folder
                                  : "open " + fs::path(path).filename().string());
  if (isTemp(path))
    g.tempFd = fd;
  else if (fd == g.tempFd)
    g.tempFd = -1;  // the number is reused once the file is closed
  return fd;
}
int tracingFchmod(int fd, mode_t mode) {
  g.trace->push_back("fchmod");
  return files::realSyscalls().fchmod(fd, mode);
}
ssize_t tracingWrite(int fd, const void* data, size_t size) {
  g.trace->push_back("write");
  return files::realSyscalls().write(fd, data, size);
}
int tracingFsync(int fd) {
  g.trace->push_back(fd == g.tempFd ? "fsync file" : "fsync folder");
  return files::realSyscalls().fsync(fd);
}
int tracingClose(int fd) {
  if (fd == g.tempFd) g.trace->push_back("close file");
  return files::realSyscalls().close(fd);
}
int tracingRename(const char* from, const char* to) {
  g.trace->push_back("rename to " + fs::path(to).filename().string());
  return files::realSyscalls().rename(from, to);
}
int tracingRenameat2(const char* from, const char* to, unsigned flags) {
  g.trace->push_back((flags & RENAME_EXCHANGE ? "exchange with " : "renameat2 to ") +
                     fs::path(to).filename().string());
  return files::realSyscalls().renameat2(from, to, flags);
}

bool makeSocket(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const bool fits = path.size() < sizeof address.sun_path;
  if (fits) std::memcpy(address.sun_path, path.c_str(), path.size());
  const bool bound = fits && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return bound;
}

// Runs `work`; false if it has not returned within a generous limit (it
// should return at once). A reader blocked on the FIFO at `fifo` is then
// set free by opening the other end, so the test ends either way.
template <class Work>
bool returnsWithoutWaiting(const std::string& fifo, Work work) {
  auto done = std::async(std::launch::async, work);
  if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready) return true;
  const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  done.wait();
  if (writer >= 0) ::close(writer);
  return false;
}

}  // namespace

Q_DECLARE_METATYPE(files::ReadFailure)

class FilesWriteTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    folder_ = dir_->path().toStdString();
    g = Injection{};
  }

  void durableReplacementLeavesTheOldFileOnAnyFailure_data();
  void durableReplacementLeavesTheOldFileOnAnyFailure();
  void durableReplacementStepsInOrder();
  void shortAndInterruptedCallsStillWriteEverything();
  void permissionsAreKeptOrGiven_data();
  void permissionsAreKeptOrGiven();
  void durableReplacementRefuses_data();
  void durableReplacementRefuses();
  void linkStaysAndItsFileIsReplaced_data();
  void linkStaysAndItsFileIsReplaced();
  void namesAsLongAsTheFileSystemTakes_data();
  void namesAsLongAsTheFileSystemTakes();
  void scratchReplacement_data();
  void scratchReplacement();
  void scratchReplacementFailsOnAFolder();
  void readingRefusesWhatIsNoFile_data();
  void readingRefusesWhatIsNoFile();
  void readingFailuresNameTheirCause();
  void readingCopesWithShortReadsAndGrowth();
  void staleTemporariesOfOneWriterAreRemoved();
  void foldersAreMadeWithTheirParents();

 private:
  std::string path(const std::string& name) const { return folder_ + "/" + name; }

  std::unique_ptr<QTemporaryDir> dir_;
  std::string folder_;
};

void FilesWriteTest::durableReplacementLeavesTheOldFileOnAnyFailure_data() {
  QTest::addColumn<QString>("step");
  QTest::addColumn<int>("err");
  QTest::addColumn<QString>("named");  // the step as the error names it
  for (const int err : {ENOSPC, EIO}) {
    const char* name = err == ENOSPC ? "ENOSPC" : "EIO";
    QTest::addRow("creating the new file fails with %s", name) << "create" << err << "create";
    QTest::addRow("writing fails with %s", name) << "write" << err << "write";
    QTest::addRow("flushing fails with %s", name) << "fsync" << err << "flush";
    QTest::addRow("closing fails with %s", name) << "close" << err << "close";
    QTest::addRow("renaming fails with %s", name) << "rename" << err << "rename";
  }
  QTest::newRow("a write that takes nothing is a full disk")
      << "write nothing" << ENOSPC << "write";
  QTest::newRow("keeping the permissions fails") << "fchmod" << EPERM << "permissions";
}

void FilesWriteTest::durableReplacementLeavesTheOldFileOnAnyFailure() {
  QFETCH(QString, step);
  QFETCH(int, err);
  QFETCH(QString, named);
  const std::string target = path("Resim001.jpg");
  writeBytes(target, kOld);
  files::ScopedSyscalls seam;
  g.failErrno = err;
  seam.table().open = &trackingOpen;
  if (step == "create") seam.table().open = &refusingCreation;
  if (step == "write") seam.table().write = &failingWrite;
  if (step == "write nothing") seam.table().write = &writeAcceptingNothing;
  if (step == "fchmod") seam.table().fchmod = &failingFchmod;
  if (step == "fsync") seam.table().fsync = &failingFsync;
  if (step == "close") seam.table().close = &failingClose;
  if (step == "rename") seam.table().rename = &failingRename;

  const auto written = files::replaceDurably(target, kNew);
  QVERIFY(!written);
  QCOMPARE(written.error().code, err);
  QVERIFY2(written.error().context.find(named.toStdString()) != std::string::npos,
           written.error().message().c_str());
  QVERIFY(readBytes(target) == kOld);
  QCOMPARE(namesIn(folder_), QStringList{"Resim001.jpg"});
}

// The new file is flushed before it takes the old one's place, and the
// folder after, so that a power cut leaves the old file or the new one.
void FilesWriteTest::durableReplacementStepsInOrder() {
  QVERIFY(QDir().mkpath(QString::fromStdString(path("photos"))));
  const std::string target = path("photos/Resim001.jpg");
  writeBytes(target, kOld);
  std::vector<std::string> trace;
  files::ScopedSyscalls seam;
  g.trace = &trace;
  seam.table().open = &tracingOpen;
  seam.table().fchmod = &tracingFchmod;
  seam.table().write = &tracingWrite;
  seam.table().fsync = &tracingFsync;
  seam.table().close = &tracingClose;
  seam.table().rename = &tracingRename;
  seam.table().renameat2 = &tracingRenameat2;
  QVERIFY(files::replaceDurably(target, kNew));
  const std::vector<std::string> expected{
      "create in photos",       "fchmod",      "write",       "fsync file", "close file",
      "rename to Resim001.jpg", "open photos", "fsync folder"};
  QCOMPARE(trace, expected);
  QVERIFY(readBytes(target) == kNew);
}

void FilesWriteTest::shortAndInterruptedCallsStillWriteEverything() {
  const std::string target = path("settings.reg");
  files::ScopedSyscalls seam;
  g.chunk = 7;
  g.eintrLeft = 3;
  seam.table().write = &choppyWrite;
  seam.table().fsync = &interruptedFsync;
  QVERIFY(files::replaceDurably(target, kNew));
  QVERIFY(readBytes(target) == kNew);
  QCOMPARE(namesIn(folder_), QStringList{"settings.reg"});
}

void FilesWriteTest::permissionsAreKeptOrGiven_data() {
  QTest::addColumn<bool>("oldFile");
  QTest::addColumn<int>("oldMode");
  QTest::addColumn<int>("newFileMode");
  QTest::addColumn<int>("expected");
  QTest::newRow("replaced file keeps its permissions") << true << 0640 << 0600 << 0640;
  QTest::newRow("replaced file open to all stays so") << true << 0666 << 0600 << 0666;
  QTest::newRow("new private file") << false << 0 << 0600 << 0600;
  QTest::newRow("new picture, less the umask") << false << 0 << 0666 << 0644;
}

void FilesWriteTest::permissionsAreKeptOrGiven() {
  QFETCH(bool, oldFile);
  QFETCH(int, oldMode);
  QFETCH(int, newFileMode);
  QFETCH(int, expected);
  const std::string target = path("Resim001.jpg");
  if (oldFile) {
    writeBytes(target, kOld);
    QCOMPARE(::chmod(target.c_str(), mode_t(oldMode)), 0);
  }
  const mode_t savedMask = ::umask(022);
  const auto written = files::replaceDurably(target, kNew, {mode_t(newFileMode)});
  ::umask(savedMask);
  QVERIFY(written);
  QCOMPARE(int(permissionsOf(target)), expected);
}

// Nothing that is not a regular file the user may write is replaced, and
// nothing is left beside what was there.
void FilesWriteTest::durableReplacementRefuses_data() {
  QTest::addColumn<QString>("thing");
  QTest::addColumn<int>("err");
  QTest::newRow("a path without a name") << "empty" << ENOENT;
  QTest::newRow("a folder") << "folder" << EISDIR;
  QTest::newRow("a named pipe") << "fifo" << EINVAL;
  QTest::newRow("a socket") << "socket" << EINVAL;
  QTest::newRow("a link to a device") << "device" << EINVAL;
  QTest::newRow("a file without write bits, also for root") << "read-only" << EACCES;
  QTest::newRow("a file access() refuses") << "access" << EACCES;
  QTest::newRow("a link that leads nowhere") << "dangling" << ENOENT;
  QTest::newRow("a link that loops") << "loop" << ELOOP;
  QTest::newRow("a folder that is not there") << "no folder" << ENOENT;
}

void FilesWriteTest::durableReplacementRefuses() {
  QFETCH(QString, thing);
  QFETCH(int, err);
  std::string target = path("Resim001.jpg");
  files::ScopedSyscalls seam;
  if (thing == "empty") target.clear();
  if (thing == "folder") QVERIFY(fs::create_directory(target));
  if (thing == "fifo") QCOMPARE(::mkfifo(target.c_str(), 0600), 0);
  if (thing == "socket") QVERIFY(makeSocket(target));
  if (thing == "device") fs::create_symlink("/dev/null", target);
  if (thing == "read-only" || thing == "access") writeBytes(target, kOld);
  if (thing == "read-only") QCOMPARE(::chmod(target.c_str(), 0444), 0);
  if (thing == "access") seam.table().access = &refusingAccess;
  if (thing == "dangling") fs::create_symlink(path("gone.jpg"), target);
  if (thing == "loop") {
    fs::create_symlink(path("other.jpg"), target);
    fs::create_symlink(target, path("other.jpg"));
  }
  if (thing == "no folder") target = path("gone/Resim001.jpg");
  const QStringList before = namesIn(folder_);

  files::Expected<void> written;
  QVERIFY(returnsWithoutWaiting(target, [&] { written = files::replaceDurably(target, kNew); }));
  QVERIFY(!written);
  QCOMPARE(written.error().code, err);
  QCOMPARE(namesIn(folder_), before);
  if (thing == "read-only" || thing == "access") QVERIFY(readBytes(target) == kOld);
  if (thing == "read-only") QCOMPARE(permissionsOf(target), mode_t(0444));
  if (thing == "dangling") QVERIFY(!fs::exists(path("gone.jpg")));
  if (!target.empty() && thing != "no folder")
    QCOMPARE(files::writableTarget(target).error().code, err);
}

void FilesWriteTest::linkStaysAndItsFileIsReplaced_data() {
  QTest::addColumn<QString>("linkTo");  // as written in the link
  QTest::addColumn<QString>("chain");   // a link in between, if any
  QTest::newRow("absolute link into another folder") << "ABS:dotfiles/photo.jpg"
                                                     << "";
  QTest::newRow("relative link into another folder") << "../dotfiles/photo.jpg"
                                                     << "";
  QTest::newRow("link to a link") << "ABS:dotfiles/current.jpg"
                                  << "dotfiles/photo.jpg";
}

void FilesWriteTest::linkStaysAndItsFileIsReplaced() {
  QFETCH(QString, linkTo);
  QFETCH(QString, chain);
  fs::create_directories(path("dotfiles"));
  fs::create_directories(path("photos"));
  const std::string file = path("dotfiles/photo.jpg");
  writeBytes(file, kOld);
  if (!chain.isEmpty()) fs::create_symlink(file, path("dotfiles/current.jpg"));
  std::string pointsTo = linkTo.toStdString();
  if (pointsTo.starts_with("ABS:")) pointsTo = path(pointsTo.substr(4));
  const std::string link = path("photos/photo.jpg");
  fs::create_symlink(pointsTo, link);

  QCOMPARE(files::writableTarget(link).ok(), true);
  QCOMPARE(fs::path(*files::writableTarget(link)), fs::canonical(file));
  QVERIFY(files::replaceDurably(link, kNew));
  QVERIFY(fs::is_symlink(link));
  QCOMPARE(fs::read_symlink(link).string(), pointsTo);
  QVERIFY(readBytes(file) == kNew);
  QCOMPARE(namesIn(path("photos")), QStringList{"photo.jpg"});
  QCOMPARE(namesIn(path("dotfiles")).size(), chain.isEmpty() ? 1 : 2);
}

// The temporary name does not grow with the target's: any name the file
// system takes can be written and replaced, both ways.
void FilesWriteTest::namesAsLongAsTheFileSystemTakes_data() {
  QTest::addColumn<int>("length");
  QTest::addColumn<bool>("scratch");
  QTest::addColumn<bool>("oldFile");
  for (const int length : {242, 255}) {
    for (const bool scratch : {false, true}) {
      QTest::addRow("%d bytes, %s, new", length, scratch ? "scratch" : "durable")
          << length << scratch << false;
      QTest::addRow("%d bytes, %s, replacing", length, scratch ? "scratch" : "durable")
          << length << scratch << true;
    }
  }
}

void FilesWriteTest::namesAsLongAsTheFileSystemTakes() {
  QFETCH(int, length);
  QFETCH(bool, scratch);
  QFETCH(bool, oldFile);
  const std::string target = path(std::string(std::size_t(length) - 4, 'r') + ".jpg");
  if (oldFile) writeBytes(target, kOld);
  const auto written =
      scratch ? files::replaceScratch(target, kNew) : files::replaceDurably(target, kNew);
  QVERIFY2(written, written ? "" : written.error().message().c_str());
  QVERIFY(readBytes(target) == kNew);
  QCOMPARE(namesIn(folder_).size(), 1);
}

// The scratch replacement trades places with an old file (one step, and no
// early write-back on ext4) and falls back to a rename where it cannot;
// either way the new bytes are in place, no flush is made and nothing is
// left over. Whatever is at the path is replaced itself.
void FilesWriteTest::scratchReplacement_data() {
  QTest::addColumn<QString>("old");
  QTest::addColumn<bool>("exchangeWorks");
  QTest::addColumn<QString>("how");  // the call that put the file in place
  QTest::newRow("old file: exchanged") << "file" << true << "exchange with Capture.jpg";
  QTest::newRow("old file, no exchange on this file system: renamed")
      << "file" << false << "rename to Capture.jpg";
  QTest::newRow("no old file: renamed") << "none" << true << "rename to Capture.jpg";
  QTest::newRow("read-only old file: exchanged")
      << "read-only" << true << "exchange with Capture.jpg";
  QTest::newRow("a link: replaced itself, its file kept")
      << "link" << true << "rename to Capture.jpg";
}

void FilesWriteTest::scratchReplacement() {
  QFETCH(QString, old);
  QFETCH(bool, exchangeWorks);
  QFETCH(QString, how);
  const std::string target = path("Capture.jpg");
  if (old == "file" || old == "read-only") writeBytes(target, kOld);
  if (old == "read-only") QCOMPARE(::chmod(target.c_str(), 0444), 0);
  if (old == "link") {
    writeBytes(path("elsewhere.bmp"), kOld);
    fs::create_symlink(path("elsewhere.bmp"), target);
  }
  std::vector<std::string> trace;
  files::ScopedSyscalls seam;
  g.trace = &trace;
  g.failErrno = EIO;
  seam.table().rename = &tracingRename;
  seam.table().renameat2 = &tracingRenameat2;
  if (!exchangeWorks) seam.table().renameat2 = &exchangeUnsupported;
  seam.table().fsync = [](int) { return errno = EIO, -1; };  // a scratch file is never flushed

  QVERIFY(files::replaceScratch(target, kNew));
  QVERIFY(readBytes(target) == kNew);
  QVERIFY(!fs::is_symlink(target));
  QCOMPARE(trace.back(), how.toStdString());
  if (old == "link") {
    QVERIFY(readBytes(path("elsewhere.bmp")) == kOld);
    QCOMPARE(namesIn(folder_), (QStringList{"Capture.jpg", "elsewhere.bmp"}));
  } else {
    QCOMPARE(namesIn(folder_), QStringList{"Capture.jpg"});
  }
}

void FilesWriteTest::scratchReplacementFailsOnAFolder() {
  const std::string target = path("Capture.jpg");
  QVERIFY(fs::create_directory(target));
  const auto written = files::replaceScratch(target, kNew);
  QVERIFY(!written);
  QVERIFY(fs::is_directory(target));
  QCOMPARE(namesIn(folder_), QStringList{"Capture.jpg"});
}

void FilesWriteTest::readingRefusesWhatIsNoFile_data() {
  QTest::addColumn<QString>("thing");
  QTest::addColumn<ReadFailure>("failure");
  QTest::newRow("nothing there") << "none" << ReadFailure::Missing;
  QTest::newRow("a folder that is not there") << "no folder" << ReadFailure::Missing;
  QTest::newRow("a path without a name") << "empty" << ReadFailure::Missing;
  QTest::newRow("a link that leads nowhere") << "dangling" << ReadFailure::Missing;
  QTest::newRow("a named pipe, never waited on") << "fifo" << ReadFailure::NotAFile;
  QTest::newRow("a socket") << "socket" << ReadFailure::NotAFile;
  QTest::newRow("an endless device") << "device" << ReadFailure::NotAFile;
  QTest::newRow("a folder") << "folder" << ReadFailure::NotAFile;
  QTest::newRow("a link that loops") << "loop" << ReadFailure::NotAFile;
  QTest::newRow("a file over the limit") << "large" << ReadFailure::TooLarge;
}

void FilesWriteTest::readingRefusesWhatIsNoFile() {
  QFETCH(QString, thing);
  QFETCH(ReadFailure, failure);
  std::string file = path("user.reg");
  if (thing == "no folder") file = path("gone/user.reg");
  if (thing == "empty") file.clear();
  if (thing == "dangling") fs::create_symlink(path("gone.reg"), file);
  if (thing == "fifo") QCOMPARE(::mkfifo(file.c_str(), 0600), 0);
  if (thing == "socket") QVERIFY(makeSocket(file));
  if (thing == "device") file = "/dev/zero";
  if (thing == "folder") fs::create_directory(file);
  if (thing == "loop") {
    fs::create_symlink(path("other.reg"), file);
    fs::create_symlink(file, path("other.reg"));
  }
  if (thing == "large") writeBytes(file, Bytes(101, 'x'));

  files::ReadResult<std::string> read = std::string();
  QVERIFY(returnsWithoutWaiting(file, [&] { read = files::readWholeFile(file, 100); }));
  QVERIFY(!read);
  QCOMPARE(read.error().failure, failure);
  QVERIFY(!read.error().cause.message().empty());
}

void FilesWriteTest::readingFailuresNameTheirCause() {
  const std::string file = path("user.reg");
  writeBytes(file, kOld);
  files::ScopedSyscalls seam;
  seam.table().read = &failingRead;
  auto read = files::readWholeFile(file, 100);
  QVERIFY(!read);
  QCOMPARE(read.error().failure, ReadFailure::SystemCall);
  QCOMPARE(read.error().cause.code, EIO);
  QCOMPARE(read.error().cause.context, "read " + file);

  seam.table().read = files::realSyscalls().read;
  seam.table().open = [](const char*, int, mode_t) { return errno = EACCES, -1; };
  read = files::readWholeFile(file, 100);
  QVERIFY(!read);
  QCOMPARE(read.error().failure, ReadFailure::SystemCall);
  QCOMPARE(read.error().cause.code, EACCES);
}

void FilesWriteTest::readingCopesWithShortReadsAndGrowth() {
  const std::string file = path("user.reg");
  Bytes content(3000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = std::uint8_t(i * 7);
  writeBytes(file, content);
  files::ScopedSyscalls seam;
  g.chunk = 13;
  g.eintrLeft = 2;
  seam.table().read = &choppyRead;
  auto read = files::readWholeFile(file, 4096);
  QVERIFY(read);
  QVERIFY(Bytes(read->begin(), read->end()) == content);
  // Grown since it was opened: read on.
  seam.table().read = files::realSyscalls().read;
  seam.table().fstat = &understatingFstat;
  read = files::readWholeFile(file, 4096);
  QVERIFY(read);
  QVERIFY(Bytes(read->begin(), read->end()) == content);
  // Grown past the limit while read: refused, not cut.
  read = files::readWholeFile(file, 2000);
  QVERIFY(!read);
  QCOMPARE(read.error().failure, ReadFailure::TooLarge);

  seam.table().fstat = files::realSyscalls().fstat;
  g.chunk = 13;
  seam.table().read = &choppyRead;
  auto opened = files::RegularFile::open(file, 4096);
  QVERIFY(opened);
  Bytes buffer(opened->size());
  const auto got = opened->read(buffer);
  QVERIFY(got);
  QCOMPARE(*got, buffer.size());
  QVERIFY(buffer == content);
}

void FilesWriteTest::staleTemporariesOfOneWriterAreRemoved() {
  for (const char* name : {".tandeo-settings-tmp-0123456789ab", ".tandeo-settings-tmp-x",
                           ".tandeo-tmp-0123456789ab", "user.reg", "notes.tmp-1"})
    writeBytes(path(name), kOld);
  QVERIFY(files::removeStaleTemporaries(folder_, ".tandeo-settings-tmp-"));
  QCOMPARE(namesIn(folder_), (QStringList{".tandeo-tmp-0123456789ab", "notes.tmp-1", "user.reg"}));
  QVERIFY(!files::removeStaleTemporaries(path("gone"), ".tandeo-settings-tmp-"));
}

void FilesWriteTest::foldersAreMadeWithTheirParents() {
  const mode_t savedMask = ::umask(022);
  const auto made = files::ensureFolder(path("cfg/Velmora/deeper"), 0700);
  ::umask(savedMask);
  QVERIFY(made);
  for (const char* level : {"cfg", "cfg/Velmora", "cfg/Velmora/deeper"}) {
    QVERIFY2(fs::is_directory(path(level)), level);
    QCOMPARE(permissionsOf(path(level)), mode_t(0700));
  }
  QVERIFY(files::ensureFolder(path("cfg/Velmora"), 0700));
  writeBytes(path("plain"), kOld);
  const auto blocked = files::ensureFolder(path("plain/Velmora"), 0700);
  QVERIFY(!blocked);
  QCOMPARE(blocked.error().code, ENOTDIR);

  QCOMPARE(files::parentFolder("/a/b/c.reg"), std::string("/a/b"));
  QCOMPARE(files::parentFolder("/c.reg"), std::string("/"));
  QCOMPARE(files::parentFolder("c.reg"), std::string("."));
  QCOMPARE(files::parentFolder("a//c.reg"), std::string("a"));
}

QTEST_APPLESS_MAIN(FilesWriteTest)
#include "tst_files_write.moc"
