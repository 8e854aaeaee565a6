// The synthetic camera: a deterministic picture, its formats and controls
// (each changing the picture as a webcam's would), a stream that paces
// itself at the chosen rate, and a still picture in place of the pattern.

#include <linux/videodev2.h>

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

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

// Bands of colour side by side (across) or one above the other, equal in size.
QImage bands(QSize size, Qt::Orientation direction, std::initializer_list<QColor> colours) {
  QImage picture(size, QImage::Format_RGB32);
  QPainter painter(&picture);
  const int count = static_cast<int>(colours.size());
  int i = 0;
  for (const QColor& colour : colours) {
    const QRect band =
        direction == Qt::Horizontal
            ? QRect(size.width() * i / count, 0, size.width() / count, size.height())
            : QRect(0, size.height() * i / count, size.width(), size.height() / count);
    painter.fillRect(band, colour);
    ++i;
  }
  return picture;
}

// The frame a camera delivers next, decoded; waits for it as the stream would.
QImage nextFrame(CaptureDevice& camera) {
  QImage frame;
  for (int tries = 0; tries < 100 && frame.isNull(); ++tries) {
    camera.next(-1, [&](const RawFrame& raw) { frame = decodeJpeg(raw.bytes); });
  }
  return frame;
}

bool near(QRgb a, QRgb b, int tolerance = 6) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
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
  void firstFrameIsAnnouncedOnceWhenInTheSlot();
  void stillFillsTheFrameKeepingItsAspect_data();
  void stillFillsTheFrameKeepingItsAspect();
  void counterEncodesTheFrameNumber_data();
  void counterEncodesTheFrameNumber();
  void stillStandsStillButFramesDiffer();
  void controlsChangeTheStill();
  void unreadablePictureWarnsAndShowsThePattern();
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

// The window shows the first frame when told, so the frame must be in the
// slot by then, and the stream must not keep calling for every later frame.
void TestSyntheticCamera::firstFrameIsAnnouncedOnceWhenInTheSlot() {
  auto camera = std::make_unique<SyntheticCamera>();
  QVERIFY(camera->setFormat({V4L2_PIX_FMT_MJPEG, 640, 480}));
  std::atomic<int> calls = 0;
  std::atomic<std::uint64_t> sequenceWhenCalled = 0;
  // The first frame may come before start() returns: the announcement waits
  // for the stream's address to read the slot through it.
  std::atomic<CaptureStream*> running = nullptr;
  auto started = CaptureStream::start(std::move(camera), {}, [&] {
    CaptureStream* stream = nullptr;
    while (!(stream = running.load())) std::this_thread::yield();
    sequenceWhenCalled = stream->frames().sequence();
    ++calls;
  });
  QVERIFY(started);
  std::unique_ptr<CaptureStream> stream = std::move(*started);
  running = stream.get();
  QTRY_COMPARE(calls.load(), 1);
  QVERIFY(sequenceWhenCalled.load() >= 1);
  const std::uint64_t at = stream->frames().sequence();
  QTRY_VERIFY(stream->frames().sequence() >= at + 3);
  QCOMPARE(calls.load(), 1);
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

void TestSyntheticCamera::stillFillsTheFrameKeepingItsAspect_data() {
  QTest::addColumn<QImage>("picture");
  QTest::addColumn<QSize>("frame");
  // Points of the frame (x, y) and the colour each must show.
  QTest::addColumn<QList<QPoint>>("points");
  QTest::addColumn<QList<QRgb>>("colours");
  const QRgb green = qRgb(0, 255, 0), red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
  // 200 x 100 in quarters green, red, red, blue: to fill 640 x 480 it becomes
  // 960 x 480 and loses 160 at each side, so green ends at x 80 and blue starts at 560.
  const QImage wide = bands({200, 100}, Qt::Horizontal, {green, red, red, blue});
  QTest::newRow("a wide picture is cut at the sides")
      << wide << QSize(640, 480)
      << QList<QPoint>{{5, 240}, {70, 5}, {90, 475}, {550, 240}, {570, 5}, {635, 475}}
      << QList<QRgb>{green, green, red, red, blue, blue};
  // 100 x 200 in quarters: to fill 320 x 240 it becomes 320 x 640 and loses
  // 200 at top and bottom, which leaves only the red middle (160 to 480).
  const QImage tall = bands({100, 200}, Qt::Vertical, {green, red, red, blue});
  QTest::newRow("a tall picture is cut at top and bottom")
      << tall << QSize(320, 240) << QList<QPoint>{{5, 2}, {315, 237}, {160, 120}}
      << QList<QRgb>{red, red, red};
  QTest::newRow("the same shape is only scaled")
      << bands({64, 48}, Qt::Horizontal, {green, blue}) << QSize(640, 480)
      << QList<QPoint>{{2, 2}, {300, 477}, {340, 2}, {637, 477}}
      << QList<QRgb>{green, green, blue, blue};
}

void TestSyntheticCamera::stillFillsTheFrameKeepingItsAspect() {
  QFETCH(QImage, picture);
  QFETCH(QSize, frame);
  QFETCH(QList<QPoint>, points);
  QFETCH(QList<QRgb>, colours);
  const auto rgb = filledRgb(picture, frame.width(), frame.height());
  QCOMPARE(rgb.size(), std::size_t(frame.width() * frame.height() * 3));
  for (qsizetype i = 0; i < points.size(); ++i) {
    const QRgb seen = patternPixel(rgb, points[i].x(), points[i].y(), frame.width());
    QVERIFY2(
        near(seen, colours[i]),
        qPrintable(
            QStringLiteral("at %1,%2: %3").arg(points[i].x()).arg(points[i].y()).arg(seen, 8, 16)));
  }
}

void TestSyntheticCamera::counterEncodesTheFrameNumber_data() {
  QTest::addColumn<QSize>("frame");
  QTest::addColumn<int>("block");
  QTest::newRow("640 x 480: blocks of 4") << QSize(640, 480) << 4;
  QTest::newRow("320 x 240: blocks of 2") << QSize(320, 240) << 2;
  QTest::newRow("1920 x 1080: blocks of 12") << QSize(1920, 1080) << 12;
}

void TestSyntheticCamera::counterEncodesTheFrameNumber() {
  QFETCH(QSize, frame);
  QFETCH(int, block);
  const int w = frame.width(), h = frame.height();
  const auto still = filledRgb(bands({4, 3}, Qt::Horizontal, {Qt::gray}), w, h);
  auto rgb = still;
  const std::uint64_t number = 0x1'A5C3;  // bit 16 is beyond the counter
  drawFrameCounter(rgb, w, h, number);
  QCOMPARE(frameCounterBlock(w), block);
  const QRect area = frameCounterArea(w, h);
  // In the bottom-right corner, one block in, and small.
  QCOMPARE(area.right(), w - 1 - block);
  QCOMPARE(area.bottom(), h - 1 - block);
  QCOMPARE(area.size(), QSize(18 * block, 3 * block));
  QVERIFY(area.width() * 8 <= w);
  for (int i = 0; i < kCounterBits; ++i) {
    const bool set = (number >> (kCounterBits - 1 - i)) & 1;
    const int x = area.left() + block * (1 + i) + block / 2, y = area.top() + block + block / 2;
    QCOMPARE(qGray(patternPixel(rgb, x, y, w)) > 128, set);
  }
  // The strip's edge is dark, and nothing outside the strip changed.
  QVERIFY(qGray(patternPixel(rgb, area.left(), area.top(), w)) < 40);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (!area.contains(x, y) && patternPixel(rgb, x, y, w) != patternPixel(still, x, y, w))
        QFAIL(qPrintable(QStringLiteral("changed at %1,%2").arg(x).arg(y)));
}

void TestSyntheticCamera::stillStandsStillButFramesDiffer() {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("yüz.png"));
  QVERIFY(bands({300, 300}, Qt::Vertical, {QColor(200, 150, 120), QColor(40, 60, 90)}).save(path));
  auto provider = makeSyntheticProvider({{"Kamera A", path.toStdString()}, {"Kamera B", ""}});
  QCOMPARE(provider->drivers().size(), std::size_t(2));
  auto camera = provider->open(0);
  QVERIFY(camera);
  QVERIFY((*camera)->setFormat({V4L2_PIX_FMT_MJPEG, 640, 480}));
  QVERIFY((*camera)->start());
  const QImage first = nextFrame(**camera);
  const QImage second = nextFrame(**camera);
  QCOMPARE(first.size(), QSize(640, 480));
  QVERIFY(first != second);
  // The picture, filled to 640 x 480: its upper half above, its lower below.
  QVERIFY(near(first.pixel(320, 100), qRgb(200, 150, 120)));
  QVERIFY(near(first.pixel(320, 380), qRgb(40, 60, 90)));
  // Only around the counter do the two frames differ (JPEG works in 16-pixel blocks).
  const QRect counter = frameCounterArea(640, 480).adjusted(-16, -16, 16, 16);
  int differing = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      if (first.pixel(x, y) != second.pixel(x, y)) {
        QVERIFY2(counter.contains(x, y), qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
        ++differing;
      }
  QVERIFY(differing > 0);
  // The other camera keeps the colour pattern.
  auto pattern = provider->open(1);
  QVERIFY(pattern);
  QVERIFY((*pattern)->setFormat({V4L2_PIX_FMT_MJPEG, 640, 480}));
  QVERIFY((*pattern)->start());
  QCOMPARE(nextFrame(**pattern), decodeJpeg(syntheticFrameBytes(V4L2_PIX_FMT_MJPEG, 0)));
}

void TestSyntheticCamera::controlsChangeTheStill() {
  SyntheticCamera camera({}, bands({8, 6}, Qt::Horizontal, {QColor(100, 100, 100)}));
  QVERIFY(camera.setControl(V4L2_CID_BRIGHTNESS, 40));
  QVERIFY(camera.setFormat({V4L2_PIX_FMT_MJPEG, 320, 240}));
  QVERIFY(camera.start());
  const QImage frame = nextFrame(camera);
  QCOMPARE(frame.size(), QSize(320, 240));
  QVERIFY(near(frame.pixel(100, 100), qRgb(140, 140, 140)));
}

void TestSyntheticCamera::unreadablePictureWarnsAndShowsThePattern() {
  QTemporaryDir folder;
  const QString notAPicture = folder.filePath(QStringLiteral("yüz.png"));
  QFile text(notAPicture);
  QVERIFY(text.open(QIODevice::WriteOnly));
  text.write("not a picture");
  text.close();
  const QString missing = folder.filePath(QStringLiteral("yok.png"));
  for (const QString& path : {notAPicture, missing}) {
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("TANDEO_FAKE_CAMERAS: the picture of "
                                                           "\"Kamera A\" cannot be read \\(") +
                                            QRegularExpression::escape(path)));
  }
  auto provider = makeSyntheticProvider(
      {{"Kamera A", notAPicture.toStdString()}, {"Kamera A", missing.toStdString()}});
  for (int number : {0, 1}) {
    auto camera = provider->open(number);
    QVERIFY(camera);
    QVERIFY((*camera)->setFormat({V4L2_PIX_FMT_MJPEG, 640, 480}));
    QVERIFY((*camera)->start());
    QCOMPARE(nextFrame(**camera), decodeJpeg(syntheticFrameBytes(V4L2_PIX_FMT_MJPEG, 0)));
  }
}

QTEST_GUILESS_MAIN(TestSyntheticCamera)
#include "tst_syntheticcamera.moc"
