// The direct BMP -> JPEG and JPEG -> BMP conversions against the general
// decode-then-encode path: the same bytes for every file they take, the same
// error for every file they refuse, and every other variant left to the
// general path.

#include <QTemporaryDir>
#include <QTest>

// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include "craft.h"
#include "platform/imaging/bmp_reader.h"
#include "platform/imaging/bmp_writer.h"
#include "platform/imaging/convert.h"
#include "platform/imaging/direct_convert.h"
#include "platform/imaging/jpeg_reader.h"
#include "platform/imaging/jpeg_writer.h"

using craft::Bytes;
using imaging::ImageError;
using imaging::RgbImage;

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(ImageError)

namespace {

// 24-bit rows in file order, blue-green-red, padded to 4 bytes unless the
// last one is asked to go without.
Bytes bgrRows(const RgbImage& img, bool topDown, bool padLastRow = true) {
  const std::size_t stride = (img.rowBytes() + 3) / 4 * 4;
  Bytes out;
  for (int row = 0; row < img.height; ++row) {
    const std::uint8_t* in = img.row(topDown ? row : img.height - 1 - row);
    for (int x = 0; x < img.width; ++x) {
      out.push_back(in[x * 3 + 2]);
      out.push_back(in[x * 3 + 1]);
      out.push_back(in[x * 3]);
    }
    if (row + 1 < img.height || padLastRow) out.resize(out.size() + stride - img.rowBytes(), 0);
  }
  return out;
}

Bytes bmp24(const RgbImage& img, bool topDown, std::uint32_t headerSize = 40) {
  craft::Bmp b;
  b.headerSize = headerSize;
  b.width = img.width;
  b.height = topDown ? -img.height : img.height;
  b.pixels = bgrRows(img, topDown, headerSize != 12);
  return b.build();
}

Bytes toBytes(std::span<const std::uint8_t> bytes) {
  return Bytes(bytes.begin(), bytes.end());
}

Bytes generalJpeg(const Bytes& bmp, int quality) {
  auto img = imaging::decodeBmp(bmp);
  if (!img) return {};
  auto jpeg = imaging::encodeJpeg(*img, quality);
  return jpeg ? *jpeg : Bytes{};
}

Bytes generalBmp(const Bytes& jpeg) {
  auto img = imaging::decodeJpeg(jpeg);
  return img ? imaging::encodeBmp(*img) : Bytes{};
}

enum class Scans { Sequential, Progressive, OnePerCoefficient };

void setScans(jpeg_compress_struct& c, Scans scans, std::vector<jpeg_scan_info>& script) {
  if (scans == Scans::Progressive) jpeg_simple_progression(&c);
  if (scans != Scans::OnePerCoefficient) return;
  script.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
  for (int comp = 0; comp < 3; ++comp)
    for (int k = 1; k < 64; ++k) script.push_back({1, {comp, 0, 0, 0}, k, k, 0, 0});
  c.scan_info = script.data();
  c.num_scans = static_cast<int>(script.size());
}

// A reference encoder for the colour spaces and scan scripts our writer never
// makes. Pixels are given as RGB; greyscale takes the green channel, CMYK the
// inverse of each channel plus a black made from the row number.
Bytes encodeIn(const RgbImage& img, J_COLOR_SPACE space, Scans scans = Scans::Sequential) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = img.width, c.image_height = img.height;
  const bool grey = space == JCS_GRAYSCALE, fourChannels = space == JCS_CMYK || space == JCS_YCCK;
  c.input_components = grey ? 1 : fourChannels ? 4 : 3;
  c.in_color_space = grey ? JCS_GRAYSCALE : fourChannels ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, space);
  std::vector<jpeg_scan_info> script;
  setScans(c, scans, script);
  jpeg_start_compress(&c, TRUE);
  Bytes row(std::size_t(img.width) * 4);
  while (c.next_scanline < c.image_height) {
    const std::uint8_t* in = img.row(int(c.next_scanline));
    for (int x = 0; x < img.width; ++x) {
      if (grey) row[x] = in[x * 3 + 1];
      if (!grey && !fourChannels) std::copy(in + x * 3, in + x * 3 + 3, row.begin() + x * 3);
      if (fourChannels) {
        for (int ch = 0; ch < 3; ++ch) row[x * 4 + ch] = 255 - in[x * 3 + ch];
        row[x * 4 + 3] = static_cast<std::uint8_t>(c.next_scanline * 7 % 256);
      }
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes bytes(out, out + size);
  std::free(out);
  return bytes;
}

Bytes ourJpeg(const RgbImage& img, int quality) {
  auto jpeg = imaging::encodeJpeg(img, quality);
  return jpeg ? *jpeg : Bytes{};
}

// Offset of the first frame header, for editing the picture's size.
std::size_t frameAt(const Bytes& jpeg) {
  std::size_t i = 2;
  while (i + 4 < jpeg.size() && jpeg[i] == 0xFF) {
    if (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2) return i;
    i += 2 + std::size_t(jpeg[i + 2] << 8 | jpeg[i + 3]);
  }
  return 0;
}

Bytes withHeight(Bytes jpeg, int height) {
  const std::size_t sof = frameAt(jpeg);
  jpeg[sof + 5] = static_cast<std::uint8_t>(height >> 8);
  jpeg[sof + 6] = static_cast<std::uint8_t>(height);
  return jpeg;
}

}  // namespace

class TestDirectConvert : public QObject {
  Q_OBJECT
 private slots:
  void bmpToJpegGivesGeneralBytes_data();
  void bmpToJpegGivesGeneralBytes();
  void bmpVariantsLeftToGeneralPath_data();
  void bmpVariantsLeftToGeneralPath();
  void bmpRefusedWithGeneralError_data();
  void bmpRefusedWithGeneralError();
  void jpegToBmpGivesGeneralBytes_data();
  void jpegToBmpGivesGeneralBytes();
  void cmykJpegLeftToGeneralPath_data();
  void cmykJpegLeftToGeneralPath();
  void jpegRefusedWithGeneralError_data();
  void jpegRefusedWithGeneralError();
  void convertFileWritesGeneralBytes_data();
  void convertFileWritesGeneralBytes();
};

void TestDirectConvert::bmpToJpegGivesGeneralBytes_data() {
  QTest::addColumn<Bytes>("bmp");
  QTest::addColumn<int>("quality");
  const RgbImage photo = craft::photo(48, 32);
  QTest::newRow("bottom-up, 4:2:0") << bmp24(photo, false) << 75;
  QTest::newRow("bottom-up, 4:4:4") << bmp24(photo, false) << 95;
  QTest::newRow("top-down, 4:2:0") << bmp24(photo, true) << 75;
  QTest::newRow("top-down, 4:4:4") << bmp24(photo, true) << 95;
  QTest::newRow("last subsampled quality") << bmp24(photo, false) << 89;
  QTest::newRow("first full-chroma quality") << bmp24(photo, false) << 90;
  QTest::newRow("lowest quality") << bmp24(photo, false) << 1;
  QTest::newRow("odd width, 1 byte of padding") << bmp24(craft::photo(33, 17), false) << 75;
  QTest::newRow("odd width, 3 bytes of padding, top-down")
      << bmp24(craft::photo(35, 9), true) << 95;
  QTest::newRow("2 bytes of padding") << bmp24(craft::photo(2, 3), false) << 75;
  QTest::newRow("one pixel") << bmp24(craft::photo(1, 1), false) << 75;
  QTest::newRow("one pixel, top-down") << bmp24(craft::photo(1, 1), true) << 95;
  QTest::newRow("one row taller than an MCU") << bmp24(craft::photo(70, 1), false) << 75;
  QTest::newRow("one column") << bmp24(craft::photo(1, 70), false) << 75;
  QTest::newRow("v5 header") << bmp24(photo, false, 124) << 75;
  craft::Bmp gap;
  gap.width = 7, gap.height = 5;
  gap.pixels = bgrRows(craft::photo(7, 5), false);
  gap.pixelOffset = 200;
  QTest::newRow("pixels far after the header") << gap.build() << 75;
  gap.pixels = bgrRows(craft::photo(7, 5), false, false);
  QTest::newRow("last row without its padding") << gap.build() << 75;
}

void TestDirectConvert::bmpToJpegGivesGeneralBytes() {
  QFETCH(Bytes, bmp);
  QFETCH(int, quality);
  const Bytes expected = generalJpeg(bmp, quality);
  QVERIFY(!expected.empty());
  auto direct = imaging::bmpToJpegDirect(bmp, quality);
  QVERIFY2(direct.has_value(), "a plain 24-bit BMP should take the direct path");
  QVERIFY(direct->ok());
  QVERIFY(toBytes((*direct)->span()) == expected);
}

void TestDirectConvert::bmpVariantsLeftToGeneralPath_data() {
  QTest::addColumn<Bytes>("bmp");
  const RgbImage photo = craft::photo(9, 6);
  QTest::newRow("24-bit with the old core header") << bmp24(photo, false, 12);
  craft::Bmp b;
  b.width = 4, b.height = 2, b.bitCount = 8;
  b.palette = {{10, 20, 30}, {200, 100, 0}};
  b.pixels = Bytes(8, 1);
  QTest::newRow("8-bit palette") << b.build();
  b.compression = 1;
  b.pixels = {4, 1, 0, 0, 4, 0, 0, 1};
  QTest::newRow("RLE8") << b.build();
  b = {};
  b.width = 2, b.height = 2, b.bitCount = 32;
  b.pixels = Bytes(16, 0x80);
  QTest::newRow("32-bit") << b.build();
  b.compression = 3;
  b.masks = {0xFF0000, 0xFF00, 0xFF, 0};
  QTest::newRow("32-bit bit fields") << b.build();
  b = {};
  b.width = 2, b.height = 2, b.bitCount = 16;
  b.pixels = Bytes(8, 0x42);
  QTest::newRow("16-bit") << b.build();
}

void TestDirectConvert::bmpVariantsLeftToGeneralPath() {
  QFETCH(Bytes, bmp);
  QVERIFY2(imaging::decodeBmp(bmp).ok(), "the general path reads it");
  QVERIFY(!imaging::bmpToJpegDirect(bmp, 75).has_value());
}

void TestDirectConvert::bmpRefusedWithGeneralError_data() {
  QTest::addColumn<Bytes>("bmp");
  const Bytes good = bmp24(craft::photo(33, 17), false);
  QTest::newRow("last row cut short") << Bytes(good.begin(), good.end() - 5);
  QTest::newRow("half the rows missing") << Bytes(good.begin(), good.begin() + good.size() / 2);
  QTest::newRow("headers only") << Bytes(good.begin(), good.begin() + 54);
  craft::Bmp huge;
  huge.width = huge.height = 20000;
  huge.pixels = Bytes(16, 0);
  QTest::newRow("over the side limit") << huge.build();
  huge.width = huge.height = 12000;
  QTest::newRow("over the pixel limit") << huge.build();
  craft::Bmp empty;
  empty.width = 5, empty.height = 0;
  empty.pixels = Bytes(16, 0);
  QTest::newRow("height of zero") << empty.build();
  craft::Bmp beyond;
  beyond.width = 2, beyond.height = 2;
  beyond.pixels = Bytes(16, 0);
  beyond.pixelOffset = 54;
  Bytes offsetBeyond = beyond.build();
  offsetBeyond[10] = 0xFF;
  QTest::newRow("pixel offset past the end") << offsetBeyond;
  QTest::newRow("GIF signature") << Bytes{'G', 'I', 'F', '8', '9', 'a'};
  QTest::newRow("empty file") << Bytes{};
}

void TestDirectConvert::bmpRefusedWithGeneralError() {
  QFETCH(Bytes, bmp);
  auto general = imaging::decodeBmp(bmp);
  QVERIFY(!general);
  auto direct = imaging::bmpToJpegDirect(bmp, 75);
  QVERIFY(direct.has_value());
  QVERIFY(!*direct);
  QCOMPARE(int(direct->error()), int(general.error()));
}

void TestDirectConvert::jpegToBmpGivesGeneralBytes_data() {
  QTest::addColumn<Bytes>("jpeg");
  const RgbImage photo = craft::photo(48, 32);
  QTest::newRow("4:2:0") << ourJpeg(photo, 75);
  QTest::newRow("4:4:4") << ourJpeg(photo, 95);
  QTest::newRow("odd size, 4:2:0") << ourJpeg(craft::photo(33, 17), 75);
  QTest::newRow("1 byte of padding") << ourJpeg(craft::photo(1, 5), 95);
  QTest::newRow("2 bytes of padding") << ourJpeg(craft::photo(2, 5), 75);
  QTest::newRow("3 bytes of padding") << ourJpeg(craft::photo(3, 5), 75);
  QTest::newRow("no padding") << ourJpeg(craft::photo(4, 5), 75);
  QTest::newRow("one pixel") << ourJpeg(craft::photo(1, 1), 75);
  QTest::newRow("taller than the batch of rows") << ourJpeg(craft::photo(5, 53), 75);
  QTest::newRow("greyscale") << encodeIn(craft::photo(21, 13), JCS_GRAYSCALE);
  QTest::newRow("RGB without colour transform") << encodeIn(craft::photo(21, 13), JCS_RGB);
  QTest::newRow("progressive") << encodeIn(craft::photo(40, 24), JCS_YCbCr, Scans::Progressive);
}

void TestDirectConvert::jpegToBmpGivesGeneralBytes() {
  QFETCH(Bytes, jpeg);
  const Bytes expected = generalBmp(jpeg);
  QVERIFY(!expected.empty());
  auto direct = imaging::jpegToBmpDirect(jpeg);
  QVERIFY2(direct.has_value(), "a YCbCr, RGB or greyscale JPEG should take the direct path");
  QVERIFY(direct->ok());
  QVERIFY(toBytes((*direct)->span()) == expected);
}

void TestDirectConvert::cmykJpegLeftToGeneralPath_data() {
  QTest::addColumn<int>("space");
  QTest::newRow("Adobe CMYK") << int(JCS_CMYK);
  QTest::newRow("Adobe YCCK") << int(JCS_YCCK);
}

void TestDirectConvert::cmykJpegLeftToGeneralPath() {
  QFETCH(int, space);
  const Bytes jpeg = encodeIn(craft::photo(19, 11), J_COLOR_SPACE(space));
  QVERIFY(!imaging::jpegToBmpDirect(jpeg).has_value());
  // ... and the conversion still happens, the general way.
  QTemporaryDir dir;
  const std::string source = dir.filePath("cmyk.jpg").toStdString();
  const std::string target = dir.filePath("cmyk.bmp").toStdString();
  craft::writeFile(source, jpeg);
  QVERIFY(imaging::convertFile(source, imaging::PictureFormat::Jpeg, target,
                               imaging::PictureFormat::Bmp)
              .ok());
  QVERIFY(craft::readFile(target) == generalBmp(jpeg));
}

void TestDirectConvert::jpegRefusedWithGeneralError_data() {
  QTest::addColumn<Bytes>("jpeg");
  const Bytes good = ourJpeg(craft::photo(64, 48), 80);
  QTest::newRow("truncated stream") << Bytes(good.begin(), good.begin() + good.size() / 2);
  QTest::newRow("cut inside the frame header")
      << Bytes(good.begin(), good.begin() + frameAt(good) + 4);
  QTest::newRow("height over 16384") << withHeight(good, 20480);
  QTest::newRow("height of zero") << withHeight(good, 0);
  QTest::newRow("BMP signature") << Bytes{'B', 'M', 0, 0};
  QTest::newRow("start marker only") << Bytes{0xFF, 0xD8, 0xFF};
  QTest::newRow("progressive with 190 scans")
      << encodeIn(craft::photo(16, 16), JCS_YCbCr, Scans::OnePerCoefficient);
  Bytes asProgressive = good;
  asProgressive[frameAt(good) + 1] = 0xC2;  // a progressive frame with baseline scans
  QTest::newRow("frame type that its scans contradict") << asProgressive;
  QTest::newRow("cut at two thirds, closed with an end marker")
      << craft::cutAndClosed(good, 2.0 / 3);
  QTest::newRow("12-bit samples") << craft::jpegHeaders(0xC1, 12);
  QTest::newRow("lossless coding") << craft::jpegHeaders(0xC3, 8);
}

void TestDirectConvert::jpegRefusedWithGeneralError() {
  QFETCH(Bytes, jpeg);
  auto general = imaging::decodeJpeg(jpeg);
  QVERIFY(!general);
  auto direct = imaging::jpegToBmpDirect(jpeg);
  QVERIFY(direct.has_value());
  QVERIFY(!*direct);
  QCOMPARE(int(direct->error()), int(general.error()));
}

void TestDirectConvert::convertFileWritesGeneralBytes_data() {
  QTest::addColumn<bool>("toJpeg");
  QTest::addColumn<int>("quality");
  QTest::newRow("BMP to JPEG at the default quality") << true << 75;
  QTest::newRow("BMP to JPEG at full chroma") << true << 92;
  QTest::newRow("JPEG to BMP") << false << 75;
}

void TestDirectConvert::convertFileWritesGeneralBytes() {
  QFETCH(bool, toJpeg);
  QFETCH(int, quality);
  const Bytes bmp = bmp24(craft::photo(37, 23), true);
  const Bytes source = toJpeg ? bmp : ourJpeg(craft::photo(37, 23), 90);
  const Bytes expected = toJpeg ? generalJpeg(bmp, quality) : generalBmp(source);
  QTemporaryDir dir;
  const std::string in = dir.filePath(toJpeg ? "in.bmp" : "in.jpg").toStdString();
  const std::string out = dir.filePath(toJpeg ? "out.jpg" : "out.bmp").toStdString();
  craft::writeFile(in, source);
  imaging::ConvertOptions options;
  options.quality = quality;
  using imaging::PictureFormat;
  const auto from = toJpeg ? PictureFormat::Bmp : PictureFormat::Jpeg;
  const auto to = toJpeg ? PictureFormat::Jpeg : PictureFormat::Bmp;
  QVERIFY(imaging::convertFile(in, from, out, to, options).ok());
  QVERIFY(craft::readFile(out) == expected);
}

QTEST_APPLESS_MAIN(TestDirectConvert)
#include "tst_direct_convert.moc"
