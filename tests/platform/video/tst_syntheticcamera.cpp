// The synthetic camera: a deterministic picture, its formats and controls
// (each changing the picture as a webcam's would), and a stream that paces
// itself at the chosen rate.

#include <linux/videodev2.h>

#include <QTest>

#include "platform/video/capturestream.h"
#include "platform/video/jpegcodec.h"
#include "platform/video/syntheticcamera.h"
#include "platform/video/testpattern.h"

using namespace video;

namespace {

QRgb patternPixel(const std::vector<std::uint8_t>& rgb, int x, int y, int width = kPatternWidth) {
  const auto* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
  return qRgb(p[0], p[1], p[2]);
}

using Settings = QList<QPair<QString, int>>;

// The picture frame 0 shows with the camera's controls as they are.
std::vector<std::uint8_t> picture(const SyntheticCamera& camera) {
  return patternRgb(0, camera.pictureControls());
}

std::uint32_t id(const char* name) {
  const std::string n = name;
  if (n == "brightness") return V4L2_CID_BRIGHTNESS;
  if (n == "contrast") return V4L2_CID_CONTRAST;
  if (n == "saturation") return V4L2_CID_SATURATION;
  if (n == "auto exposure") return V4L2_CID_EXPOSURE_AUTO;
  if (n == "exposure") return V4L2_CID_EXPOSURE_ABSOLUTE;
  if (n == "auto white balance") return V4L2_CID_AUTO_WHITE_BALANCE;
  if (n == "temperature") return V4L2_CID_WHITE_BALANCE_TEMPERATURE;
  if (n == "power line") return V4L2_CID_POWER_LINE_FREQUENCY;
  return 0;
}

// The darkest and brightest grey of one colour bar's column.
std::pair<int, int> columnRange(const std::vector<std::uint8_t>& rgb, int x) {
  int low = 255, high = 0;
  for (int y = 100; y < 390; ++y) {  // below the square of frame 0
    const int g = qGray(patternPixel(rgb, x, y));
    low = std::min(low, g);
    high = std::max(high, g);
  }
  return {low, high};
}

}  // namespace

class TestSyntheticCamera : public QObject {
  Q_OBJECT

 private slots:
  void sameFrameNumberSameBytes_data();
  void sameFrameNumberSameBytes();
  void frameNumberIsDrawnAsBlocks();
  void squareMovesBetweenFrames();
  void controlsChangeThePicture_data();
  void controlsChangeThePicture();
  void flickerBandsWhenPowerLineIsDisabled();
  void controlsAreClampedAndKnown();
  void autoSwitchesHoldTheirControls();
  void offersFourSizesAtTwoRates();
  void patternScalesToTheFormat();
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

void TestSyntheticCamera::controlsChangeThePicture_data() {
  // Settings as (control, value) pairs in order, then the expected colour of
  // a point in the first (light grey, 191) and sixth (red) colour bars.
  QTest::addColumn<Settings>("settings");
  QTest::addColumn<QRgb>("grey");
  QTest::addColumn<QRgb>("red");
  using S = Settings;
  QTest::newRow("defaults leave the pattern") << S{} << qRgb(191, 191, 191) << qRgb(191, 0, 0);
  QTest::newRow("brightness adds to every channel")
      << S{{"brightness", 40}} << qRgb(231, 231, 231) << qRgb(231, 40, 40);
  QTest::newRow("contrast 0 flattens to mid-grey")
      << S{{"contrast", 0}} << qRgb(128, 128, 128) << qRgb(128, 128, 128);
  QTest::newRow("saturation 0 gives grey")
      << S{{"saturation", 0}} << qRgb(191, 191, 191) << qRgb(57, 57, 57);
  QTest::newRow("exposure is ignored while auto exposure is on")
      << S{{"exposure", 50}} << qRgb(191, 191, 191) << qRgb(191, 0, 0);
  QTest::newRow("short manual exposure darkens")
      << S{{"auto exposure", 1}, {"exposure", 125}} << qRgb(96, 96, 96) << qRgb(96, 0, 0);
  QTest::newRow("temperature is ignored while white balance is automatic")
      << S{{"temperature", 2800}} << qRgb(191, 191, 191) << qRgb(191, 0, 0);
  QTest::newRow("low temperature tints blue") << S{{"auto white balance", 0}, {"temperature", 2800}}
                                              << qRgb(101, 191, 255) << qRgb(101, 0, 0);
  QTest::newRow("high temperature tints warm")
      << S{{"auto white balance", 0}, {"temperature", 6500}} << qRgb(255, 191, 96)
      << qRgb(255, 0, 0);
}

void TestSyntheticCamera::controlsChangeThePicture() {
  QFETCH(Settings, settings);
  QFETCH(QRgb, grey);
  QFETCH(QRgb, red);
  SyntheticCamera camera;
  for (const auto& [name, value] : settings)
    QVERIFY(camera.setControl(id(name.toUtf8().constData()), value));
  const auto rgb = picture(camera);
  QCOMPARE(patternPixel(rgb, 40, 200), grey);
  QCOMPARE(patternPixel(rgb, 440, 200), red);
}

void TestSyntheticCamera::flickerBandsWhenPowerLineIsDisabled() {
  SyntheticCamera camera;
  const auto [low, high] = columnRange(picture(camera), 40);
  QCOMPARE(low, high);  // 50 Hz: one even grey down the bar
  QVERIFY(camera.setControl(V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CID_POWER_LINE_FREQUENCY_DISABLED));
  const auto [darkest, brightest] = columnRange(picture(camera), 40);
  QCOMPARE(brightest, 191);
  QVERIFY(darkest < 185 && darkest > 170);  // faint, not black
  // The bands roll from frame to frame.
  const auto first = patternRgb(0, camera.pictureControls());
  const auto later = patternRgb(5, camera.pictureControls());
  int moved = 0;
  for (int y = 100; y < 390; ++y) moved += patternPixel(first, 40, y) != patternPixel(later, 40, y);
  QVERIFY(moved > 0);
  QVERIFY(camera.setControl(V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CID_POWER_LINE_FREQUENCY_60HZ));
  QVERIFY(!camera.pictureControls().flicker);
}

void TestSyntheticCamera::controlsAreClampedAndKnown() {
  SyntheticCamera camera;
  QStringList names;
  for (const auto& c : camera.controls()) names << QString::fromStdString(c.name);
  QCOMPARE(names, (QStringList{"Brightness", "Contrast", "Saturation", "White Balance, Automatic",
                               "Power Line Frequency", "White Balance Temperature", "Auto Exposure",
                               "Exposure Time, Absolute"}));
  QVERIFY(camera.setControl(V4L2_CID_BRIGHTNESS, 500));
  QVERIFY(camera.setControl(V4L2_CID_CONTRAST, -3));
  QVERIFY(camera.setControl(V4L2_CID_WHITE_BALANCE_TEMPERATURE, 3004));     // onto the step of 10
  QVERIFY(!camera.setControl(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_AUTO));  // a hole in the menu
  QVERIFY(!camera.setControl(V4L2_CID_HUE, 1));
  const auto after = camera.controls();
  QCOMPARE(after[0].value, 64);
  QCOMPARE(after[1].value, 0);
  QCOMPARE(after[5].value, 3000);
  QCOMPARE(after[6].value, int(V4L2_EXPOSURE_APERTURE_PRIORITY));
  QCOMPARE(after[6].menu.size(), std::size_t(2));
  QCOMPARE(after[6].controlClass, std::uint32_t(V4L2_CTRL_CLASS_CAMERA));
  QCOMPARE(after[0].controlClass, std::uint32_t(V4L2_CTRL_CLASS_USER));
}

void TestSyntheticCamera::autoSwitchesHoldTheirControls() {
  SyntheticCamera camera;
  const auto flagsOf = [&](std::uint32_t which) {
    for (const auto& c : camera.controls())
      if (c.id == which) return c.flags;
    return ControlFlags{};
  };
  QVERIFY(flagsOf(V4L2_CID_EXPOSURE_ABSOLUTE).inactive);
  QVERIFY(flagsOf(V4L2_CID_WHITE_BALANCE_TEMPERATURE).inactive);
  QVERIFY(flagsOf(V4L2_CID_EXPOSURE_AUTO).updatesOthers);
  QVERIFY(camera.setControl(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL));
  QVERIFY(!flagsOf(V4L2_CID_EXPOSURE_ABSOLUTE).inactive);
  QVERIFY(flagsOf(V4L2_CID_WHITE_BALANCE_TEMPERATURE).inactive);
  QVERIFY(camera.setControl(V4L2_CID_AUTO_WHITE_BALANCE, 0));
  QVERIFY(!flagsOf(V4L2_CID_WHITE_BALANCE_TEMPERATURE).inactive);
}

void TestSyntheticCamera::offersFourSizesAtTwoRates() {
  SyntheticCamera camera;
  const auto formats = camera.pixelFormats();
  QCOMPARE(formats.size(), std::size_t(2));
  QCOMPARE(formats[0].description, std::string("Motion-JPEG"));
  QCOMPARE(formats[1].fourcc, std::uint32_t(V4L2_PIX_FMT_YUYV));
  const auto options = camera.formatOptions();
  QCOMPARE(options.size(), std::size_t(8));
  QCOMPARE(options[3], (FormatOption{V4L2_PIX_FMT_MJPEG, 1920, 1080}));
  QVERIFY((camera.frameIntervals(V4L2_PIX_FMT_YUYV, 1280, 720).discrete ==
           std::vector<Fraction>{{1, 30}, {1, 15}}));
  QVERIFY(camera.frameIntervals(V4L2_PIX_FMT_YUYV, 1000, 720).discrete.empty());
  QVERIFY(!camera.start());  // no format yet
  const auto yuyv = camera.setFormat({V4L2_PIX_FMT_YUYV, 640, 480});
  QVERIFY(yuyv);
  QCOMPARE(yuyv->bytesPerLine, 1280u);
  QCOMPARE(yuyv->intervalDenominator, 30u);
  const auto slow = camera.setFormat({V4L2_PIX_FMT_MJPEG, 1280, 720, 1, 15});
  QVERIFY(slow);
  QCOMPARE(QSize(slow->width, slow->height), QSize(1280, 720));
  QCOMPARE(slow->intervalDenominator, 15u);
  const auto odd = camera.setFormat({V4L2_PIX_FMT_MJPEG, 1000, 700});
  QVERIFY(odd);
  QCOMPARE(QSize(odd->width, odd->height), QSize(640, 480));
}

void TestSyntheticCamera::patternScalesToTheFormat() {
  const auto wide = patternRgb(10, {}, 1280, 720);
  QCOMPARE(wide.size(), std::size_t(1280 * 720 * 3));
  const auto p = squarePosition(10);
  const int x = (p.x + kSquareSide / 2) * 2, y = (p.y + kSquareSide / 2) * 720 / 480;
  QCOMPARE(patternPixel(wide, x, y, 1280), qRgb(255, 128, 0));
  const auto jpeg = syntheticFrameBytes(V4L2_PIX_FMT_MJPEG, 10, {}, 1920, 1080);
  QCOMPARE(decodeJpeg(jpeg).size(), QSize(1920, 1080));
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
  QVERIFY(camera->setFormat({V4L2_PIX_FMT_MJPEG, 640, 480}));
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
