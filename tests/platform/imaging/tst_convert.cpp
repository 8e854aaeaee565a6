// File-to-file conversions: every failure names its cause, a failed write
// leaves the old target whole with nothing beside it, read-only targets are
// left alone, and a file converted onto itself is read before it is replaced.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

#include "craft.h"
#include "platform/files/syscalls.h"
#include "platform/imaging/bmp_writer.h"
#include "platform/imaging/convert.h"
#include "platform/imaging/quality.h"

using craft::Bytes;
using imaging::ImageError;
using imaging::PictureFormat;

Q_DECLARE_METATYPE(ImageError)
Q_DECLARE_METATYPE(PictureFormat)

namespace {

const Bytes kOldTarget = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};

// Lets a set number of bytes through, then fails every write like a full disk.
std::size_t gBytesAllowed = 0;
ssize_t writeUntilFull(int fd, const void* data, size_t size) {
  if (gBytesAllowed == 0) {
    errno = ENOSPC;
    return -1;
  }
  const size_t n = std::min(size, gBytesAllowed);
  gBytesAllowed -= n;
  return files::realSyscalls().write(fd, data, n);
}
int failingFsync(int) {
  errno = EIO;
  return -1;
}
int failingRename(const char*, const char*) {
  errno = EXDEV;
  return -1;
}

}  // namespace

class TestConvert : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void eachFailureNamesItsCause_data();
  void eachFailureNamesItsCause();
  void failedWriteKeepsOldTarget_data();
  void failedWriteKeepsOldTarget();
  void readOnlyTargetIsLeftAlone();
  void longTargetNamesAreWritten_data();
  void longTargetNamesAreWritten();
  void sameSourceAndTarget();
  void replacedTargetKeepsPermissions();
  void formatsFromExtensions_data();
  void formatsFromExtensions();
  void qualityText_data();
  void qualityText();

 private:
  std::string path(const char* name) const { return (dir_->path() + '/' + name).toStdString(); }
  QStringList entries() const { return QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden); }
  std::unique_ptr<QTemporaryDir> dir_;
  std::string bmp_;
};

void TestConvert::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  bmp_ = path("source.bmp");
  craft::writeFile(bmp_, imaging::encodeBmp(craft::photo(40, 30)));
}

void TestConvert::eachFailureNamesItsCause_data() {
  QTest::addColumn<QString>("source");
  QTest::addColumn<PictureFormat>("from");
  QTest::addColumn<QString>("target");
  QTest::addColumn<ImageError>("error");
  QTest::newRow("source missing") << "missing.bmp" << PictureFormat::Bmp << "t.jpg"
                                  << ImageError::SourceMissing;
  QTest::newRow("source path empty")
      << "" << PictureFormat::Bmp << "t.jpg" << ImageError::SourceMissing;
  QTest::newRow("source in a missing folder")
      << "nofolder/x.bmp" << PictureFormat::Bmp << "t.jpg" << ImageError::SourceMissing;
  QTest::newRow("wildcard pattern as source")
      << "*.gif" << PictureFormat::Gif << "t.bmp" << ImageError::SourceMissing;
  QTest::newRow("source is a folder")
      << "sub" << PictureFormat::Bmp << "t.jpg" << ImageError::SourceUnreadable;
  QTest::newRow("BMP given as GIF")
      << "source.bmp" << PictureFormat::Gif << "t.bmp" << ImageError::NotThisType;
  QTest::newRow("damaged source") << "cut.bmp" << PictureFormat::Bmp << "t.gif"
                                  << ImageError::Damaged;
  QTest::newRow("too large source")
      << "huge.bmp" << PictureFormat::Bmp << "t.gif" << ImageError::TooLarge;
  QTest::newRow("target folder missing")
      << "source.bmp" << PictureFormat::Bmp << "nofolder/t.jpg" << ImageError::TargetNotWritable;
  QTest::newRow("target is a folder")
      << "source.bmp" << PictureFormat::Bmp << "sub" << ImageError::TargetNotWritable;
  QTest::newRow("target path empty")
      << "source.bmp" << PictureFormat::Bmp << "" << ImageError::TargetNotWritable;
  QTest::newRow("target a link that leads nowhere")
      << "source.bmp" << PictureFormat::Bmp << "dangling.jpg" << ImageError::TargetNotWritable;
  QTest::newRow("target a named pipe")
      << "source.bmp" << PictureFormat::Bmp << "pipe.jpg" << ImageError::TargetNotWritable;
  QTest::newRow("source a named pipe, never waited on")
      << "pipe.jpg" << PictureFormat::Jpeg << "t.bmp" << ImageError::SourceUnreadable;
}

void TestConvert::eachFailureNamesItsCause() {
  QFETCH(QString, source);
  QFETCH(PictureFormat, from);
  QFETCH(QString, target);
  QFETCH(ImageError, error);
  QDir(dir_->path()).mkdir("sub");
  Bytes cut = craft::readFile(bmp_);
  cut.resize(cut.size() / 2);
  craft::writeFile(path("cut.bmp"), cut);
  craft::Bmp huge;
  huge.width = huge.height = 20000;
  huge.pixels = Bytes(16, 0);
  craft::writeFile(path("huge.bmp"), huge.build());
  QVERIFY(QFile::link(dir_->path() + "/gone.jpg", dir_->path() + "/dangling.jpg"));
  QCOMPARE(::mkfifo(path("pipe.jpg").c_str(), 0600), 0);
  const QStringList before = entries();

  auto full = [this](const QString& p) {
    return p.isEmpty() ? std::string() : path(p.toUtf8().constData());
  };
  auto done = imaging::convertFile(full(source), from, full(target), imaging::PictureFormat::Jpeg);
  QVERIFY(!done);
  QCOMPARE(int(done.error()), int(error));
  QCOMPARE(entries(), before);
  QVERIFY(!QFileInfo::exists(dir_->path() + "/gone.jpg"));
}

void TestConvert::failedWriteKeepsOldTarget_data() {
  QTest::addColumn<int>("failure");
  QTest::newRow("disk full after the first bytes") << 0;
  QTest::newRow("disk full at once") << 1;
  QTest::newRow("flush fails") << 2;
  QTest::newRow("rename fails") << 3;
}

void TestConvert::failedWriteKeepsOldTarget() {
  QFETCH(int, failure);
  const std::string target = path("photo.jpg");
  craft::writeFile(target, kOldTarget);
  files::ScopedSyscalls seam;
  gBytesAllowed = failure == 0 ? 100 : 0;
  if (failure <= 1) seam.table().write = writeUntilFull;
  if (failure == 2) seam.table().fsync = failingFsync;
  if (failure == 3) seam.table().rename = failingRename;

  auto done = imaging::convertFile(bmp_, PictureFormat::Bmp, target, PictureFormat::Jpeg);
  QVERIFY(!done);
  QCOMPARE(int(done.error()), int(ImageError::TargetNotWritable));
  QVERIFY(craft::readFile(target) == kOldTarget);
  QCOMPARE(entries(), QStringList({"photo.jpg", "source.bmp"}));
}

void TestConvert::readOnlyTargetIsLeftAlone() {
  // Tests may run as root, for whom access() allows everything: the
  // permission bits alone must decide.
  const std::string target = path("photo.gif");
  craft::writeFile(target, kOldTarget);
  QCOMPARE(::chmod(target.c_str(), 0444), 0);
  auto done = imaging::convertFile(bmp_, PictureFormat::Bmp, target, PictureFormat::Gif);
  QVERIFY(!done);
  QCOMPARE(int(done.error()), int(ImageError::TargetNotWritable));
  QVERIFY(craft::readFile(target) == kOldTarget);
  QCOMPARE(entries().size(), 2);
}

// The temporary file beside the target has a short name of its own, so any
// name the file system takes can be written, new or replacing an old file.
void TestConvert::longTargetNamesAreWritten_data() {
  QTest::addColumn<int>("length");
  QTest::addColumn<bool>("oldFile");
  QTest::newRow("242 bytes") << 242 << false;
  QTest::newRow("255 bytes over an old file") << 255 << true;
}

void TestConvert::longTargetNamesAreWritten() {
  QFETCH(int, length);
  QFETCH(bool, oldFile);
  const std::string name = std::string(std::size_t(length) - 4, 'p') + ".jpg";
  const std::string target = path(name.c_str());
  if (oldFile) craft::writeFile(target, kOldTarget);
  auto done = imaging::convertFile(bmp_, PictureFormat::Bmp, target, PictureFormat::Jpeg);
  QVERIFY(done.ok());
  QCOMPARE(craft::readFile(target)[0], std::uint8_t(0xFF));
  QCOMPARE(entries(), QStringList({QString::fromStdString(name), "source.bmp"}));
}

void TestConvert::sameSourceAndTarget() {
  const imaging::RgbImage photo = craft::photo(40, 30);
  QVERIFY(imaging::convertFile(bmp_, PictureFormat::Bmp, bmp_, PictureFormat::Gif).ok());
  QCOMPARE(craft::readFile(bmp_)[0], std::uint8_t('G'));
  QVERIFY(imaging::convertFile(bmp_, PictureFormat::Gif, bmp_, PictureFormat::Bmp).ok());
  auto back = imaging::decodePicture(PictureFormat::Bmp, craft::readFile(bmp_));
  QVERIFY(back.ok());
  QVERIFY(craft::psnr(photo, *back) > 30);
  QCOMPARE(entries(), QStringList({"source.bmp"}));
}

void TestConvert::replacedTargetKeepsPermissions() {
  const std::string target = path("photo.jpg");
  craft::writeFile(target, kOldTarget);
  QCOMPARE(::chmod(target.c_str(), 0640), 0);
  QVERIFY(imaging::convertFile(bmp_, PictureFormat::Bmp, target, PictureFormat::Jpeg).ok());
  struct stat st {};
  QCOMPARE(::stat(target.c_str(), &st), 0);
  QCOMPARE(int(st.st_mode & 07777), 0640);
  QVERIFY(craft::readFile(target) != kOldTarget);
}

void TestConvert::formatsFromExtensions_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<int>("format");  // -1: none
  QTest::newRow("bmp") << "/a/b.bmp" << int(PictureFormat::Bmp);
  QTest::newRow("upper-case JPG") << "Resim001.JPG" << int(PictureFormat::Jpeg);
  QTest::newRow("jpeg") << "x.jpeg" << int(PictureFormat::Jpeg);
  QTest::newRow("mixed-case Gif") << "x.Gif" << int(PictureFormat::Gif);
  QTest::newRow("png is not ours") << "x.png" << -1;
  QTest::newRow("dot only in a folder name") << "a.bmp/file" << -1;
  QTest::newRow("no extension") << "file" << -1;
}

void TestConvert::formatsFromExtensions() {
  QFETCH(QString, path);
  QFETCH(int, format);
  const auto found = imaging::formatFromExtension(path.toStdString());
  QCOMPARE(found ? int(*found) : -1, format);
}

void TestConvert::qualityText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("quality");  // 0: refused
  QTest::newRow("whole number") << "75" << 75;
  QTest::newRow("blanks around") << "  80 " << 80;
  QTest::newRow("plus sign") << "+60" << 60;
  QTest::newRow("fraction rounds") << "75.5" << 76;
  QTest::newRow("above 100 clamps") << "130" << 100;
  QTest::newRow("huge clamps") << "99999999999999999999999" << 100;
  QTest::newRow("zero clamps to 1") << "0" << 1;
  QTest::newRow("negative clamps to 1") << "-20" << 1;
  QTest::newRow("exponent") << "5e1" << 50;
  QTest::newRow("half rounds up") << "2.5" << 3;
  QTest::newRow("point without fraction") << "5." << 5;
  QTest::newRow("exponent overflow clamps") << "1e999" << 100;
  QTest::newRow("exponent underflow clamps to 1") << "1e-400" << 1;
  QTest::newRow("exponent without digits") << "1e" << 0;
  QTest::newRow("hexadecimal") << "0x10" << 0;
  QTest::newRow("comma as decimal point") << "75,5" << 0;
  QTest::newRow("two signs") << "--5" << 0;
  QTest::newRow("empty") << "" << 0;
  QTest::newRow("blanks only") << "   " << 0;
  QTest::newRow("letters") << "abc" << 0;
  QTest::newRow("number then letters") << "75abc" << 0;
  QTest::newRow("blank inside") << "7 5" << 0;
  QTest::newRow("infinity") << "inf" << 0;
  QTest::newRow("not a number") << "nan" << 0;
}

void TestConvert::qualityText() {
  QFETCH(QString, text);
  QFETCH(int, quality);
  auto parsed = imaging::parseQuality(text.toStdString());
  if (quality == 0) {
    QVERIFY(!parsed);
    QCOMPARE(int(parsed.error()), int(ImageError::BadQualityText));
  } else {
    QVERIFY(parsed.ok());
    QCOMPARE(*parsed, quality);
  }
}

QTEST_APPLESS_MAIN(TestConvert)
#include "tst_convert.moc"
