// Picture files: BMP written exactly, read back by content whatever the name
// (through the codec's readers, always as true colour), and a failed save
// never costs the old file.

#include <gif_lib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "platform/picture/patterns.h"
#include "platform/picture/picturefile.h"

Q_DECLARE_METATYPE(picture::Durability)

using namespace picture;
using namespace picturetest;

namespace {

quint32 read32(const QByteArray& bytes, int offset) {
  quint32 value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | quint8(bytes[offset + i]);
  return value;
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setQuality(100);
  return writer.write(image) ? bytes : QByteArray();
}

// A 4 × 2 GIF: top row red, bottom row blue (Qt writes no GIF of its own).
bool writeGif(const QString& path) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
  if (!gif) return false;
  const GifColorType colours[2] = {{255, 0, 0}, {0, 0, 255}};
  ColorMapObject* map = GifMakeMapObject(2, colours);
  bool ok = map && EGifPutScreenDesc(gif, 4, 2, 1, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, 4, 2, false, nullptr) == GIF_OK;
  GifPixelType rows[2][4] = {{0, 0, 0, 0}, {1, 1, 1, 1}};
  for (auto& row : rows) ok = ok && EGifPutLine(gif, row, 4) == GIF_OK;
  ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
  GifFreeMapObject(map);
  return ok;
}

bool near(QRgb a, QRgb b) {
  return qAbs(qRed(a) - qRed(b)) < 12 && qAbs(qGreen(a) - qGreen(b)) < 12 &&
         qAbs(qBlue(a) - qBlue(b)) < 12;
}

// Stops the process's writes at `bytes` per file while it lives; the write
// that crosses the limit fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

}  // namespace

class TestPictureFile : public QObject {
  Q_OBJECT

 private slots:
  void bmpRoundTrip_data();
  void bmpRoundTrip();
  void secondSaveReplacesTheFirst_data();
  void secondSaveReplacesTheFirst();
  void loadsByContent_data();
  void loadsByContent();
  void loadErrors_data();
  void loadErrors();
  void failedSaveKeepsTheOldFile_data();
  void failedSaveKeepsTheOldFile();
  void loadsEveryBmpVariant_data();
  void loadsEveryBmpVariant();
  void namedPipeIsRefusedWithoutWaiting();
  void failuresCarryTheirCause();
  void durableSaveRefusesAReadOnlyFile();
  void scratchSaveReplacesWhatIsInThePlace_data();
  void scratchSaveReplacesWhatIsInThePlace();
  void writeFailingMidwayKeepsTheOldFile_data();
  void writeFailingMidwayKeepsTheOldFile();
  void photoSaveFailureKeepsTheOldFile_data();
  void photoSaveFailureKeepsTheOldFile();

 private:
  QTemporaryDir dir_;
};

void TestPictureFile::bmpRoundTrip_data() {
  QTest::addColumn<QImage>("image");
  QTest::addColumn<int>("bitsPerPixel");

  QImage translucent = truecolourPattern(6, 3).convertToFormat(QImage::Format_ARGB32);
  translucent.setPixel(2, 1, qRgba(10, 20, 30, 40));
  QTest::newRow("true colour, rows padded to four bytes") << truecolourPattern(5, 3) << 24;
  QTest::newRow("true colour, rows without padding") << truecolourPattern(4, 7) << 24;
  QTest::newRow("true colour, a single pixel") << truecolourPattern(1, 1) << 24;
  QTest::newRow("transparency is dropped, colours kept") << translucent << 24;
  QTest::newRow("indexed with 256 colours, written in true colour")
      << indexedPattern(7, 5, distinctColours(true)) << 24;
  QTest::newRow("indexed with 16 colours, written in true colour")
      << indexedPattern(8, 4, distinctColours(false).mid(0, 16)) << 24;
}

void TestPictureFile::bmpRoundTrip() {
  QFETCH(QImage, image);
  QFETCH(int, bitsPerPixel);
  const Picture picture(image);
  const QString path = dir_.filePath(QStringLiteral("roundtrip.bmp"));

  QVERIFY(savePictureAsBmp(picture, path).ok());

  const QByteArray bytes = readAll(path);
  QVERIFY(bytes.startsWith("BM"));
  QCOMPARE(read32(bytes, 2), quint32(bytes.size()));
  QCOMPARE(int(quint8(bytes[28])), bitsPerPixel);
  QCOMPARE(read32(bytes, 38), quint32(image.dotsPerMeterX()));
  const auto loaded = loadPicture(path);
  QVERIFY(loaded.ok());
  QCOMPARE(loaded->size(), image.size());
  QVERIFY(!loaded->isIndexed());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QCOMPARE(qAlpha(loaded->image().pixel(x, y)), 255);
      QCOMPARE(loaded->image().pixel(x, y) & 0xffffff, image.pixel(x, y) & 0xffffff);
    }
}

// Both ways of saving replace the file whole; they differ only in waiting for the disk.
static void addDurabilityRows() {
  QTest::addColumn<Durability>("durability");
  QTest::newRow("durable") << Durability::Durable;
  QTest::newRow("scratch") << Durability::Scratch;
}

void TestPictureFile::secondSaveReplacesTheFirst_data() {
  addDurabilityRows();
}

void TestPictureFile::secondSaveReplacesTheFirst() {
  QFETCH(Durability, durability);
  const QString path = dir_.filePath(QStringLiteral("Capture.jpg"));
  QFile::remove(path);
  QVERIFY(savePictureAsBmp(Picture(truecolourPattern(30, 20)), path, durability).ok());
  const QImage second = truecolourPattern(12, 9).mirrored(true, false);
  QVERIFY(savePictureAsBmp(Picture(second), path, durability).ok());

  const auto loaded = loadPicture(path);
  QVERIFY(loaded.ok());
  QCOMPARE(loaded->image(), second.convertToFormat(QImage::Format_RGB32));
  QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("Capture.jpg*")}, QDir::Files).size(), 1);
}

void TestPictureFile::loadsByContent_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("format");
  QTest::newRow("BMP data named .jpg") << "Capture.jpg"
                                       << "bmp";
  QTest::newRow("JPEG data named .bmp") << "photo.bmp"
                                        << "jpeg";
  QTest::newRow("GIF data named .jpg") << "photo.jpg"
                                       << "gif";
  QTest::newRow("BMP data without an extension") << "Resim001"
                                                 << "bmp";
}

void TestPictureFile::loadsByContent() {
  QFETCH(QString, name);
  QFETCH(QString, format);
  const QString path = dir_.filePath(name);
  QImage redOverBlue(4, 2, QImage::Format_RGB32);
  redOverBlue.fill(qRgb(255, 0, 0));
  for (int x = 0; x < 4; ++x) redOverBlue.setPixel(x, 1, qRgb(0, 0, 255));
  if (format == "gif")
    QVERIFY(writeGif(path));
  else
    QVERIFY(writeBytes(path, encoded(redOverBlue.scaled(64, 32), qPrintable(format))));

  const auto loaded = loadPicture(path);
  QVERIFY2(loaded.ok(), loaded.ok() ? "" : qPrintable(loaded.error().detail));
  const QImage& image = loaded->image();
  QVERIFY(image.width() == 4 || image.width() == 64);
  QVERIFY(near(image.pixel(1, 0), qRgb(255, 0, 0)));
  QVERIFY(near(image.pixel(1, image.height() - 1), qRgb(0, 0, 255)));
}

void TestPictureFile::loadErrors_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<int>("code");

  const QByteArray bmp = encoded(truecolourPattern(8, 8), "bmp");
  QTest::newRow("missing file") << "missing.jpg" << QByteArray() << int(FileErrc::FileNotFound);
  QTest::newRow("a folder") << "folder" << QByteArray() << int(FileErrc::FileNotFound);
  QTest::newRow("empty file") << "empty.jpg" << QByteArray("") << int(FileErrc::UnsupportedFormat);
  QTest::newRow("text") << "notes.bmp" << QByteArray("not a picture\n")
                        << int(FileErrc::UnsupportedFormat);
  QTest::newRow("PNG is not one of the three formats")
      << "picture.png" << encoded(truecolourPattern(8, 8), "png")
      << int(FileErrc::UnsupportedFormat);
  QTest::newRow("BMP cut inside its header")
      << "cut.bmp" << bmp.left(20) << int(FileErrc::InvalidData);
  const QByteArray jpeg = encoded(truecolourPattern(64, 48), "jpg");
  QTest::newRow("JPEG cut short and closed with an end marker")
      << "cut.jpg" << jpeg.left(jpeg.size() * 2 / 3) + QByteArray("\xff\xd9", 2)
      << int(FileErrc::InvalidData);
  QTest::newRow("JPEG with 12-bit samples")
      << "deep.jpg"
      << QByteArray(
             "\xff\xd8\xff\xc1\x00\x0b\x0c\x00\x08\x00\x08\x01\x01\x11\x00"
             "\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00\x00\x00\xff\xd9",
             29)
      << int(FileErrc::UnsupportedFormat);
}

void TestPictureFile::loadErrors() {
  QFETCH(QString, name);
  QFETCH(QByteArray, content);
  QFETCH(int, code);
  const QString path = dir_.filePath(name);
  if (name == "folder") QVERIFY(QDir(dir_.path()).mkpath(name));
  if (!content.isNull()) QVERIFY(writeBytes(path, content));

  const auto loaded = loadPicture(path);
  QVERIFY(!loaded.ok());
  QCOMPARE(int(loaded.error().code), code);
}

void TestPictureFile::failedSaveKeepsTheOldFile_data() {
  QTest::addColumn<QString>("relativePath");
  QTest::addColumn<bool>("withPicture");
  QTest::addColumn<int>("code");
  QTest::addColumn<Durability>("durability");
  for (const auto& [name, durability] :
       {std::pair{"durable", Durability::Durable}, std::pair{"scratch", Durability::Scratch}}) {
    QTest::addRow("target folder missing, %s", name)
        << "gone/Capture.jpg" << true << int(FileErrc::WriteFailed) << durability;
    QTest::addRow("a folder in the way, %s", name)
        << "old/Capture.jpg" << true << int(FileErrc::WriteFailed) << durability;
    QTest::addRow("no picture to save, %s", name)
        << "old/old.bmp" << false << int(FileErrc::NoPicture) << durability;
  }
}

void TestPictureFile::failedSaveKeepsTheOldFile() {
  QFETCH(QString, relativePath);
  QFETCH(bool, withPicture);
  QFETCH(int, code);
  QFETCH(Durability, durability);
  QTemporaryDir root;
  QVERIFY(QDir(root.path()).mkpath(QStringLiteral("old/Capture.jpg")));
  const QByteArray old = encoded(truecolourPattern(8, 8), "bmp");
  QVERIFY(writeBytes(root.filePath(QStringLiteral("old/old.bmp")), old));
  const QString path = root.filePath(relativePath);

  const Picture picture = withPicture ? Picture(truecolourPattern(16, 16)) : Picture();
  const auto saved = savePictureAsBmp(picture, path, durability);
  QVERIFY(!saved.ok());
  QCOMPARE(int(saved.error().code), code);
  QVERIFY(!saved.error().detail.isEmpty());
  QCOMPARE(readAll(root.filePath(QStringLiteral("old/old.bmp"))), old);
  QVERIFY(QFileInfo(root.filePath(QStringLiteral("old/Capture.jpg"))).isDir());
  QCOMPARE(QDir(root.filePath(QStringLiteral("old"))).entryList(QDir::Files),
           QStringList{QStringLiteral("old.bmp")});
}

void TestPictureFile::writeFailingMidwayKeepsTheOldFile_data() {
  addDurabilityRows();
}

void TestPictureFile::writeFailingMidwayKeepsTheOldFile() {
  QFETCH(Durability, durability);
  QTemporaryDir root;
  const QString path = root.filePath(QStringLiteral("Capture.jpg"));
  const QByteArray old = encoded(truecolourPattern(8, 8), "bmp");
  QVERIFY(writeBytes(path, old));

  FileResult<void> saved;
  {
    const FileSizeLimit limit(16 * 1024);  // the new picture needs about 230 KB
    saved = savePictureAsBmp(Picture(truecolourPattern(320, 240)), path, durability);
  }
  QVERIFY(!saved.ok());
  QCOMPARE(saved.error().code, FileErrc::WriteFailed);
  QCOMPARE(readAll(path), old);
  QCOMPARE(QDir(root.path()).entryList(QDir::Files), QStringList{QStringLiteral("Capture.jpg")});
}

namespace {

void put16(QByteArray& bytes, quint16 value) {
  bytes.append(char(value & 0xff)).append(char(value >> 8));
}

void put32(QByteArray& bytes, quint32 value) {
  for (int i = 0; i < 4; ++i) bytes.append(char((value >> (8 * i)) & 0xff));
}

// A plain-header BMP of `bits` per pixel around `pixels` (rows as stored).
QByteArray bmpFile(int width, int height, int bits, const QByteArray& pixels) {
  QByteArray bytes("BM");
  put32(bytes, quint32(54 + pixels.size()));
  put32(bytes, 0);
  put32(bytes, 54);
  put32(bytes, 40);
  put32(bytes, quint32(width));
  put32(bytes, quint32(height));
  put16(bytes, 1);
  put16(bytes, quint16(bits));
  for (const quint32 field : {0u, quint32(pixels.size()), 2835u, 2835u, 0u, 0u})
    put32(bytes, field);
  return bytes + pixels;
}

}  // namespace

// The program's own files (24-bit) and every other variant go through the
// codec's decoder; the colours must come out the same, in true colour.
void TestPictureFile::loadsEveryBmpVariant_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QList<QRgb>>("expected");  // left to right, top to bottom
  QTest::newRow("24-bit, bottom-up, padded rows")
      << bmpFile(2, 2, 24,
                 QByteArray::fromHex("ff0000ffffff0000") + QByteArray::fromHex("0000ff00ff000000"))
      << QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
  QTest::newRow("32-bit, unused fourth byte")
      << bmpFile(2, 1, 32, QByteArray::fromHex("0000ff0000ff0000"))
      << QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 255, 0)};
  QTest::newRow("16-bit, 5 bits a colour") << bmpFile(2, 1, 16, QByteArray::fromHex("007c1f00"))
                                           << QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 0, 255)};
  QImage indexed(2, 1, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
  indexed.setPixel(0, 0, 1);
  indexed.setPixel(1, 0, 0);
  QTest::newRow("8-bit with a colour table, read as true colour")
      << encoded(indexed, "bmp") << QList<QRgb>{qRgb(0, 0, 255), qRgb(255, 0, 0)};
}

void TestPictureFile::loadsEveryBmpVariant() {
  QFETCH(QByteArray, file);
  QFETCH(QList<QRgb>, expected);
  const QString path = dir_.filePath(QStringLiteral("variant.bmp"));
  QVERIFY(writeBytes(path, file));
  const auto loaded = loadPicture(path);
  QVERIFY2(loaded.ok(), loaded.ok() ? "" : qPrintable(loaded.error().detail));
  QVERIFY(!loaded->isIndexed());
  const QImage& image = loaded->image();
  QCOMPARE(image.width() * image.height(), int(expected.size()));
  for (int i = 0; i < int(expected.size()); ++i) {
    const QRgb pixel = image.pixel(i % image.width(), i / image.width());
    QVERIFY2(near(pixel, expected[i]), qPrintable(QString::number(pixel, 16)));
  }
}

void TestPictureFile::namedPipeIsRefusedWithoutWaiting() {
  const QString path = dir_.filePath(QStringLiteral("pipe.jpg"));
  QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
  const auto loaded = loadPicture(path);  // would block forever if it opened for reading
  QVERIFY(!loaded.ok());
  QCOMPARE(loaded.error().code, FileErrc::FileNotFound);
  const auto saved = savePictureAsBmp(Picture(truecolourPattern(4, 4)), path);
  QVERIFY(!saved.ok());
  QCOMPARE(saved.error().code, FileErrc::WriteFailed);
  QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
}

// Each failure carries its cause: the system call and its errno, or the
// codec's verdict on the content.
void TestPictureFile::failuresCarryTheirCause() {
  QTemporaryDir root;
  const auto saved = savePictureAsBmp(Picture(truecolourPattern(4, 4)),
                                      root.filePath(QStringLiteral("gone/x.bmp")));
  QVERIFY(!saved.ok());
  const auto* system = std::get_if<base::SystemError>(&saved.error().cause);
  QVERIFY(system);
  QCOMPARE(system->code, ENOENT);
  QVERIFY(saved.error().detail.contains(QStringLiteral("gone")));

  const QString cut = root.filePath(QStringLiteral("cut.bmp"));
  QVERIFY(writeBytes(cut, encoded(truecolourPattern(8, 8), "bmp").left(40)));
  const auto loaded = loadPicture(cut);
  QVERIFY(!loaded.ok());
  QCOMPARE(loaded.error().code, FileErrc::InvalidData);
  QVERIFY(std::holds_alternative<imaging::ImageError>(loaded.error().cause));
}

// A saved photo never replaces a file the user made read-only (checked by the
// permission bits, so also when the tests run as root).
void TestPictureFile::durableSaveRefusesAReadOnlyFile() {
  QTemporaryDir root;
  const QString path = root.filePath(QStringLiteral("Resim001.bmp"));
  const QByteArray old = encoded(truecolourPattern(8, 8), "bmp");
  QVERIFY(writeBytes(path, old));
  QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
  const auto saved = savePictureAsBmp(Picture(truecolourPattern(20, 10)), path);
  QVERIFY(!saved.ok());
  QCOMPARE(saved.error().code, FileErrc::WriteFailed);
  QCOMPARE(readAll(path), old);
  QCOMPARE(QDir(root.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// The temporary photo takes the place of whatever file is there, as a
// rename would: a read-only file, or a link (the file it points to stays).
void TestPictureFile::scratchSaveReplacesWhatIsInThePlace_data() {
  QTest::addColumn<bool>("symlink");
  QTest::newRow("read-only old file") << false;
  QTest::newRow("symbolic link to another file") << true;
}

void TestPictureFile::scratchSaveReplacesWhatIsInThePlace() {
  QFETCH(bool, symlink);
  QTemporaryDir root;
  const QString path = root.filePath(QStringLiteral("Capture.jpg"));
  const QString elsewhere = root.filePath(QStringLiteral("elsewhere.bmp"));
  const QByteArray old = encoded(truecolourPattern(8, 8), "bmp");
  QVERIFY(writeBytes(symlink ? elsewhere : path, old));
  if (symlink)
    QVERIFY(QFile::link(elsewhere, path));
  else
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));

  const QImage photo = truecolourPattern(20, 10);
  QVERIFY(savePictureAsBmp(Picture(photo), path, Durability::Scratch).ok());
  QVERIFY(!QFileInfo(path).isSymLink());
  const auto loaded = loadPicture(path);
  QVERIFY(loaded.ok());
  QCOMPARE(loaded->image(), photo.convertToFormat(QImage::Format_RGB32));
  if (symlink) QCOMPARE(readAll(elsewhere), old);
  QCOMPARE(QDir(root.path()).entryList(QDir::Files | QDir::System).size(), symlink ? 2 : 1);
}

// A photo saved as JPEG, GIF or BMP that the codec refuses (too wide) or the
// system refuses (a folder in the way) leaves the old file and nothing else,
// and says which of the two stopped it.
void TestPictureFile::photoSaveFailureKeepsTheOldFile_data() {
  QTest::addColumn<int>("format");
  QTest::addColumn<bool>("tooWide");
  for (const auto& [name, format] : {std::pair{"JPEG", imaging::PictureFormat::Jpeg},
                                     std::pair{"GIF", imaging::PictureFormat::Gif},
                                     std::pair{"BMP", imaging::PictureFormat::Bmp}}) {
    QTest::addRow("%s wider than the codec takes", name) << int(format) << true;
    QTest::addRow("%s over a folder", name) << int(format) << false;
  }
}

void TestPictureFile::photoSaveFailureKeepsTheOldFile() {
  QFETCH(int, format);
  QFETCH(bool, tooWide);
  QTemporaryDir root;
  const QByteArray old = encoded(truecolourPattern(8, 8), "bmp");
  QVERIFY(writeBytes(root.filePath(QStringLiteral("Resim001.jpg")), old));
  QVERIFY(QDir(root.path()).mkpath(QStringLiteral("Resim002.jpg")));
  const QString path =
      root.filePath(tooWide ? QStringLiteral("Resim001.jpg") : QStringLiteral("Resim002.jpg"));
  const Picture picture(truecolourPattern(tooWide ? 16385 : 16, 2));

  const auto saved = savePicture(picture, path, static_cast<imaging::PictureFormat>(format));
  QVERIFY(!saved.ok());
  QCOMPARE(saved.error().code, FileErrc::WriteFailed);
  if (tooWide) {
    QVERIFY(std::holds_alternative<imaging::ImageError>(saved.error().cause));
  } else {
    QVERIFY(std::holds_alternative<base::SystemError>(saved.error().cause));
  }
  QCOMPARE(readAll(root.filePath(QStringLiteral("Resim001.jpg"))), old);
  QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
           (QStringList{QStringLiteral("Resim001.jpg"), QStringLiteral("Resim002.jpg")}));
}

QTEST_GUILESS_MAIN(TestPictureFile)
#include "tst_picture_file.moc"
