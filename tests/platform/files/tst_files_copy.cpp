// Copying a file through a temporary file, and deleting to the trash: the
// target is whole or untouched, nothing half-written is left, a trashed file
// can be put back from its info file, and where no trash is it is removed.

#include <sys/stat.h>

#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "file_text.h"
#include "platform/files/copy.h"
#include "platform/files/syscalls.h"
#include "platform/files/trash.h"

namespace fs = std::filesystem;
using testsupport::readText;
using testsupport::writeText;

namespace {

int entries(const fs::path& folder) {
  return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

class FilesCopyTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    root_ = fs::path(dir_.path().toStdString()) / "t";
    fs::remove_all(root_);
    fs::create_directories(root_ / "photos");
    photos_ = root_ / "photos";
    places_ = {(root_ / "data" / "Trash").string(), ::getuid()};
  }

  void copyMakesOrReplacesTheTarget_data() {
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("new name") << false;
    QTest::newRow("existing name is replaced") << true;
  }
  void copyMakesOrReplacesTheTarget() {
    QFETCH(bool, targetExists);
    writeText(photos_ / "Resim001.jpg", std::string(200000, 'x'));
    if (targetExists) writeText(photos_ / "Ali.JPG", "old");
    const auto done =
        files::copyFile((photos_ / "Resim001.jpg").string(), (photos_ / "Ali.JPG").string());
    QVERIFY2(done, done ? "" : done.error().message().c_str());
    QCOMPARE(readText(photos_ / "Ali.JPG"), std::string(200000, 'x'));
    QCOMPARE(readText(photos_ / "Resim001.jpg"), std::string(200000, 'x'));
    QCOMPARE(entries(photos_), 2);
  }

  void failedCopyLeavesTheTargetAsItWas_data() {
    QTest::addColumn<int>("failure");  // 0: missing source, else the errno of a write
    QTest::addColumn<int>("code");
    QTest::newRow("source missing") << 0 << ENOENT;
    QTest::newRow("disk full") << ENOSPC << ENOSPC;
    QTest::newRow("read-only target") << -1 << EACCES;
  }
  void failedCopyLeavesTheTargetAsItWas() {
    QFETCH(int, failure);
    QFETCH(int, code);
    if (failure != 0) writeText(photos_ / "Resim001.jpg", "new bytes");
    writeText(photos_ / "Ali.JPG", "old");
    if (failure < 0) fs::permissions(photos_ / "Ali.JPG", fs::perms::owner_read);
    files::ScopedSyscalls seam;
    if (failure > 0) {
      static int error;
      error = failure;
      seam.table().write = [](int, const void*, size_t) -> ssize_t {
        errno = error;
        return -1;
      };
    }
    const auto done =
        files::copyFile((photos_ / "Resim001.jpg").string(), (photos_ / "Ali.JPG").string());
    QVERIFY(!done);
    QCOMPARE(done.error().code, code);
    QCOMPARE(readText(photos_ / "Ali.JPG"), std::string("old"));
    QCOMPARE(entries(photos_), failure == 0 ? 1 : 2);
  }

  void fileLengthIsTheSizeOfARegularFile() {
    writeText(photos_ / "a.jpg", std::string(46080, 'x'));
    QCOMPARE(*files::fileLength((photos_ / "a.jpg").string()), std::uint64_t(46080));
    QCOMPARE(files::fileLength((photos_ / "none").string()).error().code, ENOENT);
    QCOMPARE(files::fileLength(photos_.string()).error().code, EISDIR);
  }

  void deletedFileGoesToTheHomeTrashWithItsInfo() {
    writeText(photos_ / "Ali Öz.jpg", "photo");
    const auto gone = files::discardFile((photos_ / "Ali Öz.jpg").string(), places_);
    QVERIFY2(gone, gone ? "" : gone.error().message().c_str());
    QCOMPARE(*gone, files::Disposal::Trashed);
    QVERIFY(!fs::exists(photos_ / "Ali Öz.jpg"));
    const fs::path trash = places_.homeTrash;
    QCOMPARE(readText(trash / "files" / "Ali Öz.jpg"), std::string("photo"));
    const std::string info = readText(trash / "info" / "Ali Öz.jpg.trashinfo");
    const std::string folder = fs::canonical(photos_).string();
    QVERIFY2(info.starts_with("[Trash Info]\nPath=" + folder + "/Ali%20%C3%96z.jpg\nDeletionDate="),
             info.c_str());
    // Only the info file: its temporary is gone.
    QCOMPARE(entries(trash / "info"), 1);
  }

  void sameNameTrashedTwiceKeepsBoth() {
    for (const char* content : {"first", "second"}) {
      writeText(photos_ / "Resim001.jpg", content);
      QVERIFY(files::discardFile((photos_ / "Resim001.jpg").string(), places_));
    }
    const fs::path trash = places_.homeTrash;
    QCOMPARE(readText(trash / "files" / "Resim001.jpg"), std::string("first"));
    QCOMPARE(readText(trash / "files" / "Resim001.2.jpg"), std::string("second"));
    QVERIFY(fs::exists(trash / "info" / "Resim001.2.jpg.trashinfo"));
  }

  void failedMoveTakesTheInfoBack() {
    writeText(photos_ / "Resim001.jpg", "photo");
    files::ScopedSyscalls seam;
    seam.table().rename = [](const char* from, const char* to) {
      if (std::string_view(to).find("/files/") != std::string_view::npos) {
        errno = EACCES;
        return -1;
      }
      return files::realSyscalls().rename(from, to);
    };
    const auto gone = files::discardFile((photos_ / "Resim001.jpg").string(), places_);
    QVERIFY(!gone);
    QCOMPARE(gone.error().code, EACCES);
    QVERIFY(fs::exists(photos_ / "Resim001.jpg"));
    QCOMPARE(entries(fs::path(places_.homeTrash) / "info"), 0);
  }

  void withoutATrashTheFileIsRemoved() {
    writeText(photos_ / "Resim001.jpg", "photo");
    files::TrashPlaces none{"", ::getuid()};
    const auto folder = files::trashFolderFor((photos_ / "Resim001.jpg").string(), none);
    QVERIFY(folder);
    if (!folder->empty()) QSKIP("this volume has a trash folder of its own");
    QCOMPARE(*files::discardFile((photos_ / "Resim001.jpg").string(), none),
             files::Disposal::Removed);
    QVERIFY(!fs::exists(photos_ / "Resim001.jpg"));
  }

  void nothingOrAFolderIsRefused() {
    QCOMPARE(files::discardFile((photos_ / "none.jpg").string(), places_).error().code, ENOENT);
    QCOMPARE(files::discardFile(photos_.string(), places_).error().code, EISDIR);
  }

 private:
  QTemporaryDir dir_;
  fs::path root_;
  fs::path photos_;
  files::TrashPlaces places_;
};

QTEST_APPLESS_MAIN(FilesCopyTest)
#include "tst_files_copy.moc"
