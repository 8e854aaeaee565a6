// JPEG reader and writer: the encoder's settings as they land in the file,
// the quality/size trade, and the streams the reader must refuse.

#include <QTest>

// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include "craft.h"
#include "platform/imaging/jpeg_reader.h"
#include "platform/imaging/jpeg_writer.h"

using craft::Bytes;
using imaging::ImageError;

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(ImageError)

namespace {

struct FrameInfo {
  bool baseline = false, progressive = false;
  int width = 0, height = 0, lumaH = 0, lumaV = 0;
  std::size_t sofAt = 0;
};

// Walks the markers up to the first frame header.
FrameInfo frameOf(const Bytes& jpeg) {
  FrameInfo info;
  std::size_t i = 2;
  while (i + 4 < jpeg.size() && jpeg[i] == 0xFF) {
    const int marker = jpeg[i + 1];
    const std::size_t len = std::size_t(jpeg[i + 2] << 8 | jpeg[i + 3]);
    if (marker == 0xC0 || marker == 0xC2) {
      info.baseline = marker == 0xC0;
      info.progressive = marker == 0xC2;
      info.sofAt = i;
      info.height = jpeg[i + 5] << 8 | jpeg[i + 6];
      info.width = jpeg[i + 7] << 8 | jpeg[i + 8];
      info.lumaH = jpeg[i + 11] >> 4;
      info.lumaV = jpeg[i + 11] & 15;
      return info;
    }
    i += 2 + len;
  }
  return info;
}

Bytes encode(const imaging::RgbImage& img, int quality) {
  auto bytes = imaging::encodeJpeg(img, quality);
  return bytes ? *bytes : Bytes{};
}

// A reference encoder with a scan script of our choosing; libjpeg's default
// error handling is fine for the valid settings used here.
Bytes encodeProgressive(const imaging::RgbImage& img, bool oneScanPerCoefficient) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = img.width, c.image_height = img.height;
  c.input_components = 3, c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  std::vector<jpeg_scan_info> scans;
  if (oneScanPerCoefficient) {
    scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
    for (int comp = 0; comp < 3; ++comp)
      for (int k = 1; k < 64; ++k) scans.push_back({1, {comp, 0, 0, 0}, k, k, 0, 0});
    c.scan_info = scans.data();
    c.num_scans = static_cast<int>(scans.size());
  } else {
    jpeg_simple_progression(&c);
  }
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(img.row(int(c.next_scanline)));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes bytes(out, out + size);
  std::free(out);
  return bytes;
}

}  // namespace

class TestJpeg : public QObject {
  Q_OBJECT
 private slots:
  void encoderSettingsByQuality_data();
  void encoderSettingsByQuality();
  void higherQualityIsLargerAndCloser();
  void standardTablesGiveTheSamePixels();
  void readsProgressiveWithinScanLimit();
  void refusesBadStreams_data();
  void refusesBadStreams();
};

void TestJpeg::encoderSettingsByQuality_data() {
  QTest::addColumn<int>("quality");
  QTest::addColumn<int>("sampling");
  QTest::newRow("lowest quality subsamples chroma 4:2:0") << 1 << 2;
  QTest::newRow("quality 89 subsamples chroma 4:2:0") << 89 << 2;
  QTest::newRow("quality 90 keeps full chroma 4:4:4") << 90 << 1;
  QTest::newRow("quality 100 keeps full chroma 4:4:4") << 100 << 1;
}

void TestJpeg::encoderSettingsByQuality() {
  QFETCH(int, quality);
  QFETCH(int, sampling);
  const Bytes jpeg = encode(craft::photo(33, 17), quality);
  const FrameInfo f = frameOf(jpeg);
  QVERIFY(f.baseline);
  QCOMPARE(f.width, 33);
  QCOMPARE(f.height, 17);
  QCOMPARE(f.lumaH, sampling);
  QCOMPARE(f.lumaV, sampling);
  auto back = imaging::decodeJpeg(jpeg);
  QVERIFY(back.ok());
  QCOMPARE(back->width, 33);
}

void TestJpeg::higherQualityIsLargerAndCloser() {
  const imaging::RgbImage photo = craft::photo(96, 64);
  const Bytes low = encode(photo, 30), high = encode(photo, 95);
  QVERIFY(low.size() < high.size());
  auto lowBack = imaging::decodeJpeg(low), highBack = imaging::decodeJpeg(high);
  QVERIFY(lowBack.ok() && highBack.ok());
  QVERIFY(craft::psnr(photo, *highBack) > craft::psnr(photo, *lowBack));
  QVERIFY2(craft::psnr(photo, *highBack) > 35, "quality 95 should be close to its source");
}

void TestJpeg::standardTablesGiveTheSamePixels() {
  const imaging::RgbImage photo = craft::photo(96, 64);
  const auto standard =
      imaging::encodeJpegRows(imaging::rowsOf(photo), 80, imaging::HuffmanTables::Standard);
  const auto optimised = imaging::encodeJpegRows(imaging::rowsOf(photo), 80);
  QVERIFY(standard.ok() && optimised.ok());
  // Only the entropy coding differs: the optimised file is smaller, the pixels the same.
  QVERIFY(optimised->size() < standard->size());
  auto fromStandard = imaging::decodeJpeg(standard->span());
  auto fromOptimised = imaging::decodeJpeg(optimised->span());
  QVERIFY(fromStandard.ok() && fromOptimised.ok());
  QVERIFY(fromStandard->pixels == fromOptimised->pixels);
}

void TestJpeg::readsProgressiveWithinScanLimit() {
  const imaging::RgbImage photo = craft::photo(40, 24);
  const Bytes jpeg = encodeProgressive(photo, false);
  QVERIFY(frameOf(jpeg).progressive);
  auto back = imaging::decodeJpeg(jpeg);
  QVERIFY(back.ok());
  QVERIFY(craft::psnr(photo, *back) > 30);
}

void TestJpeg::refusesBadStreams_data() {
  QTest::addColumn<Bytes>("file");
  QTest::addColumn<ImageError>("error");
  const Bytes good = encode(craft::photo(64, 48), 80);
  Bytes truncated(good.begin(), good.begin() + good.size() / 2);
  QTest::newRow("truncated stream") << truncated << ImageError::Damaged;
  Bytes headerOnly(good.begin(), good.begin() + frameOf(good).sofAt + 4);
  QTest::newRow("cut inside the frame header") << headerOnly << ImageError::Damaged;
  QTest::newRow("progressive with 190 scans")
      << encodeProgressive(craft::photo(16, 16), true) << ImageError::Damaged;
  Bytes huge = good;
  const std::size_t sof = frameOf(good).sofAt;
  huge[sof + 5] = 0x50, huge[sof + 6] = 0x00;  // height 20480
  QTest::newRow("height over 16384") << huge << ImageError::TooLarge;
  huge[sof + 5] = 0x3A, huge[sof + 6] = 0x98;  // 15000
  huge[sof + 7] = 0x3A, huge[sof + 8] = 0x98;
  QTest::newRow("over 100 megapixels") << huge << ImageError::TooLarge;
  Bytes zero = good;
  zero[sof + 5] = 0, zero[sof + 6] = 0;
  QTest::newRow("height of zero") << zero << ImageError::Damaged;
  QTest::newRow("cut at two thirds, closed with an end marker")
      << craft::cutAndClosed(good, 2.0 / 3) << ImageError::Damaged;
  QTest::newRow("cut at a third, closed with an end marker")
      << craft::cutAndClosed(good, 1.0 / 3) << ImageError::Damaged;
  Bytes claimsHuge = craft::cutAndClosed(good, 0.5);
  claimsHuge[sof + 5] = 0x17, claimsHuge[sof + 6] = 0xD7;  // 6103 rows
  claimsHuge[sof + 7] = 0x40, claimsHuge[sof + 8] = 0x00;  // of 16384
  QTest::newRow("a small file claiming 16384 x 6103") << claimsHuge << ImageError::Damaged;
  Bytes garbled = good;
  for (std::size_t i = garbled.size() / 2; i < garbled.size() / 2 + 40; ++i) garbled[i] = 0xFF;
  QTest::newRow("entropy data overwritten") << garbled << ImageError::Damaged;
  QTest::newRow("12-bit samples are not supported")
      << craft::jpegHeaders(0xC1, 12) << ImageError::Unsupported;
  QTest::newRow("lossless coding is not supported")
      << craft::jpegHeaders(0xC3, 8) << ImageError::Unsupported;
  QTest::newRow("hierarchical coding is not supported")
      << craft::jpegHeaders(0xC5, 8) << ImageError::Unsupported;
  QTest::newRow("BMP signature") << Bytes{'B', 'M', 0, 0} << ImageError::NotThisType;
  QTest::newRow("start marker only") << Bytes{0xFF, 0xD8, 0xFF} << ImageError::Damaged;
}

void TestJpeg::refusesBadStreams() {
  QFETCH(Bytes, file);
  QFETCH(ImageError, error);
  auto img = imaging::decodeJpeg(file);
  QVERIFY(!img);
  QCOMPARE(int(img.error()), int(error));
}

QTEST_APPLESS_MAIN(TestJpeg)
#include "tst_jpeg.moc"
