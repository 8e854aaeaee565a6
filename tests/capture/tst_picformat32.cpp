// The codec component as the workspace and the converter call it: quality as
// a number or as text, the four conversions file to file, the source closed on
// return, Turkish file names.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "capture/picformat32.h"

using imaging::ImageError;

namespace {

QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int openDescriptors() {
  return int(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

QImage photo() {
  QImage img(64, 48, QImage::Format_RGB32);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) % 256));
  return img;
}

}  // namespace

class TestPicFormat32 : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void numericQualityIsClamped_data();
  void numericQualityIsClamped();
  void textQuality_data();
  void textQuality();
  void fourConversionsRoundTrip();
  void ditheringCanBeTurnedOff();
  void sourceIsClosedOnReturn();
  void failureLeavesNoTarget();

 private:
  QString file(const QString& name) const { return dir_->filePath(name); }
  std::unique_ptr<QTemporaryDir> dir_;
  QString bmp_;
  PicFormat32 codec_;
};

void TestPicFormat32::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  bmp_ = file(QStringLiteral("Öğrenci fotoğrafı.bmp"));
  QVERIFY(photo().save(bmp_, "BMP"));
}

void TestPicFormat32::numericQualityIsClamped_data() {
  QTest::addColumn<qint64>("given");
  QTest::addColumn<qint64>("same");
  QTest::newRow("workspace maximum 130 is 100") << qint64(130) << qint64(100);
  QTest::newRow("far beyond the 32-bit range is 100") << (qint64(1) << 40) << qint64(100);
  QTest::newRow("zero is 1") << qint64(0) << qint64(1);
  QTest::newRow("negative is 1") << qint64(-7) << qint64(1);
}

void TestPicFormat32::numericQualityIsClamped() {
  QFETCH(qint64, given);
  QFETCH(qint64, same);
  QVERIFY(codec_.BmpToJpeg(bmp_, file("a.jpg"), given).ok());
  QVERIFY(codec_.BmpToJpeg(bmp_, file("b.jpg"), same).ok());
  QCOMPARE(contents(file("a.jpg")), contents(file("b.jpg")));
  QVERIFY(codec_.BmpToJpeg(bmp_, file("c.jpg"), qint64(50)).ok());
  QVERIFY(contents(file("a.jpg")) != contents(file("c.jpg")));
}

void TestPicFormat32::textQuality_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<qint64>("same");  // 0: refused
  QTest::newRow("scroll bar text") << "75" << qint64(75);
  QTest::newRow("typed with blanks") << " 40 " << qint64(40);
  QTest::newRow("typed above range") << "250" << qint64(100);
  QTest::newRow("typed fraction") << "60.4" << qint64(60);
  QTest::newRow("typed letters") << "yüksek" << qint64(0);
  QTest::newRow("emptied box") << "" << qint64(0);
}

void TestPicFormat32::textQuality() {
  QFETCH(QString, text);
  QFETCH(qint64, same);
  auto done = codec_.BmpToJpeg(bmp_, file("t.jpg"), text);
  if (same == 0) {
    QVERIFY(!done);
    QCOMPARE(int(done.error()), int(ImageError::BadQualityText));
    QVERIFY(!QFile::exists(file("t.jpg")));
    return;
  }
  QVERIFY(done.ok());
  QVERIFY(codec_.BmpToJpeg(bmp_, file("n.jpg"), same).ok());
  QCOMPARE(contents(file("t.jpg")), contents(file("n.jpg")));
}

void TestPicFormat32::fourConversionsRoundTrip() {
  QVERIFY(codec_.BmpToJpeg(bmp_, file("p.jpg"), qint64(95)).ok());
  QVERIFY(codec_.JpegToBmp(file("p.jpg"), file("p.bmp")).ok());
  QVERIFY(codec_.BmpToGif(bmp_, file("p.gif")).ok());
  QVERIFY(codec_.GifToBmp(file("p.gif"), file("g.bmp")).ok());
  for (const char* name : {"p.jpg", "p.bmp", "p.gif", "g.bmp"}) {
    const QImage img(file(name));
    QVERIFY2(!img.isNull(), name);
    QCOMPARE(img.size(), QSize(64, 48));
    const QRgb mid = img.pixel(32, 24), want = photo().pixel(32, 24);
    QVERIFY2(qAbs(qRed(mid) - qRed(want)) < 16 && qAbs(qGreen(mid) - qGreen(want)) < 16, name);
  }
}

void TestPicFormat32::ditheringCanBeTurnedOff() {
  QVERIFY(codec_.dithering());
  QVERIFY(codec_.BmpToGif(bmp_, file("d.gif")).ok());
  codec_.setDithering(false);
  QVERIFY(codec_.BmpToGif(bmp_, file("u.gif")).ok());
  QVERIFY(contents(file("d.gif")) != contents(file("u.gif")));
}

void TestPicFormat32::sourceIsClosedOnReturn() {
  const int before = openDescriptors();
  QVERIFY(codec_.BmpToJpeg(bmp_, file("x.jpg"), qint64(75)).ok());
  QVERIFY(!codec_.GifToBmp(bmp_, file("x.bmp")).ok());
  QCOMPARE(openDescriptors(), before);
  // The workspace deletes its temporary source right after the call.
  QVERIFY(QFile::remove(bmp_));
}

void TestPicFormat32::failureLeavesNoTarget() {
  auto done = codec_.JpegToBmp(bmp_, file("never.bmp"));
  QVERIFY(!done);
  QCOMPARE(int(done.error()), int(ImageError::NotThisType));
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

QTEST_GUILESS_MAIN(TestPicFormat32)
#include "tst_picformat32.moc"
