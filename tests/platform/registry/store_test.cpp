// The store against a real folder: what reads and writes do to the disk, and
// what a damaged file, a full disk or an unwritable folder leave behind.
// Failures are injected through the system-call seam.

#include "platform/registry/store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "platform/files/syscalls.h"

using registry::Errc;
using registry::Store;
using registry::Value;

namespace {

// State for the injected calls; function pointers cannot capture.
struct Injection {
  std::string pathPart;  // calls on paths containing this fail
  int failErrno = 0;
  int fdToFail = -1;  // descriptor whose write/fsync/close fails
  int maxChunk = 0;   // >0: writes accept at most this many bytes
  int eintrLeft = 0;  // first calls fail with EINTR
  std::vector<std::string>* trace = nullptr;
} g;

bool isTemp(const char* path) {
  return std::string_view(path).find(registry::kTempPrefix) != std::string_view::npos;
}

int openTrackingTemp(const char* path, int flags, mode_t mode) {
  const int fd = files::realSyscalls().open(path, flags, mode);
  if (fd >= 0 && isTemp(path)) g.fdToFail = fd;
  return fd;
}
ssize_t failingWrite(int fd, const void* buffer, size_t size) {
  if (fd == g.fdToFail) return errno = g.failErrno, -1;
  return files::realSyscalls().write(fd, buffer, size);
}
int failingFsync(int fd) {
  if (fd == g.fdToFail) return errno = g.failErrno, -1;
  return files::realSyscalls().fsync(fd);
}
int failingClose(int fd) {
  const int rc = files::realSyscalls().close(fd);
  if (fd == g.fdToFail) return errno = g.failErrno, -1;
  return rc;
}
int failingRename(const char*, const char*) {
  return errno = g.failErrno, -1;
}
int failingOpenOfPath(const char* path, int flags, mode_t mode) {
  if (std::strstr(path, g.pathPart.c_str())) return errno = g.failErrno, -1;
  return files::realSyscalls().open(path, flags, mode);
}
int refusingCreation(const char* path, int flags, mode_t mode) {
  if (flags & O_CREAT) return errno = EACCES, -1;
  return files::realSyscalls().open(path, flags, mode);
}
int refusingMkdir(const char*, mode_t) {
  return errno = EACCES, -1;
}
// Tests run as root, for whom permission bits decide nothing.
int readOnlyStore(const char* path, int mode) {
  if ((mode & W_OK) && std::string(path).ends_with("user.reg")) return errno = EACCES, -1;
  return files::realSyscalls().access(path, mode);
}
ssize_t choppyWrite(int fd, const void* buffer, size_t size) {
  if (g.eintrLeft > 0) return --g.eintrLeft, errno = EINTR, -1;
  return files::realSyscalls().write(fd, buffer, std::min<size_t>(size, g.maxChunk));
}
int interruptedFlock(int fd, int op) {
  if (g.eintrLeft > 0) return --g.eintrLeft, errno = EINTR, -1;
  return files::realSyscalls().flock(fd, op);
}

int tracingOpen(const char* path, int flags, mode_t mode) {
  const int fd = files::realSyscalls().open(path, flags, mode);
  const std::string p(path);
  if (p.ends_with(".lock")) g.trace->push_back("open lock");
  if (isTemp(path)) g.trace->push_back("open temp");
  return fd;
}
int tracingFlock(int fd, int op) {
  g.trace->push_back(op == LOCK_EX ? "lock" : op == LOCK_UN ? "unlock" : "flock?");
  return files::realSyscalls().flock(fd, op);
}
int tracingRename(const char* from, const char* to) {
  g.trace->push_back("rename");
  return files::realSyscalls().rename(from, to);
}
int tracingFsync(int fd) {
  g.trace->push_back("fsync");
  return files::realSyscalls().fsync(fd);
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

ino_t inode(const QString& path) {
  struct stat st {};
  return ::stat(path.toLocal8Bit().constData(), &st) == 0 ? st.st_ino : 0;
}

const QString kTemporaries =
    QString::fromLatin1(registry::kTempPrefix.data(), qsizetype(registry::kTempPrefix.size()));

QStringList leftovers(const QString& dir) {
  return QDir(dir).entryList({kTemporaries + '*'}, QDir::Files | QDir::Hidden);
}

// Runs `work` and fails if it has not returned within a generous limit (it
// should return at once); a reader blocked on the FIFO at `fifo` is then set
// free by opening its other end, so the test ends either way.
bool returnsWithoutWaiting(const QString& fifo, const std::function<void()>& work) {
  auto done = std::async(std::launch::async, work);
  if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready) return true;
  const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
  done.wait();
  if (writer >= 0) ::close(writer);
  return false;
}

// A Unix socket bound at `path`; its name stays when the socket is closed.
bool makeSocket(const QString& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray name = QFile::encodeName(path);
  const bool fits = std::size_t(name.size()) < sizeof address.sun_path;
  if (fits) std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
  const bool bound = fits && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return bound;
}

mode_t permissionsOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// What is at `path` without following a link: "file", "link", "fifo", ...
QString kindOf(const QString& path) {
  struct stat st {};
  if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return "nothing";
  if (S_ISREG(st.st_mode)) return "file";
  if (S_ISLNK(st.st_mode)) return "link";
  if (S_ISFIFO(st.st_mode)) return "fifo";
  if (S_ISSOCK(st.st_mode)) return "socket";
  if (S_ISDIR(st.st_mode)) return "folder";
  return "other";
}

const QByteArray kSample =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_CURRENT_USER\\Velmora]\n\n"
    "[HKEY_CURRENT_USER\\Velmora\\Photo]\n"
    "\"Path\"=\"/home/x/Resimler\"\n"
    "\"En\"=dword:00000069\n";

}  // namespace

class StoreTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void readingAFreshProfileCreatesNothing();
  void createKeyMakesEveryLevelPrivately();
  void valuesRoundTrip_data();
  void valuesRoundTrip();
  void queryReportsTypeAndSize();
  void namesIgnoreCaseAndKeepFirstSpelling();
  void unchangedWritesLeaveTheFileAlone();
  void everyReadGoesToTheFile();
  void invalidNamesAreRefused();
  void otherContentSurvivesAWrite();
  void damagedFileReadsAsEmptyAndIsKeptAside_data();
  void damagedFileReadsAsEmptyAndIsKeptAside();
  void secondDamagedFileInTheSameSecondGetsItsOwnName();
  void unreadableFileIsNeverReplaced();
  void failedWriteKeepsTheOldFile_data();
  void failedWriteKeepsTheOldFile();
  void shortAndInterruptedCallsStillWriteEverything();
  void writeHoldsTheLockUntilTheFileIsInPlace();
  void strayTemporaryFilesAreRemovedAtTheNextWrite();
  void unwritableFolderDropsWritesAndReadsGoOn_data();
  void unwritableFolderDropsWritesAndReadsGoOn();
  void pathWithoutAFileReadsAsNoSettings_data();
  void pathWithoutAFileReadsAsNoSettings();
  void lockThatIsNoFileFailsWritesWithoutWaiting_data();
  void lockThatIsNoFileFailsWritesWithoutWaiting();
  void linkedFileIsWrittenThrough_data();
  void linkedFileIsWrittenThrough();
  void damagedLinkedFileIsKeptBesideItsTarget();

 private:
  QString file() const { return dir_->path() + "/cfg/Velmora/user.reg"; }
  QString folder() const { return dir_->path() + "/cfg/Velmora"; }
  Store store(registry::StoreOptions options = {}) const {
    return Store(file().toStdString(), "HKEY_CURRENT_USER", std::move(options));
  }

  std::unique_ptr<QTemporaryDir> dir_;
};

void StoreTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  g = Injection{};
}

void StoreTest::cleanup() {
  dir_.reset();
}

void StoreTest::readingAFreshProfileCreatesNothing() {
  Store s = store();
  QCOMPARE(s.openKey("Velmora\\Photo").error().code, Errc::NotFound);
  QCOMPARE(s.readValue({"HKEY_CURRENT_USER\\Velmora\\Photo"}, "En").error().code, Errc::NotFound);
  QVERIFY(!QFileInfo::exists(dir_->path() + "/cfg"));
}

void StoreTest::createKeyMakesEveryLevelPrivately() {
  Store s = store();
  QVERIFY(s.createKey("Velmora\\Photo\\Settings"));
  for (const char* level : {"Velmora", "Velmora\\Photo", "Velmora\\Photo\\Settings"}) {
    QVERIFY2(s.openKey(level), level);
  }
  QVERIFY(!s.openKey("Velmora\\Other"));
  QCOMPARE(readAll(file()), QByteArray("Windows Registry Editor Version 5.00\n\n"
                                       "[HKEY_CURRENT_USER\\Velmora]\n\n"
                                       "[HKEY_CURRENT_USER\\Velmora\\Photo]\n\n"
                                       "[HKEY_CURRENT_USER\\Velmora\\Photo\\Settings]\n"));
  struct stat st {};
  QCOMPARE(::stat(folder().toLocal8Bit(), &st), 0);
  QCOMPARE(st.st_mode & 0777, 0700u);
  QCOMPARE(::stat(file().toLocal8Bit(), &st), 0);
  QCOMPARE(st.st_mode & 0777, 0600u);
  QVERIFY(leftovers(folder()).isEmpty());
}

void StoreTest::valuesRoundTrip_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<uint>("type");

  QTest::newRow("text") << QByteArray("/home/x/Resimler") << uint(registry::REG_SZ);
  QTest::newRow("Turkish text") << QByteArray("ğüşıöçĞÜŞİÖÇ") << uint(registry::REG_SZ);
  QTest::newRow("empty text") << QByteArray() << uint(registry::REG_SZ);
  QTest::newRow("text with a zero and a line break")
      << QByteArray("a\0b\nc", 5) << uint(registry::REG_SZ);
  QTest::newRow("dword") << QByteArray("\xb8\x0b\0\0", 4) << uint(registry::REG_DWORD);
  QTest::newRow("qword") << QByteArray("\1\2\3\4\5\6\7\x08", 8) << uint(registry::REG_QWORD);
  QTest::newRow("long binary") << QByteArray(3000, '\xA5') << uint(registry::REG_BINARY);
}

void StoreTest::valuesRoundTrip() {
  QFETCH(QByteArray, bytes);
  QFETCH(uint, type);
  const Value value{type, registry::Bytes(bytes.begin(), bytes.end())};

  Store s = store();
  auto key = s.createKey("Velmora\\Photo");
  QVERIFY(key);
  QVERIFY(s.setValue(*key, "V", value));
  auto back = store().readValue(*key, "V");
  QVERIFY(back);
  QCOMPARE(back->type, value.type);
  QCOMPARE(QByteArray(reinterpret_cast<const char*>(back->data.data()), back->data.size()), bytes);
}

void StoreTest::queryReportsTypeAndSize() {
  writeFile(file(), kSample);
  Store s = store();
  auto key = s.openKey("Velmora\\Photo");
  QVERIFY(key);
  QCOMPARE(*s.queryInfo(*key, "Path"), (registry::ValueInfo{registry::REG_SZ, 16}));
  QCOMPARE(*s.queryInfo(*key, "En"), (registry::ValueInfo{registry::REG_DWORD, 4}));

  std::uint8_t small[15];
  QCOMPARE(s.queryInto(*key, "Path", small).error().code, Errc::MoreData);
  std::uint8_t exact[16];
  QCOMPARE(*s.queryInto(*key, "Path", exact), (registry::ValueInfo{registry::REG_SZ, 16}));
  QCOMPARE(QByteArray(reinterpret_cast<char*>(exact), 16), QByteArray("/home/x/Resimler"));
  QCOMPARE(s.queryInfo(*key, "Missing").error().code, Errc::NotFound);
}

void StoreTest::namesIgnoreCaseAndKeepFirstSpelling() {
  Store s = store();
  QVERIFY(s.createKey("Velmora\\Photo"));
  auto upper = s.createKey("VELMORA\\PHOTO");
  QVERIFY(upper);
  QVERIFY(s.setValue(*upper, "Path", Value::text("/a")));
  QVERIFY(s.setValue(*s.openKey("velmora\\photo"), "PATH", Value::text("/b")));
  QCOMPARE(s.readValue(*s.openKey("VeLmOrA\\pHoTo"), "pAtH")->bytesAsString(), std::string("/b"));
  const QByteArray text = readAll(file());
  QVERIFY(text.contains("[HKEY_CURRENT_USER\\Velmora\\Photo]\n\"Path\"=\"/b\"\n"));
  QVERIFY(!text.contains("PHOTO"));
  QVERIFY(!text.contains("PATH"));
}

void StoreTest::unchangedWritesLeaveTheFileAlone() {
  Store s = store();
  auto key = s.createKey("Velmora\\Photo");
  QVERIFY(s.setValue(*key, "En", Value::dword(105)));
  const ino_t before = inode(file());
  QVERIFY(s.createKey("Velmora\\Photo"));
  QVERIFY(s.setValue(*key, "En", Value::dword(105)));
  QCOMPARE(inode(file()), before);
  QVERIFY(s.setValue(*key, "En", Value::dword(106)));
  QVERIFY(inode(file()) != before);
}

void StoreTest::everyReadGoesToTheFile() {
  Store s = store();
  auto key = s.createKey("Velmora\\Photo");
  QVERIFY(s.setValue(*key, "En", Value::dword(1)));
  QCOMPARE(s.readValue(*key, "En")->asDword(), std::optional<std::int32_t>(1));
  QByteArray text = readAll(file());
  text.replace("dword:00000001", "dword:00000002");
  writeFile(file(), text);
  QCOMPARE(s.readValue(*key, "En")->asDword(), std::optional<std::int32_t>(2));
  QFile::remove(file());
  QCOMPARE(s.readValue(*key, "En").error().code, Errc::NotFound);
  QCOMPARE(s.openKey("Velmora\\Photo").error().code, Errc::NotFound);
}

void StoreTest::invalidNamesAreRefused() {
  Store s = store();
  QCOMPARE(s.createKey("\\Velmora").error().code, Errc::InvalidName);
  QCOMPARE(s.createKey("Velmora\\\\Photo").error().code, Errc::InvalidName);
  auto key = s.createKey("Velmora");
  QVERIFY(key);
  QCOMPARE(s.setValue(*key, "a\nb", Value::dword(1)).error().code, Errc::InvalidName);
  QCOMPARE(s.setValue(*key, std::string("a\0b", 3), Value::dword(1)).error().code,
           Errc::InvalidName);
  QVERIFY(!readAll(file()).contains("dword"));
}

void StoreTest::otherContentSurvivesAWrite() {
  const QByteArray foreign =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\X]\n"
      "\"Q\"=hex(b):01,00,00,00,00,00,00,00\n\n"
      "[HKEY_CURRENT_USER\\Velmora]\n"
      "\"Other\"=hex(7):61,00,00,00\n"
      "@=\"d\"\n";
  writeFile(file(), foreign);
  Store s = store();
  auto key = s.createKey("Velmora\\Photo");
  QVERIFY(key);
  QVERIFY(s.setValue(*key, "En", Value::dword(105)));
  QCOMPARE(readAll(file()), foreign +
                                "\n[HKEY_CURRENT_USER\\Velmora\\Photo]\n"
                                "\"En\"=dword:00000069\n");
}

void StoreTest::damagedFileReadsAsEmptyAndIsKeptAside_data() {
  QTest::addColumn<QByteArray>("damaged");
  QTest::addColumn<QString>("reason");

  QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0garbage", 17) << "line 1";
  QTest::newRow("cut off in a value") << kSample.left(kSample.size() - 12) << "line 7";
  QTest::newRow("larger than the limit") << kSample + "\"Pad\"=\"" + QByteArray(5000, 'x') + "\"\n"
                                         << "larger than";
}

void StoreTest::damagedFileReadsAsEmptyAndIsKeptAside() {
  QFETCH(QByteArray, damaged);
  QFETCH(QString, reason);
  writeFile(file(), damaged);

  QStringList reports;
  registry::StoreOptions options;
  options.maxFileSize = 4096;
  options.clock = [] { return std::time_t(1704164645); };  // 2024-01-02 03:04:05 UTC
  options.report = [&](const std::string& line) { reports << QString::fromStdString(line); };
  Store s = store(options);

  QCOMPARE(s.openKey("Velmora\\Photo").error().code, Errc::Corrupt);
  QCOMPARE(s.readValue({"HKEY_CURRENT_USER\\Velmora\\Photo"}, "En").error().code, Errc::Corrupt);
  QCOMPARE(readAll(file()), damaged);
  QVERIFY(reports.isEmpty());

  auto key = s.createKey("Velmora\\Photo");
  QVERIFY(key);
  QVERIFY(s.setValue(*key, "En", Value::dword(7)));
  const QString kept = file() + ".corrupt-20240102T030405Z";
  QCOMPARE(readAll(kept), damaged);
  QCOMPARE(reports.size(), 1);
  QVERIFY2(reports[0].contains(kept) && reports[0].contains(reason), qPrintable(reports[0]));
  QCOMPARE(s.readValue(*key, "En")->asDword(), std::optional<std::int32_t>(7));
  QCOMPARE(s.readValue(*key, "Path").error().code, Errc::NotFound);
}

void StoreTest::secondDamagedFileInTheSameSecondGetsItsOwnName() {
  registry::StoreOptions options;
  options.clock = [] { return std::time_t(0); };
  options.report = [](const std::string&) {};
  Store s = store(options);
  writeFile(file(), "first");
  QVERIFY(s.createKey("A"));
  writeFile(file(), "second");
  QVERIFY(s.createKey("A"));
  QCOMPARE(readAll(file() + ".corrupt-19700101T000000Z"), QByteArray("first"));
  QCOMPARE(readAll(file() + ".corrupt-19700101T000000Z-2"), QByteArray("second"));
}

// A file that exists but cannot be read must not be replaced by a new one
// that lacks everything it held.
void StoreTest::unreadableFileIsNeverReplaced() {
  writeFile(file(), kSample);
  files::ScopedSyscalls seam;
  g.pathPart = "user.reg";
  g.failErrno = EIO;
  seam.table().open = [](const char* path, int flags, mode_t mode) {
    const std::string p(path);
    if (p.ends_with("user.reg") && !(flags & O_CREAT)) return errno = EIO, -1;
    return files::realSyscalls().open(path, flags, mode);
  };
  Store s = store();
  QCOMPARE(s.createKey("Velmora\\New").error().cause.code, EIO);
  QCOMPARE(
      s.setValue({"HKEY_CURRENT_USER\\Velmora\\Photo"}, "En", Value::dword(1)).error().cause.code,
      EIO);
  QCOMPARE(readAll(file()), kSample);
  QVERIFY(leftovers(folder()).isEmpty());
}

void StoreTest::failedWriteKeepsTheOldFile_data() {
  QTest::addColumn<QString>("call");
  QTest::addColumn<int>("err");

  for (const char* call : {"write", "fsync", "close", "rename", "open"}) {
    for (int err : {ENOSPC, EIO}) {
      QTest::addRow("%s fails with %s", call, err == ENOSPC ? "ENOSPC" : "EIO") << call << err;
    }
  }
}

void StoreTest::failedWriteKeepsTheOldFile() {
  QFETCH(QString, call);
  QFETCH(int, err);
  writeFile(file(), kSample);
  const ino_t before = inode(file());

  files::ScopedSyscalls seam;
  g.failErrno = err;
  seam.table().open = &openTrackingTemp;
  if (call == "write") seam.table().write = &failingWrite;
  if (call == "fsync") seam.table().fsync = &failingFsync;
  if (call == "close") seam.table().close = &failingClose;
  if (call == "rename") seam.table().rename = &failingRename;
  if (call == "open") {
    g.pathPart = std::string(registry::kTempPrefix);
    seam.table().open = &failingOpenOfPath;
  }

  Store s = store();
  auto key = s.openKey("Velmora\\Photo");
  QVERIFY(key);
  auto result = s.setValue(*key, "En", Value::dword(1));
  QVERIFY(!result);
  QCOMPARE(result.error().code, Errc::Io);
  QCOMPARE(result.error().cause.code, err);
  QCOMPARE(readAll(file()), kSample);
  QCOMPARE(inode(file()), before);
  QCOMPARE(leftovers(folder()), QStringList());
  QCOMPARE(s.readValue(*key, "En")->asDword(), std::optional<std::int32_t>(105));
}

void StoreTest::shortAndInterruptedCallsStillWriteEverything() {
  files::ScopedSyscalls seam;
  g.maxChunk = 7;
  g.eintrLeft = 3;
  seam.table().write = &choppyWrite;
  seam.table().flock = &interruptedFlock;
  Store s = store();
  auto key = s.createKey("Velmora\\Photo");
  QVERIFY(key);
  const std::string path(500, 'p');
  QVERIFY(s.setValue(*key, "Path", Value::text(path)));
  QCOMPARE(s.readValue(*key, "Path")->bytesAsString(), path);
}

void StoreTest::writeHoldsTheLockUntilTheFileIsInPlace() {
  Store s = store();
  auto key = s.createKey("Velmora");
  QVERIFY(key);
  std::vector<std::string> trace;
  files::ScopedSyscalls seam;
  g.trace = &trace;
  seam.table().open = &tracingOpen;
  seam.table().flock = &tracingFlock;
  seam.table().rename = &tracingRename;
  seam.table().fsync = &tracingFsync;
  QVERIFY(s.setValue(*key, "En", Value::dword(1)));
  const std::vector<std::string> expected{"open lock", "lock",  "open temp", "fsync",
                                          "rename",    "fsync", "unlock"};
  QCOMPARE(trace, expected);
}

void StoreTest::strayTemporaryFilesAreRemovedAtTheNextWrite() {
  writeFile(file(), kSample);
  writeFile(folder() + "/" + kTemporaries + "0123456789ab", "half a file");
  writeFile(folder() + "/" + kTemporaries + "z", "another");
  writeFile(folder() + "/.tandeo-tmp-0123456789ab", "a picture being written");
  writeFile(folder() + "/unrelated.tmp-1", "not ours");
  Store s = store();
  QVERIFY(s.openKey("Velmora\\Photo"));
  QCOMPARE(leftovers(folder()).size(), 2);
  QVERIFY(s.setValue(*s.openKey("Velmora\\Photo"), "En", Value::dword(1)));
  QCOMPARE(
      QDir(folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
      (QStringList{".tandeo-tmp-0123456789ab", "unrelated.tmp-1", "user.reg", "user.reg.lock"}));
}

void StoreTest::unwritableFolderDropsWritesAndReadsGoOn_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("folder under a regular file") << "file in the way";
  QTest::newRow("no file may be created") << "creation refused";
  QTest::newRow("no folder may be created") << "mkdir refused";
  QTest::newRow("settings file the user may not write") << "read-only file";
  // Root passes every access() check: the permission bits alone must decide.
  QTest::newRow("settings file without write bits, whoever runs the program") << "no write bits";
  QTest::newRow("linked settings file without write bits") << "linked, no write bits";
}

void StoreTest::unwritableFolderDropsWritesAndReadsGoOn() {
  QFETCH(QString, how);
  files::ScopedSyscalls seam;
  QString path = file();
  if (how == "file in the way") {
    writeFile(dir_->path() + "/plain", "a file");
    path = dir_->path() + "/plain/Velmora/user.reg";
    QVERIFY(Store(path.toStdString())
                .setValue({"HKEY_CURRENT_USER\\V"}, "A", Value::dword(1))
                .error()
                .cause.code == ENOTDIR);
    QCOMPARE(Store(path.toStdString()).openKey("V").error().code, Errc::NotFound);
    return;
  }
  if (how == "linked, no write bits") {
    writeFile(dir_->path() + "/dotfiles/settings.reg", kSample);
    QDir().mkpath(folder());
    QVERIFY(QFile::link(dir_->path() + "/dotfiles/settings.reg", file()));
    QVERIFY(QFile::setPermissions(file(), QFile::ReadOwner | QFile::ReadGroup));
  } else if (how != "mkdir refused") {
    writeFile(file(), kSample);
    if (how == "creation refused") seam.table().open = &refusingCreation;
    if (how == "read-only file") seam.table().access = &readOnlyStore;
    if (how == "no write bits") QVERIFY(QFile::setPermissions(file(), QFile::ReadOwner));
  } else {
    seam.table().mkdir = &refusingMkdir;
  }
  Store s = store();
  auto set = s.setValue({"HKEY_CURRENT_USER\\Velmora\\Photo"}, "En", Value::dword(1));
  QVERIFY(!set);
  QCOMPARE(set.error().cause.code, EACCES);
  if (how != "mkdir refused") {
    QCOMPARE(readAll(file()), kSample);
    QCOMPARE(s.readValue(*s.openKey("Velmora\\Photo"), "En")->asDword(),
             std::optional<std::int32_t>(105));
    QVERIFY(leftovers(folder()).isEmpty());
    if (how.contains("no write bits")) {
      QCOMPARE(QFileInfo(file()).isSymLink(), how.startsWith("linked"));
      QCOMPARE(permissionsOf(file()) & 0222, mode_t(0));
    }
  } else {
    QVERIFY(!QFileInfo::exists(folder()));
    QCOMPARE(s.openKey("Velmora").error().code, Errc::NotFound);
  }
}

// Whatever is in the file's place, reads find no settings at once (a FIFO
// would block an open() for reading until a writer came) and writes fail,
// leaving it as it was.
void StoreTest::pathWithoutAFileReadsAsNoSettings_data() {
  QTest::addColumn<QString>("thing");
  QTest::addColumn<QString>("kind");  // what stays in the file's place
  QTest::newRow("named pipe") << "fifo"
                              << "fifo";
  QTest::newRow("socket") << "socket"
                          << "socket";
  QTest::newRow("link to a device") << "device"
                                    << "link";
  QTest::newRow("folder") << "folder"
                          << "folder";
  QTest::newRow("link that leads nowhere") << "dangling"
                                           << "link";
  QTest::newRow("link that loops") << "loop"
                                   << "link";
}

void StoreTest::pathWithoutAFileReadsAsNoSettings() {
  QFETCH(QString, thing);
  QFETCH(QString, kind);
  QVERIFY(QDir().mkpath(folder()));
  const QByteArray path = QFile::encodeName(file());
  if (thing == "fifo") QCOMPARE(::mkfifo(path.constData(), 0600), 0);
  if (thing == "socket") QVERIFY(makeSocket(file()));
  if (thing == "device") QVERIFY(QFile::link("/dev/zero", file()));
  if (thing == "folder") QVERIFY(QDir().mkpath(file()));
  if (thing == "dangling") QVERIFY(QFile::link(folder() + "/gone.reg", file()));
  if (thing == "loop") {
    QVERIFY(QFile::link(folder() + "/other.reg", file()));
    QVERIFY(QFile::link(file(), folder() + "/other.reg"));
  }

  Store s = store();
  const registry::KeyHandle photo{"HKEY_CURRENT_USER\\Velmora\\Photo"};
  Errc openCode{}, readCode{};
  registry::Result<void> set;
  QVERIFY(returnsWithoutWaiting(file(), [&] {
    openCode = s.openKey("Velmora\\Photo").error().code;
    readCode = s.readValue(photo, "En").error().code;
    set = s.setValue(photo, "En", Value::dword(1));
  }));
  QCOMPARE(openCode, Errc::NotFound);
  QCOMPARE(readCode, Errc::NotFound);
  QVERIFY(!set);
  QCOMPARE(set.error().code, Errc::Io);
  QCOMPARE(kindOf(file()), kind);
  QVERIFY(leftovers(folder()).isEmpty());
  if (thing == "dangling") QVERIFY(!QFileInfo::exists(folder() + "/gone.reg"));
}

void StoreTest::lockThatIsNoFileFailsWritesWithoutWaiting_data() {
  QTest::addColumn<QString>("thing");
  QTest::newRow("named pipe") << "fifo";
  QTest::newRow("folder") << "folder";
}

void StoreTest::lockThatIsNoFileFailsWritesWithoutWaiting() {
  QFETCH(QString, thing);
  writeFile(file(), kSample);
  const QString lock = file() + ".lock";
  if (thing == "fifo") QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
  if (thing == "folder") QVERIFY(QDir().mkpath(lock));

  Store s = store();
  registry::Result<void> set;
  QVERIFY(returnsWithoutWaiting(lock, [&] {
    set = s.setValue({"HKEY_CURRENT_USER\\Velmora\\Photo"}, "En", Value::dword(1));
  }));
  QVERIFY(!set);
  QCOMPARE(set.error().code, Errc::Io);
  QCOMPARE(readAll(file()), kSample);
  QCOMPARE(s.readValue(*s.openKey("Velmora\\Photo"), "En")->asDword(),
           std::optional<std::int32_t>(105));
}

// A settings file kept elsewhere (a dotfiles folder) and linked into place
// stays linked: the file the link names is replaced, in its own folder, and
// keeps its permissions.
void StoreTest::linkedFileIsWrittenThrough_data() {
  QTest::addColumn<QString>("link");     // what user.reg links to, relative to the temp folder
  QTest::addColumn<bool>("relative");    // written as a relative link
  QTest::addColumn<QString>("through");  // a link in between, if any
  QTest::newRow("link into another folder") << "dotfiles/velmora.reg" << false << "";
  QTest::newRow("relative link") << "dotfiles/velmora.reg" << true << "";
  QTest::newRow("link to a link") << "dotfiles/velmora.reg" << false << "dotfiles/current.reg";
  QTest::newRow("link within the folder") << "cfg/Velmora/kept.reg" << false << "";
  QTest::newRow("target name as long as names go")
      << "dotfiles/" + QString(255 - 4, 'v') + ".reg" << false << "";
}

void StoreTest::linkedFileIsWrittenThrough() {
  QFETCH(QString, link);
  QFETCH(bool, relative);
  QFETCH(QString, through);
  const QString target = dir_->path() + "/" + link;
  writeFile(target, kSample);
  QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
  QVERIFY(QDir().mkpath(folder()));
  QString pointsTo = target;
  if (!through.isEmpty()) {
    QVERIFY(QFile::link(target, dir_->path() + "/" + through));
    pointsTo = dir_->path() + "/" + through;
  }
  if (relative) pointsTo = QDir(folder()).relativeFilePath(pointsTo);
  QCOMPARE(
      ::symlink(QFile::encodeName(pointsTo).constData(), QFile::encodeName(file()).constData()), 0);

  Store s = store();
  QVERIFY(s.setValue({"HKEY_CURRENT_USER\\Velmora\\Photo"}, "En", Value::dword(7)));
  QCOMPARE(kindOf(file()), QString("link"));
  QCOMPARE(QFileInfo(file()).canonicalFilePath(), QFileInfo(target).canonicalFilePath());
  QVERIFY(readAll(target).contains("\"En\"=dword:00000007"));
  QCOMPARE(permissionsOf(target), mode_t(0640));
  QCOMPARE(store().readValue({"HKEY_CURRENT_USER\\Velmora\\Photo"}, "En")->asDword(),
           std::optional<std::int32_t>(7));
  QVERIFY(leftovers(folder()).isEmpty());
  QVERIFY(leftovers(QFileInfo(target).path()).isEmpty());
}

void StoreTest::damagedLinkedFileIsKeptBesideItsTarget() {
  const QString target = dir_->path() + "/dotfiles/velmora.reg";
  writeFile(target, "damaged");
  QVERIFY(QDir().mkpath(folder()));
  QVERIFY(QFile::link(target, file()));
  registry::StoreOptions options;
  options.clock = [] { return std::time_t(0); };
  options.report = [](const std::string&) {};
  Store s = store(options);
  QVERIFY(s.setValue({"HKEY_CURRENT_USER\\Velmora\\Photo"}, "En", Value::dword(7)));
  QCOMPARE(readAll(target + ".corrupt-19700101T000000Z"), QByteArray("damaged"));
  QCOMPARE(kindOf(file()), QString("link"));
  QVERIFY(readAll(file()).contains("\"En\"=dword:00000007"));
}

QTEST_APPLESS_MAIN(StoreTest)
#include "store_test.moc"
