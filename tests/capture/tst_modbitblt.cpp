// The screen-to-picture grab: a rectangle of what a capture window shows
// becomes a true-colour picture of exactly that size, black where the window
// does not cover it, and the live capture window can be grabbed as shown.

#include <QTest>
#include <QWidget>
#include <climits>

#include "capture/modBitBlt.h"
#include "capture/modWebCam.h"
#include "platform/picture/patterns.h"
#include "support/cameras.h"
#include "support/frames.h"
#include "support/recording_capture_window.h"

using namespace picture;
using namespace picturetest;

namespace {

// A capture window in `host` that shows `pixels`.
struct ShownWindow {
  explicit ShownWindow(const QImage& pixels) : webCam(nullptr, windows.factory()) {
    windows.setPixels(pixels);
    webCam.openCaptureWindow(0, host);
  }
  const video::CaptureWindow* window() const { return webCam.captureWindow(); }

  testsupport::RecordingCaptureWindows windows;
  QWidget host;
  modWebCam webCam;
};

}  // namespace

class TestModBitBlt : public QObject {
  Q_OBJECT

 private slots:
  void grab_data();
  void grab();
  void windowPixelsOfAnyFormatGiveTrueColour_data();
  void windowPixelsOfAnyFormatGiveTrueColour();
  void nothingToGrab_data();
  void nothingToGrab();
  void noWindowGivesABlackPicture();
  void theWindowIsOnlyRead();
  void grabsTheLiveCaptureWindow();
};

void TestModBitBlt::grab_data() {
  QTest::addColumn<int>("left");
  QTest::addColumn<int>("top");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  // The window shows 320 × 240 pixels, as the workspace's capture window does.
  QTest::newRow("the whole window") << 0 << 0 << 320 << 240;
  QTest::newRow("rectangle inside the window") << 17 << 9 << 100 << 80;
  QTest::newRow("rectangle larger than the window: the rest is black") << 0 << 0 << 400 << 300;
  QTest::newRow("rectangle crossing the left and top edges") << -30 << -20 << 320 << 240;
  QTest::newRow("rectangle crossing the right and bottom edges") << 300 << 200 << 64 << 48;
  QTest::newRow("rectangle wholly outside: all black") << 500 << 500 << 32 << 24;
  QTest::newRow("extreme coordinates: all black, no overflow")
      << INT_MAX - 3 << INT_MIN << 16 << 12;
  QTest::newRow("a single pixel at the bottom-right corner") << 319 << 239 << 1 << 1;
}

void TestModBitBlt::grab() {
  QFETCH(int, left);
  QFETCH(int, top);
  QFETCH(int, width);
  QFETCH(int, height);
  const QImage shown = truecolourPattern(320, 240);
  const ShownWindow source(shown);

  const Picture grabbed = modBitBlt::grabPicture(source.window(), left, top, width, height);
  QVERIFY(grabbed.hasBitmap());
  QCOMPARE(grabbed.size(), QSize(width, height));
  QVERIFY(grabbed.palette().isEmpty());
  const QString difference = compareWithSource(grabbed.image(), shown, left, top);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestModBitBlt::windowPixelsOfAnyFormatGiveTrueColour_data() {
  QTest::addColumn<QImage>("shown");
  QTest::newRow("indexed pixels give their colours")
      << indexedPattern(64, 48, distinctColours(true));
  QTest::newRow("24-bit pixels") << truecolourPattern(64, 48).convertToFormat(
      QImage::Format_RGB888);
  QTest::newRow("opaque pixels with an alpha channel")
      << truecolourPattern(64, 48).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TestModBitBlt::windowPixelsOfAnyFormatGiveTrueColour() {
  QFETCH(QImage, shown);
  const ShownWindow source(shown);
  const Picture grabbed = modBitBlt::grabPicture(source.window(), 40, 5, 32, 24);
  QCOMPARE(grabbed.size(), QSize(32, 24));
  QCOMPARE(grabbed.image().format(), QImage::Format_RGB32);
  QVERIFY(grabbed.palette().isEmpty());
  const QString difference = compareWithSource(grabbed.image(), shown, 40, 5);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestModBitBlt::nothingToGrab_data() {
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::newRow("zero width") << 0 << 240;
  QTest::newRow("negative height") << 320 << -1;
  QTest::newRow("a side beyond what a picture can have") << 40000 << 1;
  QTest::newRow("beyond what a picture can hold") << 1000000 << 1000000;
  QTest::newRow("extreme size") << INT_MAX << INT_MAX;
}

void TestModBitBlt::nothingToGrab() {
  QFETCH(int, width);
  QFETCH(int, height);
  const ShownWindow source(truecolourPattern(32, 24));
  QVERIFY(!modBitBlt::grabPicture(source.window(), 0, 0, width, height).hasBitmap());
  QVERIFY(!modBitBlt::grabPicture(nullptr, 0, 0, width, height).hasBitmap());
}

void TestModBitBlt::noWindowGivesABlackPicture() {
  const Picture grabbed = modBitBlt::grabPicture(nullptr, 0, 0, 320, 240);
  QCOMPARE(grabbed.size(), QSize(320, 240));
  const QString difference = compareWithSource(grabbed.image(), QImage(), 0, 0);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestModBitBlt::theWindowIsOnlyRead() {
  const QImage shown = truecolourPattern(40, 30);
  const ShownWindow source(shown);
  Picture first = modBitBlt::grabPicture(source.window(), 0, 0, 40, 30);
  const Picture second = modBitBlt::grabPicture(source.window(), 0, 0, 40, 30);
  QCOMPARE(first.image(), shown);
  QCOMPARE(second.image(), shown);
  // Each picture owns its pixels: changing one leaves the window and the other alone.
  QImage changed = first.image();
  changed.fill(Qt::white);
  first = Picture(changed);
  QCOMPARE(source.window()->pixels(), shown);
  QCOMPARE(second.image(), shown);
}

void TestModBitBlt::grabsTheLiveCaptureWindow() {
  QWidget host;
  host.resize(320, 240);
  modWebCam webCam(testsupport::fakeCameras("Kamera A"));
  webCam.openCaptureWindow(0, host);
  const video::CaptureWindow* window = webCam.captureWindow();
  QVERIFY(window);
  QTRY_VERIFY_WITH_TIMEOUT(testsupport::hasPicture(window->pixels()), 10000);

  const Picture whole = modBitBlt::grabPicture(window, 0, 0, 320, 240);
  const Picture corner = modBitBlt::grabPicture(window, 160, 120, 320, 240);
  const QImage shown = window->pixels();

  QCOMPARE(shown.size(), QSize(320, 240));
  QCOMPARE(whole.image(), shown);
  QVERIFY(whole.palette().isEmpty());
  const QString difference = compareWithSource(corner.image(), shown, 160, 120);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_MAIN(TestModBitBlt)
#include "tst_modbitblt.moc"
