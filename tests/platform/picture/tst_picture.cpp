// Pictures: the storage formats a picture keeps its pixels in, and the
// picture-clip component, which gives the pixels under a clip rectangle as a
// new picture, unscaled, whatever the rectangle's position.

#include <QTest>
#include <climits>

#include "platform/picture/patterns.h"
#include "platform/picture/pictureclip.h"

using namespace picture;
using namespace picturetest;

class TestPicture : public QObject {
  Q_OBJECT

 private slots:
  void pictureStorage_data();
  void pictureStorage();
  void clip_data();
  void clip();
  void indexedPictureKeepsPaletteAndIndices();
  void outsideOfAnIndexedPictureWithoutBlack_data();
  void outsideOfAnIndexedPictureWithoutBlack();
  void noPicture_data();
  void noPicture();
};

void TestPicture::clip_data() {
  QTest::addColumn<int>("x");
  QTest::addColumn<int>("y");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");

  // The photo is 320 × 240, as the capture window's host box.
  QTest::newRow("frame inside the photo") << 100 << 60 << 105 << 120;
  QTest::newRow("frame at the photo's top-left corner") << 0 << 0 << 105 << 120;
  QTest::newRow("frame filling the photo") << 0 << 0 << 320 << 240;
  QTest::newRow("single pixel at the bottom-right corner") << 319 << 239 << 1 << 1;
  QTest::newRow("crossing the left and top edges: outside is black") << -20 << -10 << 105 << 120;
  QTest::newRow("crossing the right and bottom edges: outside is black")
      << 280 << 200 << 105 << 120;
  QTest::newRow("larger than the photo on every side") << -5 << -5 << 330 << 250;
  QTest::newRow("wholly outside: all black") << 400 << 300 << 105 << 120;
  QTest::newRow("extreme offsets: all black, no overflow") << INT_MAX << INT_MIN << 10 << 10;
}

void TestPicture::clip() {
  QFETCH(int, x);
  QFETCH(int, y);
  QFETCH(int, width);
  QFETCH(int, height);
  const QImage photo = truecolourPattern(320, 240);
  PictureClip pctResim;
  pctResim.setPicture(Picture(photo));
  pctResim.setClipX(x);
  pctResim.setClipY(y);
  pctResim.setClipWidth(width);
  pctResim.setClipHeight(height);

  const Picture cut = pctResim.clip();
  QCOMPARE(cut.size(), QSize(width, height));
  QVERIFY(cut.palette().isEmpty());
  const QString difference = compareWithSource(cut.image(), photo, x, y);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
  QCOMPARE(pctResim.picture().image(), photo);  // the source is left as it was
}

void TestPicture::indexedPictureKeepsPaletteAndIndices() {
  const QImage photo = indexedPattern(50, 40, distinctColours(true));
  PictureClip pctResim;
  pctResim.setPicture(Picture(photo));
  pctResim.setClipX(30);
  pctResim.setClipY(10);
  pctResim.setClipWidth(30);
  pctResim.setClipHeight(20);

  const Picture cut = pctResim.clip();
  QCOMPARE(cut.palette(), photo.colorTable());
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      QCOMPARE(cut.image().pixelIndex(x, y), photo.pixelIndex(x + 30, y + 10));
  const QString difference = compareWithSource(cut.image(), photo, 30, 10);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestPicture::outsideOfAnIndexedPictureWithoutBlack_data() {
  QTest::addColumn<QList<QRgb>>("colours");
  QTest::addColumn<QRgb>("outside");
  QTest::addColumn<int>("paletteSize");
  const QList<QRgb> full = distinctColours(false);  // darkest: index 0, (0, 255, 10)
  QTest::newRow("room in the palette: black is added") << full.mid(0, 16) << qRgb(0, 0, 0) << 17;
  QTest::newRow("full palette: the darkest entry") << full << full[0] << 256;
}

void TestPicture::outsideOfAnIndexedPictureWithoutBlack() {
  QFETCH(QList<QRgb>, colours);
  QFETCH(QRgb, outside);
  QFETCH(int, paletteSize);
  PictureClip pctResim;
  pctResim.setPicture(Picture(indexedPattern(10, 10, colours)));
  pctResim.setClipX(5);
  pctResim.setClipY(5);
  pctResim.setClipWidth(10);
  pctResim.setClipHeight(10);

  const Picture cut = pctResim.clip();
  QCOMPARE(cut.palette().size(), paletteSize);
  QCOMPARE(cut.image().pixel(9, 9), outside);
  QCOMPARE(cut.image().pixel(0, 0), colours[(5 + 15) % colours.size()]);
}

void TestPicture::noPicture_data() {
  QTest::addColumn<bool>("withSource");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::newRow("zero width") << true << 0 << 120;
  QTest::newRow("zero height") << true << 105 << 0;
  QTest::newRow("negative width") << true << -105 << 120;
  QTest::newRow("no source picture") << false << 105 << 120;
  QTest::newRow("beyond the size limit") << true << 100000 << 100000;
  QTest::newRow("largest int sides") << true << INT_MAX << INT_MAX;
}

void TestPicture::noPicture() {
  QFETCH(bool, withSource);
  QFETCH(int, width);
  QFETCH(int, height);
  PictureClip pctResim;
  if (withSource) pctResim.setPicture(Picture(truecolourPattern(32, 24)));
  pctResim.setClipWidth(width);
  pctResim.setClipHeight(height);
  QVERIFY(!pctResim.clip().hasBitmap());
}

void TestPicture::pictureStorage_data() {
  QTest::addColumn<QImage>("given");
  QTest::addColumn<int>("format");
  QTest::addColumn<int>("paletteSize");

  QImage mono(9, 3, QImage::Format_Mono);
  mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  mono.fill(1);
  mono.setPixel(4, 1, 0);
  QImage bare(4, 4, QImage::Format_Indexed8);
  bare.fill(77);
  QImage translucent(4, 4, QImage::Format_ARGB32_Premultiplied);
  translucent.fill(qRgba(0, 0, 0, 0));
  translucent.setPixel(1, 1, qRgba(100, 50, 25, 255));

  QTest::newRow("monochrome becomes indexed with its two colours")
      << mono << int(QImage::Format_Indexed8) << 2;
  QTest::newRow("indexed without colours reads as grey")
      << bare << int(QImage::Format_Indexed8) << 256;
  QTest::newRow("grey 8-bit is true colour without palette")
      << truecolourPattern(4, 4).convertToFormat(QImage::Format_Grayscale8)
      << int(QImage::Format_RGB32) << 0;
  QTest::newRow("24-bit is true colour")
      << truecolourPattern(5, 3).convertToFormat(QImage::Format_RGB888) << int(QImage::Format_RGB32)
      << 0;
  QTest::newRow("transparency is kept") << translucent << int(QImage::Format_ARGB32) << 0;
}

void TestPicture::pictureStorage() {
  QFETCH(QImage, given);
  QFETCH(int, format);
  QFETCH(int, paletteSize);
  const Picture stored(given);
  QCOMPARE(int(stored.image().format()), format);
  QCOMPARE(stored.palette().size(), paletteSize);
  const bool bareIndexed = given.format() == QImage::Format_Indexed8 && given.colorCount() == 0;
  for (int y = 0; y < given.height(); ++y)
    for (int x = 0; x < given.width(); ++x) {
      const int grey = bareIndexed ? given.pixelIndex(x, y) : 0;
      const QRgb want = bareIndexed ? qRgb(grey, grey, grey) : given.pixel(x, y);
      QCOMPARE(stored.image().pixel(x, y), want);
    }
}

QTEST_APPLESS_MAIN(TestPicture)
#include "tst_picture.moc"
