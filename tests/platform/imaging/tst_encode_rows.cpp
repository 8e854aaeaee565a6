// A picture held in memory encoded without a file in between: the bytes of
// writing it as a 24-bit BMP and converting that file, whichever channel
// order and direction its rows are lent in. The workspace saves its photos
// this way and must give the files the BMP-then-convert path gives.

#include <QTemporaryDir>
#include <QTest>

#include "craft.h"
#include "platform/imaging/bmp_writer.h"
#include "platform/imaging/convert.h"

using craft::Bytes;
using imaging::PictureFormat;
using imaging::RgbImage;

namespace {

constexpr std::uint32_t kResolution = 3780;  // 96 dpi, not the writer's default

// The picture's rows swapped to blue-green-red, top row first, unpadded.
Bytes swapped(const RgbImage& img) {
  Bytes out(img.pixels);
  for (std::size_t i = 0; i + 2 < out.size(); i += 3) std::swap(out[i], out[i + 2]);
  return out;
}

// The same rows stored bottom row first.
Bytes upsideDown(const Bytes& rows, std::size_t rowBytes) {
  Bytes out;
  for (std::size_t end = rows.size(); end >= rowBytes; end -= rowBytes)
    out.insert(out.end(), rows.begin() + std::ptrdiff_t(end - rowBytes),
               rows.begin() + std::ptrdiff_t(end));
  return out;
}

}  // namespace

class TestEncodeRows : public QObject {
  Q_OBJECT
 private slots:
  void rowsEncodeAsTheirBmpConverts_data() {
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("bgr");
    QTest::addColumn<bool>("bottomUp");
    QTest::addColumn<int>("quality");
    const int jpeg = int(PictureFormat::Jpeg);
    const int gif = int(PictureFormat::Gif);
    const int bmp = int(PictureFormat::Bmp);
    QTest::newRow("JPEG from red-green-blue rows") << jpeg << false << false << 20;
    QTest::newRow("JPEG from blue-green-red rows") << jpeg << true << false << 80;
    QTest::newRow("JPEG from rows lent bottom-up") << jpeg << true << true << 95;
    QTest::newRow("JPEG quality above 100 is clamped") << jpeg << false << false << 130;
    QTest::newRow("GIF from blue-green-red rows") << gif << true << false << 0;
    QTest::newRow("GIF from rows lent bottom-up") << gif << false << true << 0;
    QTest::newRow("BMP from blue-green-red rows") << bmp << true << false << 0;
    QTest::newRow("BMP from rows lent bottom-up") << bmp << false << true << 0;
  }
  void rowsEncodeAsTheirBmpConverts() {
    QFETCH(int, to);
    QFETCH(bool, bgr);
    QFETCH(bool, bottomUp);
    QFETCH(int, quality);
    const auto format = static_cast<PictureFormat>(to);
    const RgbImage img = craft::photo(53, 37);  // odd sides: padded rows, partial blocks
    const auto step = std::ptrdiff_t(img.rowBytes());
    Bytes held = bgr ? swapped(img) : img.pixels;
    if (bottomUp) held = upsideDown(held, img.rowBytes());
    imaging::PixelRows rows{img.width, img.height,
                            bgr ? imaging::ChannelOrder::Bgr : imaging::ChannelOrder::Rgb,
                            held.data(), step};
    if (bottomUp) {
      rows.top = held.data() + step * (img.height - 1);
      rows.step = -step;
    }
    imaging::ConvertOptions options;
    options.quality = quality;
    const auto encoded = imaging::encodeRows(format, rows, options, kResolution);
    QVERIFY(encoded.ok());

    QTemporaryDir dir;
    const std::string bmpFile = dir.filePath("base.bmp").toStdString();
    const std::string out = dir.filePath("out").toStdString();
    craft::writeFile(bmpFile, imaging::encodeBmp(imaging::rowsOf(img), kResolution));
    if (format == PictureFormat::Bmp) {
      QVERIFY(*encoded == craft::readFile(bmpFile));
      return;
    }
    QVERIFY(imaging::convertFile(bmpFile, PictureFormat::Bmp, out, format, options).ok());
    QVERIFY(*encoded == craft::readFile(out));
  }

  void rowsOfNoPictureAreRefused() {
    const std::uint8_t pixel[3] = {};
    const imaging::PixelRows none{0, 0, imaging::ChannelOrder::Rgb, pixel, 3};
    QVERIFY(!imaging::encodeRows(PictureFormat::Jpeg, none, {}).ok());
  }
};

QTEST_APPLESS_MAIN(TestEncodeRows)
#include "tst_encode_rows.moc"
