// The screen-to-picture grab: a rectangle of a device context becomes a
// picture of exactly that size, with the palette only where the pixels are
// palette indices, and the live capture window can be grabbed as shown.

#include <QTest>
#include <QWidget>

#include "capture/getdc.h"
#include "capture/modBitBlt.h"
#include "capture/modWebCam.h"
#include "platform/picture/patterns.h"
#include "support/frames.h"

using namespace picture;
using namespace picturetest;

class TestModBitBlt : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void grab_data();
  void grab();
  void grabFromA256ColourSource_data();
  void grabFromA256ColourSource();
  void nothingToGrab_data();
  void nothingToGrab();
  void sourceStaysTheCallers();
  void unknownWindowGivesBlackPicture();
  void grabsTheLiveCaptureWindow();
};

void TestModBitBlt::initTestCase() {
  qputenv("TANDEO_FAKE_CAMERAS", "Kamera A");
}

void TestModBitBlt::grab_data() {
  QTest::addColumn<int>("left");
  QTest::addColumn<int>("top");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  // The source shows 320 × 240 pixels, as the capture window does.
  QTest::newRow("the whole window") << 0 << 0 << 320 << 240;
  QTest::newRow("rectangle inside the window") << 17 << 9 << 100 << 80;
  QTest::newRow("rectangle larger than the window: the rest is black") << 0 << 0 << 400 << 300;
  QTest::newRow("rectangle crossing the left and top edges") << -30 << -20 << 320 << 240;
  QTest::newRow("rectangle crossing the right and bottom edges") << 300 << 200 << 64 << 48;
  QTest::newRow("rectangle wholly outside: all black") << 500 << 500 << 32 << 24;
}

void TestModBitBlt::grab() {
  QFETCH(int, left);
  QFETCH(int, top);
  QFETCH(int, width);
  QFETCH(int, height);
  const QImage shown = truecolourPattern(320, 240);
  const DeviceContext source = DeviceContext::forDisplay(shown);

  const Picture grabbed = modBitBlt::grabPicture(source, left, top, width, height);
  QVERIFY(grabbed.hasBitmap());
  QCOMPARE(grabbed.size(), QSize(width, height));
  QVERIFY(grabbed.palette().isEmpty());
  const QString difference = compareWithSource(grabbed.image(), shown, left, top);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestModBitBlt::grabFromA256ColourSource_data() {
  QTest::addColumn<QList<QRgb>>("colours");
  QTest::addColumn<int>("left");
  QList<QRgb> sixteenPadded = distinctColours(true).mid(0, 16);
  sixteenPadded.resize(256, qRgb(0, 0, 0));
  QTest::newRow("full system palette") << distinctColours(true) << 10;
  QTest::newRow("full system palette, rectangle partly outside") << distinctColours(true) << 40;
  QTest::newRow("short colour table: the system palette is padded")
      << distinctColours(true).mid(0, 16) << 10;
}

void TestModBitBlt::grabFromA256ColourSource() {
  QFETCH(QList<QRgb>, colours);
  QFETCH(int, left);
  const QImage shown = indexedPattern(64, 48, colours);
  const DeviceContext source = DeviceContext::forDisplay(shown);
  std::vector<PaletteEntry> system(256);
  QCOMPARE(GetSystemPaletteEntries(source, 0, system), 256u);

  const Picture grabbed = modBitBlt::grabPicture(source, left, 5, 32, 24);
  QCOMPARE(grabbed.size(), QSize(32, 24));
  QVERIFY(grabbed.isIndexed());
  const QList<QRgb> palette = grabbed.palette();
  QCOMPARE(palette.size(), 256);
  for (int i = 0; i < 256; ++i)
    QCOMPARE(palette[i], qRgb(system[i].red, system[i].green, system[i].blue));
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 32 && left + x < 64; ++x)
      QCOMPARE(grabbed.image().pixelIndex(x, y), shown.pixelIndex(left + x, y + 5));
  const QString difference = compareWithSource(grabbed.image(), shown, left, 5);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestModBitBlt::nothingToGrab_data() {
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::newRow("zero width") << 0 << 240;
  QTest::newRow("negative height") << 320 << -1;
  QTest::newRow("beyond what a picture can hold") << 1000000 << 1000000;
}

void TestModBitBlt::nothingToGrab() {
  QFETCH(int, width);
  QFETCH(int, height);
  const DeviceContext source = DeviceContext::forDisplay(truecolourPattern(32, 24));
  QVERIFY(!modBitBlt::grabPicture(source, 0, 0, width, height).hasBitmap());
}

void TestModBitBlt::sourceStaysTheCallers() {
  const QImage shown = truecolourPattern(40, 30);
  const DeviceContext source = DeviceContext::forDisplay(shown);
  const Picture first = modBitBlt::grabPicture(source, 0, 0, 40, 30);
  const Picture second = modBitBlt::grabPicture(source, 0, 0, 40, 30);
  QVERIFY(source.isDisplay());
  QCOMPARE(source.pixels(), shown);
  QCOMPARE(first.image(), shown);
  QCOMPARE(second.image(), shown);
}

void TestModBitBlt::unknownWindowGivesBlackPicture() {
  const video::HWND nowhere = 0x7ffffff0;
  picture::DeviceContext dc = capture::GetDC(nowhere);
  const Picture grabbed = modBitBlt::grabPicture(dc, 0, 0, 320, 240);
  QCOMPARE(capture::ReleaseDC(nowhere, std::move(dc)), 1);
  QCOMPARE(grabbed.size(), QSize(320, 240));
  const QString difference = compareWithSource(grabbed.image(), QImage(), 0, 0);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestModBitBlt::grabsTheLiveCaptureWindow() {
  QWidget host;
  host.resize(320, 240);
  modWebCam::openCaptureWindow(0, host);
  const video::HWND window = modWebCam::hwndCapture;
  QTRY_VERIFY_WITH_TIMEOUT(testsupport::hasPicture(video::windowPixels(window)), 10000);

  picture::DeviceContext dc = capture::GetDC(window);
  const Picture whole = modBitBlt::grabPicture(dc, 0, 0, 320, 240);
  const Picture corner = modBitBlt::grabPicture(dc, 160, 120, 320, 240);
  const QImage shown = video::windowPixels(window);
  QCOMPARE(capture::ReleaseDC(window, std::move(dc)), 1);
  QVERIFY(dc.isNull());
  modWebCam::closeCaptureWindow();

  QCOMPARE(shown.size(), QSize(320, 240));
  QCOMPARE(whole.image(), shown);
  QVERIFY(whole.palette().isEmpty());
  const QString difference = compareWithSource(corner.image(), shown, 160, 120);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_MAIN(TestModBitBlt)
#include "tst_modbitblt.moc"
