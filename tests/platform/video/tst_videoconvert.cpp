// Pixel conversion and the pure rules of the stream: YUYV and MJPEG to RGB,
// DCT scale choice, default format choice, poll timeout, fake camera names.

#include <linux/videodev2.h>

#include <QTest>
#include <vector>

#include "platform/video/areascaler.h"
#include "platform/video/deviceprovider.h"
#include "platform/video/formatchoice.h"
#include "platform/video/framedecoder.h"
#include "platform/video/jpegcodec.h"
#include "platform/video/testpattern.h"
#include "platform/video/yuyv.h"
#include "support/frames.h"

using namespace video;

Q_DECLARE_METATYPE(std::vector<FormatOption>)
Q_DECLARE_METATYPE(FormatOption)

namespace {

std::vector<std::uint8_t> solidRgb(int width, int height, std::uint8_t r, std::uint8_t g,
                                   std::uint8_t b) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = r;
    rgb[i + 1] = g;
    rgb[i + 2] = b;
  }
  return rgb;
}

bool near(QRgb actual, QRgb expected, int tolerance) {
  return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
         std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
         std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

}  // namespace

class TestVideoConvert : public QObject {
  Q_OBJECT

 private slots:
  void yuyvToRgb_data();
  void yuyvToRgb();
  void yuyvRejectsShortOrImpossibleFrames_data();
  void yuyvRejectsShortOrImpossibleFrames();
  void yuyvHonoursRowPadding();
  void mjpegDecodesAtReducedScale_data();
  void mjpegDecodesAtReducedScale();
  void mjpegKeepsColours();
  void damagedMjpegIsRejected_data();
  void damagedMjpegIsRejected();
  void otherFormatsGoThroughLibv4lconvert();
  void decoderScalesToTarget();
  void areaScaleKeepsFlatColours_data();
  void areaScaleKeepsFlatColours();
  void areaScaleAveragesByCoveredArea();
  void areaScaleKeepsAlignedEdgesSharp();
  void jpegShrunkWhileDecodingMatchesDecodeThenScale();
  void enlargingFallsBackToQtSmoothScale();
  void defaultFormat_data();
  void defaultFormat();
  void pollTimeout_data();
  void pollTimeout();
  void fakeCameraList_data();
  void fakeCameraList();
  void formatOptionText_data();
  void formatOptionText();
  void unreadableFormatText_data();
  void unreadableFormatText();
};

void TestVideoConvert::yuyvToRgb_data() {
  QTest::addColumn<int>("y");
  QTest::addColumn<int>("u");
  QTest::addColumn<int>("v");
  QTest::addColumn<QRgb>("expected");
  QTest::newRow("video black is black") << 16 << 128 << 128 << qRgb(0, 0, 0);
  QTest::newRow("video white is white") << 235 << 128 << 128 << qRgb(255, 255, 255);
  QTest::newRow("mid grey stays grey") << 126 << 128 << 128 << qRgb(128, 128, 128);
  QTest::newRow("BT.601 red") << 81 << 90 << 240 << qRgb(255, 0, 0);
  QTest::newRow("BT.601 green") << 145 << 54 << 34 << qRgb(0, 255, 0);
  QTest::newRow("BT.601 blue") << 41 << 240 << 110 << qRgb(0, 0, 255);
  QTest::newRow("below black clamps to 0") << 0 << 128 << 128 << qRgb(0, 0, 0);
  QTest::newRow("above white clamps to 255") << 255 << 128 << 128 << qRgb(255, 255, 255);
}

void TestVideoConvert::yuyvToRgb() {
  QFETCH(int, y);
  QFETCH(int, u);
  QFETCH(int, v);
  QFETCH(QRgb, expected);
  const auto Y = static_cast<std::uint8_t>(y), U = static_cast<std::uint8_t>(u),
             V = static_cast<std::uint8_t>(v);
  const std::vector<std::uint8_t> frame = {Y, U, Y, V, Y, U, Y, V};  // 4 × 1
  const QImage image = convertYuyv(frame, 4, 1, 8);
  QCOMPARE(image.size(), QSize(4, 1));
  for (int x = 0; x < 4; ++x)
    QVERIFY2(near(image.pixel(x, 0), expected, 2),
             qPrintable(QString::number(image.pixel(x, 0), 16)));
}

void TestVideoConvert::yuyvRejectsShortOrImpossibleFrames_data() {
  QTest::addColumn<int>("bytes");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::newRow("one byte short") << 4 * 4 * 2 - 1 << 4 << 4;
  QTest::newRow("empty") << 0 << 4 << 4;
  QTest::newRow("zero width") << 64 << 0 << 4;
  QTest::newRow("negative height") << 64 << 4 << -1;
}

void TestVideoConvert::yuyvRejectsShortOrImpossibleFrames() {
  QFETCH(int, bytes);
  QFETCH(int, width);
  QFETCH(int, height);
  const std::vector<std::uint8_t> data(static_cast<std::size_t>(bytes), 128);
  QVERIFY(convertYuyv(data, width, height, 0).isNull());
}

void TestVideoConvert::yuyvHonoursRowPadding() {
  // 2 × 2 picture, rows padded to 8 bytes: top row white, bottom row black,
  // padding bytes full of red that must never show.
  const std::vector<std::uint8_t> frame = {235, 128, 235, 128, 81, 90, 81, 240,
                                           16,  128, 16,  128, 81, 90, 81, 240};
  const QImage image = convertYuyv(frame, 2, 2, 8);
  QVERIFY(near(image.pixel(1, 0), qRgb(255, 255, 255), 2));
  QVERIFY(near(image.pixel(1, 1), qRgb(0, 0, 0), 2));
}

void TestVideoConvert::mjpegDecodesAtReducedScale_data() {
  QTest::addColumn<QSize>("frame");
  QTest::addColumn<QSize>("window");
  QTest::addColumn<QSize>("decoded");
  QTest::newRow("720p into 320x240 needs half scale for the height")
      << QSize(1280, 720) << QSize(320, 240) << QSize(640, 360);
  QTest::newRow("1280x960 into 320x240 is a quarter")
      << QSize(1280, 960) << QSize(320, 240) << QSize(320, 240);
  QTest::newRow("1280x960 into 160x120 is an eighth")
      << QSize(1280, 960) << QSize(160, 120) << QSize(160, 120);
  QTest::newRow("a window one pixel too big keeps the larger scale")
      << QSize(1280, 960) << QSize(321, 240) << QSize(640, 480);
  QTest::newRow("window as large as the frame decodes in full")
      << QSize(640, 480) << QSize(640, 480) << QSize(640, 480);
  QTest::newRow("window larger than the frame decodes in full")
      << QSize(640, 480) << QSize(800, 600) << QSize(640, 480);
  QTest::newRow("no window size decodes in full") << QSize(640, 480) << QSize() << QSize(640, 480);
  QTest::newRow("odd sizes round up like libjpeg")
      << QSize(642, 482) << QSize(81, 61) << QSize(81, 61);
}

void TestVideoConvert::mjpegDecodesAtReducedScale() {
  QFETCH(QSize, frame);
  QFETCH(QSize, window);
  QFETCH(QSize, decoded);
  const auto rgb = solidRgb(frame.width(), frame.height(), 40, 90, 200);
  const auto jpeg = testsupport::jpegFrame(rgb, frame.width(), frame.height(), 80);
  QVERIFY(!jpeg.empty());
  const QImage image = decodeJpeg(jpeg, window);
  QCOMPARE(image.size(), decoded);
  QCOMPARE(image.format(), QImage::Format_RGB32);
}

void TestVideoConvert::mjpegKeepsColours() {
  const auto rgb = solidRgb(64, 48, 255, 0, 0);
  const QImage image = decodeJpeg(testsupport::jpegFrame(rgb, 64, 48, 95), QSize(16, 12));
  QCOMPARE(image.size(), QSize(16, 12));
  QVERIFY(near(image.pixel(8, 6), qRgb(255, 0, 0), 8));
  QCOMPARE(qAlpha(image.pixel(8, 6)), 255);
}

void TestVideoConvert::damagedMjpegIsRejected_data() {
  const auto rgb = patternRgb(3);
  const auto good = testsupport::jpegFrame(rgb, kPatternWidth, kPatternHeight, 85);
  QTest::addColumn<std::vector<std::uint8_t>>("data");
  QTest::newRow("empty") << std::vector<std::uint8_t>{};
  QTest::newRow("start of image only") << std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xD9};
  QTest::newRow("not a JPEG") << std::vector<std::uint8_t>(4096, 0x55);
  QTest::newRow("cut in half") << std::vector<std::uint8_t>(good.begin(),
                                                            good.begin() + good.size() / 2);
  QTest::newRow("header only") << std::vector<std::uint8_t>(good.begin(), good.begin() + 600);
  auto scrambled = good;
  for (std::size_t i = good.size() / 3; i < good.size() - 2; i += 7) scrambled[i] = 0xFF;
  QTest::newRow("entropy data scrambled with markers") << scrambled;
  auto huge = good;
  // SOF0 height and width fields (after FF C0, length, precision).
  for (std::size_t i = 2; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = huge[i + 6] = huge[i + 7] = huge[i + 8] = 0xFF;
      break;
    }
  QTest::newRow("absurd dimensions") << huge;
}

void TestVideoConvert::damagedMjpegIsRejected() {
  QFETCH(std::vector<std::uint8_t>, data);
  QVERIFY(decodeJpeg(data, QSize(320, 240)).isNull());
}

void TestVideoConvert::otherFormatsGoThroughLibv4lconvert() {
  // UYVY is YUYV with the bytes swapped: 4 × 2 of BT.601 red.
  std::vector<std::uint8_t> uyvy;
  for (int i = 0; i < 4; ++i) uyvy.insert(uyvy.end(), {90, 81, 240, 81});
  FrameFormat format{V4L2_PIX_FMT_UYVY, 4, 2, 8, 16, 1, 30};
  FrameDecoder decoder;
  const QImage image = decoder.decode(RawFrame{uyvy, format, 0}, {});
  QCOMPARE(image.size(), QSize(4, 2));
  // libv4lconvert rounds its own way; the channels must still be in place.
  QVERIFY2(near(image.pixel(1, 1), qRgb(255, 0, 0), 16),
           qPrintable(QString::number(image.pixel(1, 1), 16)));
}

void TestVideoConvert::decoderScalesToTarget() {
  const auto jpeg = testsupport::jpegFrame(patternRgb(0), kPatternWidth, kPatternHeight, 85);
  FrameFormat format{V4L2_PIX_FMT_MJPEG, kPatternWidth, kPatternHeight, 0, 0, 1, 30};
  FrameDecoder decoder;
  QCOMPARE(decoder.decode(RawFrame{jpeg, format, 0}, QSize(333, 211)).size(), QSize(333, 211));
  QCOMPARE(decoder.decode(RawFrame{jpeg, format, 0}, QSize()).size(), QSize(640, 480));
  const auto yuyv = rgbToYuyv(patternRgb(0), kPatternWidth, kPatternHeight);
  format.fourcc = V4L2_PIX_FMT_YUYV;
  format.bytesPerLine = kPatternWidth * 2;
  QCOMPARE(decoder.decode(RawFrame{yuyv, format, 0}, QSize(100, 75)).size(), QSize(100, 75));
}

void TestVideoConvert::areaScaleKeepsFlatColours_data() {
  QTest::addColumn<QSize>("from");
  QTest::addColumn<QSize>("to");
  QTest::newRow("halving") << QSize(640, 360) << QSize(320, 180);
  QTest::newRow("one and a half vertically") << QSize(640, 360) << QSize(320, 240);
  QTest::newRow("odd ratio") << QSize(7, 7) << QSize(3, 5);
  QTest::newRow("everything into one pixel") << QSize(33, 17) << QSize(1, 1);
  QTest::newRow("one row only") << QSize(100, 1) << QSize(9, 1);
  QTest::newRow("very large ratio") << QSize(4000, 3) << QSize(3, 3);
}

void TestVideoConvert::areaScaleKeepsFlatColours() {
  QFETCH(QSize, from);
  QFETCH(QSize, to);
  QImage source(from, QImage::Format_RGB32);
  source.fill(qRgb(201, 17, 99));
  const QImage scaled = scaleSmoothly(source, to);
  QCOMPARE(scaled.size(), to);
  for (int y = 0; y < to.height(); ++y)
    for (int x = 0; x < to.width(); ++x) QCOMPARE(scaled.pixel(x, y), qRgb(201, 17, 99));
}

void TestVideoConvert::areaScaleAveragesByCoveredArea() {
  // 3 → 2: the middle pixel is shared half and half.
  QImage source(3, 1, QImage::Format_RGB32);
  source.setPixel(0, 0, qRgb(0, 0, 0));
  source.setPixel(1, 0, qRgb(90, 90, 90));
  source.setPixel(2, 0, qRgb(255, 255, 255));
  const QImage scaled = scaleSmoothly(source, QSize(2, 1));
  QVERIFY(near(scaled.pixel(0, 0), qRgb(30, 30, 30), 1));
  QVERIFY(near(scaled.pixel(1, 0), qRgb(200, 200, 200), 1));
  // A 2 × 2 checkerboard becomes its mean.
  QImage checker(2, 2, QImage::Format_RGB32);
  checker.setPixel(0, 0, qRgb(255, 0, 255));
  checker.setPixel(1, 1, qRgb(255, 0, 255));
  checker.setPixel(1, 0, qRgb(0, 255, 1));
  checker.setPixel(0, 1, qRgb(0, 255, 1));
  QVERIFY(near(scaleSmoothly(checker, QSize(1, 1)).pixel(0, 0), qRgb(128, 128, 128), 1));
}

void TestVideoConvert::areaScaleKeepsAlignedEdgesSharp() {
  QImage source(8, 6, QImage::Format_RGB32);
  source.fill(qRgb(0, 0, 255));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x) source.setPixel(x, y, qRgb(255, 0, 0));
  const QImage scaled = scaleSmoothly(source, QSize(4, 3));
  for (int y = 0; y < 3; ++y) {
    QCOMPARE(scaled.pixel(1, y), qRgb(255, 0, 0));
    QCOMPARE(scaled.pixel(2, y), qRgb(0, 0, 255));
  }
}

void TestVideoConvert::jpegShrunkWhileDecodingMatchesDecodeThenScale() {
  const auto jpeg = testsupport::jpegFrame(patternRgb(5), kPatternWidth, kPatternHeight, 90);
  const QSize window(200, 170);
  const QImage fused = decodeJpegToSize(jpeg, window);
  const QImage separate = scaleSmoothly(decodeJpeg(jpeg, window), window);
  QCOMPARE(fused.size(), window);
  QCOMPARE(fused, separate);
  QCOMPARE(decodeJpegToSize(jpeg, QSize(800, 600)).size(), QSize(640, 480));
  QVERIFY(decodeJpegToSize(std::span(jpeg).first(jpeg.size() / 2), window).isNull());
}

void TestVideoConvert::enlargingFallsBackToQtSmoothScale() {
  QImage source(4, 4, QImage::Format_RGB32);
  source.fill(qRgb(10, 200, 30));
  QCOMPARE(scaleSmoothly(source, QSize(9, 3)).size(), QSize(9, 3));
  QCOMPARE(scaleSmoothly(source, QSize(16, 16)).pixel(8, 8), qRgb(10, 200, 30));
  QCOMPARE(scaleSmoothly(source, QSize()).size(), QSize(4, 4));
}

void TestVideoConvert::defaultFormat_data() {
  constexpr auto M = V4L2_PIX_FMT_MJPEG;
  constexpr auto Y = V4L2_PIX_FMT_YUYV;
  constexpr auto H264 = V4L2_PIX_FMT_H264;
  QTest::addColumn<std::vector<FormatOption>>("options");
  QTest::addColumn<QSize>("window");
  QTest::addColumn<FormatOption>("expected");
  const std::vector<FormatOption> typical = {{Y, 640, 480},  {Y, 320, 240}, {Y, 1280, 720},
                                             {M, 1280, 720}, {M, 640, 480}, {M, 320, 240},
                                             {M, 1280, 960}};
  QTest::newRow("the 4:3 size just above the window")
      << typical << QSize(400, 300) << FormatOption{M, 640, 480};
  QTest::newRow("an exact fit counts as above")
      << typical << QSize(320, 240) << FormatOption{M, 320, 240};
  QTest::newRow("16:9 sizes are passed over")
      << typical << QSize(1000, 700) << FormatOption{M, 1280, 960};
  QTest::newRow("nothing above: the largest 4:3")
      << typical << QSize(2000, 1500) << FormatOption{M, 1280, 960};
  QTest::newRow("MJPEG before YUYV at the same size")
      << std::vector<FormatOption>{{Y, 640, 480}, {M, 640, 480}} << QSize(320, 240)
      << FormatOption{M, 640, 480};
  QTest::newRow("YUYV alone is fine") << std::vector<FormatOption>{{Y, 640, 480}, {Y, 160, 120}}
                                      << QSize(320, 240) << FormatOption{Y, 640, 480};
  QTest::newRow("no 4:3 size at all: the largest")
      << std::vector<FormatOption>{{M, 1280, 720}, {M, 1920, 1080}} << QSize(320, 240)
      << FormatOption{M, 1920, 1080};
  QTest::newRow("formats that cannot be shown are ignored")
      << std::vector<FormatOption>{{H264, 640, 480}, {Y, 1280, 960}} << QSize(320, 240)
      << FormatOption{Y, 1280, 960};
  QTest::newRow("nothing showable")
      << std::vector<FormatOption>{{H264, 640, 480}} << QSize(320, 240) << FormatOption{};
  QTest::newRow("nothing offered")
      << std::vector<FormatOption>{} << QSize(320, 240) << FormatOption{};
}

void TestVideoConvert::defaultFormat() {
  QFETCH(std::vector<FormatOption>, options);
  QFETCH(QSize, window);
  QFETCH(FormatOption, expected);
  const auto chosen = chooseDefaultFormat(options, window);
  QCOMPARE(chosen.value_or(FormatOption{}), expected);
}

void TestVideoConvert::pollTimeout_data() {
  QTest::addColumn<quint32>("numerator");
  QTest::addColumn<quint32>("denominator");
  QTest::addColumn<int>("expected");
  QTest::newRow("30 fps is held at the floor") << 1u << 30u << 133;
  QTest::newRow("60 fps is raised to the floor") << 1u << 60u << 100;
  QTest::newRow("5 fps waits four intervals") << 1u << 5u << 800;
  QTest::newRow("1 fps is capped at one second") << 1u << 1u << 1000;
  QTest::newRow("no interval counts as 30 fps") << 0u << 0u << 133;
  QTest::newRow("zero denominator counts as 30 fps") << 1u << 0u << 133;
  QTest::newRow("zero numerator counts as 30 fps") << 0u << 30u << 133;
  QTest::newRow("absurdly long interval is capped") << 4000000000u << 1u << 1000;
}

void TestVideoConvert::pollTimeout() {
  QFETCH(quint32, numerator);
  QFETCH(quint32, denominator);
  QFETCH(int, expected);
  QCOMPARE(pollTimeoutMs(numerator, denominator), expected);
}

void TestVideoConvert::fakeCameraList_data() {
  // Each camera as "name|picture".
  QTest::addColumn<QByteArray>("list");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("names keep their blanks for the caller to trim")
      << QByteArray(" Kamera A ,Kamera B") << QStringList{" Kamera A |", "Kamera B|"};
  QTest::newRow("empty entries are skipped") << QByteArray("A,,B,") << QStringList{"A|", "B|"};
  QTest::newRow("blank entries are skipped") << QByteArray(" , A") << QStringList{" A|"};
  QTest::newRow("empty list") << QByteArray("") << QStringList{};
  QTest::newRow("one name") << QByteArray("Tek Kamera") << QStringList{"Tek Kamera|"};
  QTest::newRow("a picture follows the name after =")
      << QByteArray("Kamera A=/tmp/yüz.png") << QStringList{"Kamera A|/tmp/yüz.png"};
  QTest::newRow("blanks around the picture's path go")
      << QByteArray("Kamera A= /tmp/a b.png ,Kamera B")
      << QStringList{"Kamera A|/tmp/a b.png", "Kamera B|"};
  QTest::newRow("the first = ends the name")
      << QByteArray("A=/x=y.png") << QStringList{"A|/x=y.png"};
  QTest::newRow("an empty picture is the pattern")
      << QByteArray("A=,B= ") << QStringList{"A|", "B|"};
  QTest::newRow("a picture without a name is skipped")
      << QByteArray("=/tmp/a.png, =/tmp/b.png,C") << QStringList{"C|"};
}

void TestVideoConvert::fakeCameraList() {
  QFETCH(QByteArray, list);
  QFETCH(QStringList, expected);
  QStringList cameras;
  for (const auto& camera : parseFakeCameras(std::string_view(list.constData(), list.size())))
    cameras << QString::fromStdString(camera.name + "|" + camera.picture);
  QCOMPARE(cameras, expected);
}

void TestVideoConvert::formatOptionText_data() {
  QTest::addColumn<FormatOption>("option");
  QTest::addColumn<QString>("text");
  QTest::newRow("MJPEG at a chosen rate")
      << FormatOption{V4L2_PIX_FMT_MJPEG, 1280, 720, 1, 30} << "MJPG 1280x720 1/30";
  QTest::newRow("YUYV at the default rate has no interval")
      << FormatOption{V4L2_PIX_FMT_YUYV, 640, 480} << "YUYV 640x480";
  QTest::newRow("fractional rate kept exact")
      << FormatOption{V4L2_PIX_FMT_MJPEG, 1920, 1080, 1001, 30000} << "MJPG 1920x1080 1001/30000";
  QTest::newRow("fourcc with a blank in hexadecimal")
      << FormatOption{v4l2_fourcc('Y', '1', '0', ' '), 320, 240, 1, 15}
      << "0x20303159 320x240 1/15";
}

void TestVideoConvert::formatOptionText() {
  QFETCH(FormatOption, option);
  QFETCH(QString, text);
  QCOMPARE(QString::fromStdString(option.toText()), text);
  QCOMPARE(FormatOption::fromText(text.toStdString()), std::optional<FormatOption>(option));
}

void TestVideoConvert::unreadableFormatText_data() {
  QTest::addColumn<QString>("text");
  QTest::newRow("empty") << "";
  QTest::newRow("no size") << "MJPG";
  QTest::newRow("fourcc too long") << "MJPEG 640x480";
  QTest::newRow("size without x") << "MJPG 640*480";
  QTest::newRow("no blank after the code") << "MJPG640x480";
  QTest::newRow("no height") << "MJPG 640x";
  QTest::newRow("zero width") << "MJPG 0x480";
  QTest::newRow("negative height") << "MJPG 640x-480";
  QTest::newRow("half an interval") << "MJPG 640x480 0/30";
  QTest::newRow("interval without slash") << "MJPG 640x480 30";
  QTest::newRow("trailing words") << "MJPG 640x480 1/30 fast";
  QTest::newRow("huge number") << "MJPG 99999999999x480";
  QTest::newRow("bad hexadecimal") << "0x2030315g 320x240";
}

void TestVideoConvert::unreadableFormatText() {
  QFETCH(QString, text);
  QVERIFY(!FormatOption::fromText(text.toStdString()));
}

QTEST_APPLESS_MAIN(TestVideoConvert)
#include "tst_videoconvert.moc"
