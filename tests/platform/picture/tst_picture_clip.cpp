// The picture-clip component: the pixels under a clip rectangle as a new
// picture, unscaled, whatever the rectangle's position.

#include <QTest>
#include <climits>

#include "platform/picture/patterns.h"
#include "platform/picture/pictureclip.h"

using namespace picture;
using namespace picturetest;

class TestPictureClip : public QObject {
  Q_OBJECT

 private slots:
  void clip_data();
  void clip();
  void indexedPictureKeepsPaletteAndIndices();
  void outsideOfAnIndexedPictureWithoutBlack_data();
  void outsideOfAnIndexedPictureWithoutBlack();
  void noPicture_data();
  void noPicture();
};

void TestPictureClip::clip_data() {
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

void TestPictureClip::clip() {
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

void TestPictureClip::indexedPictureKeepsPaletteAndIndices() {
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

void TestPictureClip::outsideOfAnIndexedPictureWithoutBlack_data() {
  QTest::addColumn<QList<QRgb>>("colours");
  QTest::addColumn<QRgb>("outside");
  QTest::addColumn<int>("paletteSize");
  const QList<QRgb> full = distinctColours(false);  // darkest: index 0, (0, 255, 10)
  QTest::newRow("room in the palette: black is added") << full.mid(0, 16) << qRgb(0, 0, 0) << 17;
  QTest::newRow("full palette: the darkest entry") << full << full[0] << 256;
}

void TestPictureClip::outsideOfAnIndexedPictureWithoutBlack() {
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

void TestPictureClip::noPicture_data() {
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

void TestPictureClip::noPicture() {
  QFETCH(bool, withSource);
  QFETCH(int, width);
  QFETCH(int, height);
  PictureClip pctResim;
  if (withSource) pctResim.setPicture(Picture(truecolourPattern(32, 24)));
  pctResim.setClipWidth(width);
  pctResim.setClipHeight(height);
  QVERIFY(!pctResim.clip().hasBitmap());
}

QTEST_APPLESS_MAIN(TestPictureClip)
#include "tst_picture_clip.moc"
