// The synthetic camera: a deterministic picture, its formats and controls,
// and a stream that paces itself at 30 frames per second.

#include <linux/videodev2.h>

#include <QTest>

#include "platform/video/capturestream.h"
#include "platform/video/jpegcodec.h"
#include "platform/video/syntheticcamera.h"
#include "platform/video/testpattern.h"

using namespace video;

namespace {

QRgb patternPixel(const std::vector<std::uint8_t>& rgb, int x, int y) {
  const auto* p = &rgb[(static_cast<std::size_t>(y) * kPatternWidth + x) * 3];
  return qRgb(p[0], p[1], p[2]);
}

}  // namespace

class TestSyntheticCamera : public QObject {
  Q_OBJECT

 private slots:
  void sameFrameNumberSameBytes_data();
  void sameFrameNumberSameBytes();
  void frameNumberIsDrawnAsBlocks();
  void squareMovesBetweenFrames();
  void controlsChangeThePicture();
  void controlsAreClampedAndKnown();
  void offersMjpegAndYuyvAt640x480();
  void providerNamesAndNumbers();
  void streamDeliversSuccessiveFrames();
};

void TestSyntheticCamera::sameFrameNumberSameBytes_data() {
  QTest::addColumn<quint32>("fourcc");
  QTest::newRow("MJPEG") << quint32(V4L2_PIX_FMT_MJPEG);
  QTest::newRow("YUYV") << quint32(V4L2_PIX_FMT_YUYV);
}

void TestSyntheticCamera::sameFrameNumberSameBytes() {
  QFETCH(quint32, fourcc);
  const auto first = syntheticFrameBytes(fourcc, 41);
  QVERIFY(!first.empty());
  QVERIFY(first == syntheticFrameBytes(fourcc, 41));
  QVERIFY(first != syntheticFrameBytes(fourcc, 42));
  if (fourcc == V4L2_PIX_FMT_YUYV) QCOMPARE(first.size(), std::size_t(640 * 480 * 2));
  if (fourcc == V4L2_PIX_FMT_MJPEG) QCOMPARE(decodeJpeg(first).size(), QSize(640, 480));
}

void TestSyntheticCamera::frameNumberIsDrawnAsBlocks() {
  // 16 blocks of 40 pixels along the bottom band, most significant bit first.
  const auto rgb = patternRgb(0b101);
  const int y = kPatternHeight - 10;
  QVERIFY(qGray(patternPixel(rgb, 620, y)) > 200);  // bit 0
  QVERIFY(qGray(patternPixel(rgb, 580, y)) < 40);   // bit 1
  QVERIFY(qGray(patternPixel(rgb, 540, y)) > 200);  // bit 2
  QVERIFY(qGray(patternPixel(rgb, 20, y)) < 40);    // bit 15
}

void TestSyntheticCamera::squareMovesBetweenFrames() {
  const auto a = squarePosition(10);
  const auto b = squarePosition(11);
  QVERIFY(a.x != b.x || a.y != b.y);
  for (std::uint64_t n : {0ull, 90ull, 1000ull, 123456ull}) {
    const auto p = squarePosition(n);
    QVERIFY(p.x >= 0 && p.x + kSquareSide <= kPatternWidth);
    QVERIFY(p.y >= 0 && p.y + kSquareSide <= kPatternHeight);
    const auto rgb = patternRgb(n);
    QCOMPARE(patternPixel(rgb, p.x + kSquareSide / 2, p.y + kSquareSide / 2), qRgb(255, 128, 0));
  }
}

void TestSyntheticCamera::controlsChangeThePicture() {
  // A point of the first colour bar, away from the square's path in frame 0.
  const QRgb plain = patternPixel(patternRgb(0), 40, 200);
  const QRgb brighter = patternPixel(patternRgb(0, {40, 100}), 40, 200);
  const QRgb flatter = patternPixel(patternRgb(0, {0, 0}), 40, 200);
  QCOMPARE(qRed(brighter), qRed(plain) + 40);
  QCOMPARE(qRed(flatter), 128);
}

void TestSyntheticCamera::controlsAreClampedAndKnown() {
  SyntheticCamera camera;
  const auto controls = camera.controls();
  QCOMPARE(controls.size(), std::size_t(2));
  QVERIFY(camera.setControl(V4L2_CID_BRIGHTNESS, 500));
  QVERIFY(camera.setControl(V4L2_CID_CONTRAST, -3));
  const auto after = camera.controls();
  QCOMPARE(after[0].value, 64);
  QCOMPARE(after[1].value, 0);
  QVERIFY(!camera.setControl(V4L2_CID_HUE, 1));
}

void TestSyntheticCamera::offersMjpegAndYuyvAt640x480() {
  SyntheticCamera camera;
  const auto options = camera.formatOptions();
  QCOMPARE(options.size(), std::size_t(2));
  QCOMPARE(options[0], (FormatOption{V4L2_PIX_FMT_MJPEG, 640, 480}));
  QCOMPARE(options[1], (FormatOption{V4L2_PIX_FMT_YUYV, 640, 480}));
  QVERIFY(!camera.start());  // no format yet
  const auto yuyv = camera.setFormat(options[1]);
  QVERIFY(yuyv);
  QCOMPARE(yuyv->bytesPerLine, 1280u);
  QCOMPARE(yuyv->intervalDenominator, 30u);
}

void TestSyntheticCamera::providerNamesAndNumbers() {
  SyntheticProvider provider({" Kamera A ", "Kamera B"});
  const auto drivers = provider.drivers();
  QCOMPARE(drivers.size(), std::size_t(2));
  QCOMPARE(drivers[0].name, std::string(" Kamera A "));
  QVERIFY(provider.open(1));
  QVERIFY(!provider.open(2));
  QVERIFY(!provider.open(-1));
}

void TestSyntheticCamera::streamDeliversSuccessiveFrames() {
  auto camera = std::make_unique<SyntheticCamera>();
  QVERIFY(camera->setFormat(camera->formatOptions().front()));
  auto stream = CaptureStream::start(std::move(camera));
  QVERIFY(stream);
  std::uint64_t seen = 0;
  QImage first, later;
  QTRY_VERIFY((*stream)->frames().sequence() > seen);
  QVERIFY((*stream)->frames().takeNewer(seen, first));
  QCOMPARE(first.size(), QSize(640, 480));
  QTRY_VERIFY((*stream)->frames().sequence() > seen);
  QVERIFY((*stream)->frames().takeNewer(seen, later));
  QVERIFY(first != later);  // the square moved
  QVERIFY((*stream)->isRunning());
}

QTEST_GUILESS_MAIN(TestSyntheticCamera)
#include "tst_syntheticcamera.moc"
