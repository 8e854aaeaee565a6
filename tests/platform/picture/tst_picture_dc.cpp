// Device contexts, bitmaps and palettes: what the grab of a window's pixels
// relies on, one platform call at a time.

#include <QTest>
#include <climits>

#include "platform/picture/bitblt.h"
#include "platform/picture/devicecontext.h"
#include "platform/picture/patterns.h"
#include "platform/picture/picturefrombitmap.h"

using namespace picture;
using namespace picturetest;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

Bitmap whiteBitmap(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kWhite);
  return Bitmap(image);
}

}  // namespace

class TestDeviceContext : public QObject {
  Q_OBJECT

 private slots:
  void rasterCaps_data();
  void rasterCaps();
  void systemPaletteIsTheSourceColoursPaddedTo256();
  void selectObjectHandsBackWhatWasSelected();
  void bitBlt_data();
  void bitBlt();
  void bitBltBetweenIndexedSurfacesCopiesIndices();
  void bitBltRefuses_data();
  void bitBltRefuses();
  void createPalette_data();
  void createPalette();
  void realizePaletteColoursTheSelectedBitmap();
  void pictureFromBitmap_data();
  void pictureFromBitmap();
  void pictureStorage_data();
  void pictureStorage();
};

void TestDeviceContext::rasterCaps_data() {
  QTest::addColumn<QImage>("shown");
  QTest::addColumn<bool>("asMemoryContext");
  QTest::addColumn<bool>("palette");

  const QImage indexed = indexedPattern(8, 8, distinctColours(true));
  QTest::newRow("indexed 8-bit pixels are a 256-colour palette device") << indexed << false << true;
  QTest::newRow("memory context takes the palette model of its source") << indexed << true << true;
  QTest::newRow("true-colour pixels have no palette") << truecolourPattern(8, 8) << false << false;
  QTest::newRow("memory context of a true-colour source has no palette")
      << truecolourPattern(8, 8) << true << false;
  QTest::newRow("monochrome pixels are not a 256-colour device")
      << QImage(8, 8, QImage::Format_Mono) << false << false;
  QTest::newRow("a window without pixels has no palette") << QImage() << false << false;
}

void TestDeviceContext::rasterCaps() {
  QFETCH(QImage, shown);
  QFETCH(bool, asMemoryContext);
  QFETCH(bool, palette);
  const DeviceContext display = DeviceContext::forDisplay(shown);
  const DeviceContext dc = asMemoryContext ? CreateCompatibleDC(display) : DeviceContext();
  const DeviceContext& asked = asMemoryContext ? dc : display;

  QCOMPARE((GetDeviceCaps(asked, RASTERCAPS) & RC_PALETTE) != 0, palette);
  QCOMPARE(GetDeviceCaps(asked, SIZEPALETTE), palette ? 256 : 0);
  const Bitmap bitmap = CreateCompatibleBitmap(asked, 3, 2);
  QCOMPARE(bitmap.pixels().format(), palette ? QImage::Format_Indexed8 : QImage::Format_RGB32);
  QCOMPARE(bitmap.pixels().pixel(2, 1), qRgb(0, 0, 0));
}

void TestDeviceContext::systemPaletteIsTheSourceColoursPaddedTo256() {
  const QList<QRgb> sixteen = distinctColours(false).mid(0, 16);
  const DeviceContext dc = DeviceContext::forDisplay(indexedPattern(4, 4, sixteen));

  std::vector<PaletteEntry> entries(256, PaletteEntry{9, 9, 9, 9});
  QCOMPARE(GetSystemPaletteEntries(dc, 0, entries), 256u);
  for (int i = 0; i < 256; ++i) {
    const QRgb want = i < 16 ? sixteen[i] : qRgb(0, 0, 0);
    QCOMPARE(qRgb(entries[i].red, entries[i].green, entries[i].blue), want);
    QCOMPARE(entries[i].flags, std::uint8_t(0));
  }

  std::vector<PaletteEntry> tail(10);
  QCOMPARE(GetSystemPaletteEntries(dc, 250, tail), 6u);
  QCOMPARE(GetSystemPaletteEntries(dc, 256, tail), 0u);
  QCOMPARE(GetSystemPaletteEntries(DeviceContext::forDisplay(truecolourPattern(4, 4)), 0, tail),
           0u);
}

void TestDeviceContext::selectObjectHandsBackWhatWasSelected() {
  DeviceContext memory = CreateCompatibleDC(DeviceContext::forDisplay(truecolourPattern(4, 4)));
  Bitmap first = whiteBitmap(5, 5);
  const qint64 firstKey = first.pixels().cacheKey();

  const Bitmap stock = SelectObject(memory, std::move(first));
  QVERIFY(stock.isNull());
  QVERIFY(first.isNull());
  const Bitmap back = SelectObject(memory, whiteBitmap(2, 2));
  QCOMPARE(back.pixels().cacheKey(), firstKey);

  DeviceContext display = DeviceContext::forDisplay(truecolourPattern(4, 4));
  const Bitmap refused = SelectObject(display, whiteBitmap(3, 3));
  QCOMPARE(refused.width(), 3);
  QVERIFY(DeleteDC(std::move(memory)));
  QVERIFY(memory.isNull());
  QVERIFY(!DeleteDC(std::move(memory)));
}

void TestDeviceContext::bitBlt_data() {
  QTest::addColumn<QImage>("source");
  QTest::addColumn<int>("x");
  QTest::addColumn<int>("y");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::addColumn<int>("sourceX");
  QTest::addColumn<int>("sourceY");

  const QImage rgb = truecolourPattern(40, 30);
  QTest::newRow("rectangle inside the source") << rgb << 0 << 0 << 16 << 12 << 5 << 4;
  QTest::newRow("beyond the left and top edges is black") << rgb << 0 << 0 << 16 << 12 << -6 << -3;
  QTest::newRow("beyond the right and bottom edges is black")
      << rgb << 0 << 0 << 16 << 12 << 30 << 25;
  QTest::newRow("wholly outside the source is black") << rgb << 0 << 0 << 16 << 12 << 100 << 100;
  QTest::newRow("source without pixels is black") << QImage() << 0 << 0 << 16 << 12 << 0 << 0;
  QTest::newRow("target offset is clipped at the target's edges")
      << rgb << 10 << 8 << 16 << 12 << 0 << 0;
  QTest::newRow("negative target offset") << rgb << -4 << -2 << 16 << 12 << 3 << 3;
  QTest::newRow("part of the target only") << rgb << 3 << 2 << 5 << 4 << 1 << 1;
  QTest::newRow("extreme source coordinates do not overflow")
      << rgb << 0 << 0 << 16 << 12 << INT_MAX - 3 << INT_MIN;
  QTest::newRow("extreme size covers the target")
      << rgb << -5 << -5 << INT_MAX << INT_MAX << 0 << 0;
  QTest::newRow("indexed source into a true-colour bitmap converts colours")
      << indexedPattern(40, 30, distinctColours(true)) << 0 << 0 << 16 << 12 << 30 << 2;
}

void TestDeviceContext::bitBlt() {
  QFETCH(QImage, source);
  QFETCH(int, x);
  QFETCH(int, y);
  QFETCH(int, width);
  QFETCH(int, height);
  QFETCH(int, sourceX);
  QFETCH(int, sourceY);
  const DeviceContext display = DeviceContext::forDisplay(source);
  DeviceContext memory = CreateCompatibleDC(DeviceContext());
  const Bitmap stock = SelectObject(memory, whiteBitmap(16, 12));

  QVERIFY(BitBlt(memory, x, y, width, height, display, sourceX, sourceY, SRCCOPY));

  const QImage target = memory.pixels();
  const qint64 originX = qint64(sourceX) - x;
  const qint64 originY = qint64(sourceY) - y;
  for (int ty = 0; ty < target.height(); ++ty)
    for (int tx = 0; tx < target.width(); ++tx) {
      const bool inside = tx >= x && tx < qint64(x) + width && ty >= y && ty < qint64(y) + height;
      const QRgb want = inside ? expectedColour(source, originX, originY, tx, ty) : kWhite;
      if (target.pixel(tx, ty) != want)
        QFAIL(qPrintable(QStringLiteral("pixel (%1, %2)").arg(tx).arg(ty)));
    }
}

void TestDeviceContext::bitBltBetweenIndexedSurfacesCopiesIndices() {
  const QImage source = indexedPattern(20, 20, distinctColours(true));
  const DeviceContext display = DeviceContext::forDisplay(source);
  DeviceContext memory = CreateCompatibleDC(display);
  const Bitmap stock = SelectObject(memory, CreateCompatibleBitmap(display, 8, 8));

  QVERIFY(BitBlt(memory, 0, 0, 8, 8, display, 6, 7, SRCCOPY));
  const QImage& copy = memory.pixels();
  QCOMPARE(copy.format(), QImage::Format_Indexed8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) QCOMPARE(copy.pixelIndex(x, y), source.pixelIndex(x + 6, y + 7));
}

void TestDeviceContext::bitBltRefuses_data() {
  QTest::addColumn<QString>("target");
  QTest::addColumn<int>("width");
  QTest::addColumn<uint>("operation");
  QTest::newRow("raster operation other than a copy") << "memory" << 4 << 0x8800C6u;
  QTest::newRow("display context as target") << "display" << 4 << uint(SRCCOPY);
  QTest::newRow("memory context holding the stock bitmap") << "stock" << 4 << uint(SRCCOPY);
  QTest::newRow("empty rectangle") << "memory" << 0 << uint(SRCCOPY);
}

void TestDeviceContext::bitBltRefuses() {
  QFETCH(QString, target);
  QFETCH(int, width);
  QFETCH(uint, operation);
  const DeviceContext source = DeviceContext::forDisplay(truecolourPattern(8, 8));
  DeviceContext dc = target == "display" ? DeviceContext::forDisplay(truecolourPattern(8, 8))
                                         : CreateCompatibleDC(source);
  if (target == "memory") (void)SelectObject(dc, whiteBitmap(4, 4));
  const QImage before = dc.pixels();

  QVERIFY(!BitBlt(dc, 0, 0, width, 4, source, 0, 0, operation));
  QCOMPARE(dc.pixels(), before);
}

void TestDeviceContext::createPalette_data() {
  QTest::addColumn<int>("version");
  QTest::addColumn<int>("count");
  QTest::addColumn<bool>("made");
  QTest::newRow("256 entries") << int(kPaletteVersion) << 256 << true;
  QTest::newRow("a single entry") << int(kPaletteVersion) << 1 << true;
  QTest::newRow("another version") << 0x200 << 256 << false;
  QTest::newRow("no entries") << int(kPaletteVersion) << 0 << false;
  QTest::newRow("more than an 8-bit index reaches") << int(kPaletteVersion) << 257 << false;
}

void TestDeviceContext::createPalette() {
  QFETCH(int, version);
  QFETCH(int, count);
  QFETCH(bool, made);
  LogPalette logical{std::uint16_t(version), std::vector<PaletteEntry>(std::size_t(count))};
  for (int i = 0; i < count; ++i)
    logical.entries[std::size_t(i)] = {std::uint8_t(i), 7, std::uint8_t(255 - i % 256), 0};

  const Palette palette = CreatePalette(logical);
  QCOMPARE(!palette.isNull(), made);
  if (made) {
    QCOMPARE(palette.colours().size(), count);
    QCOMPARE(palette.colours().last(), qRgb((count - 1) % 256, 7, 255 - (count - 1) % 256));
  }
}

void TestDeviceContext::realizePaletteColoursTheSelectedBitmap() {
  const DeviceContext display =
      DeviceContext::forDisplay(indexedPattern(4, 4, distinctColours(true)));
  DeviceContext memory = CreateCompatibleDC(display);
  Bitmap stock = SelectObject(memory, CreateCompatibleBitmap(display, 4, 4));
  QList<QRgb> reds;
  for (int i = 0; i < 256; ++i) reds.append(qRgb(i, 0, 0));
  const Palette defaultPalette = SelectPalette(memory, Palette(reds));
  QVERIFY(defaultPalette.isNull());

  QCOMPARE(RealizePalette(memory), 256u);
  const Bitmap bitmap = SelectObject(memory, std::move(stock));
  QCOMPARE(bitmap.pixels().colorTable(), reds);

  DeviceContext trueColour = CreateCompatibleDC(DeviceContext::forDisplay(truecolourPattern(4, 4)));
  (void)SelectPalette(trueColour, Palette(reds));
  QCOMPARE(RealizePalette(trueColour), 0u);
}

void TestDeviceContext::pictureFromBitmap_data() {
  QTest::addColumn<QImage>("pixels");
  QTest::addColumn<QList<QRgb>>("palette");
  QTest::addColumn<QList<QRgb>>("expectedPalette");

  const QList<QRgb> colours = distinctColours(true);
  const QList<QRgb> few = colours.mid(0, 3);
  QList<QRgb> fewPadded = few;
  fewPadded.resize(256, qRgb(0, 0, 0));
  const QImage indexed = indexedPattern(6, 5, distinctColours(false));
  QTest::newRow("indexed bitmap takes the palette's colours") << indexed << colours << colours;
  QTest::newRow("short palette is padded with black to 256 entries")
      << indexedPattern(6, 5, few) << few << fewPadded;
  QTest::newRow("indexed bitmap without a palette keeps its colours")
      << indexed << QList<QRgb>() << distinctColours(false);
  QTest::newRow("true-colour bitmap carries no palette")
      << truecolourPattern(6, 5) << colours << QList<QRgb>();
  QTest::newRow("no bitmap, no picture") << QImage() << colours << QList<QRgb>();
}

void TestDeviceContext::pictureFromBitmap() {
  QFETCH(QImage, pixels);
  QFETCH(QList<QRgb>, palette);
  QFETCH(QList<QRgb>, expectedPalette);
  Bitmap bitmap(pixels);
  Palette owned(palette);

  const Picture result = picture::pictureFromBitmap(std::move(bitmap), std::move(owned));
  QVERIFY(bitmap.isNull());
  QVERIFY(owned.isNull());
  QCOMPARE(result.hasBitmap(), !pixels.isNull());
  QCOMPARE(result.size(), pixels.size());
  QCOMPARE(result.palette(), expectedPalette);
  if (!pixels.isNull() && pixels.format() == QImage::Format_Indexed8) {
    for (int y = 0; y < pixels.height(); ++y)
      for (int x = 0; x < pixels.width(); ++x)
        QCOMPARE(result.image().pixelIndex(x, y), pixels.pixelIndex(x, y));
  } else if (!pixels.isNull()) {
    QCOMPARE(result.image(), pixels);
  }
}

void TestDeviceContext::pictureStorage_data() {
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

void TestDeviceContext::pictureStorage() {
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

QTEST_GUILESS_MAIN(TestDeviceContext)
#include "tst_picture_dc.moc"
