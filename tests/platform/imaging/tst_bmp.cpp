// BMP reader and writer: every variant decodes to the picture it was made
// from and survives a write and a second read; crafted files of the known
// bug classes are read safely or refused with the right cause.

#include <QTest>
#include <climits>
#include <functional>

#include "craft.h"
#include "platform/imaging/bmp_reader.h"
#include "platform/imaging/bmp_writer.h"

using craft::Bytes;
using imaging::ImageError;
using imaging::RgbImage;
using Colour = std::array<std::uint8_t, 3>;

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(RgbImage)
Q_DECLARE_METATYPE(ImageError)

namespace {

const std::vector<Colour> kPalette = {
    {0, 0, 0},     {255, 255, 255}, {200, 30, 40},   {20, 180, 60}, {30, 40, 210}, {250, 220, 10},
    {0, 200, 200}, {190, 0, 190},   {128, 128, 128}, {90, 60, 30},  {255, 128, 0}, {10, 10, 90},
    {60, 90, 10},  {240, 180, 200}, {100, 200, 250}, {33, 66, 99}};

int indexAt(int x, int y, int colours) {
  return (x * 3 + y * 5 + x * y) % colours;
}

RgbImage indexedPicture(int w, int h, int colours) {
  RgbImage img{w, h, std::vector<std::uint8_t>(std::size_t(w) * h * 3)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Colour c = kPalette[indexAt(x, y, colours)];
      std::copy(c.begin(), c.end(), img.row(y) + x * 3);
    }
  return img;
}

// Packs palette indices row by row, bottom-up unless topDown.
Bytes packIndices(int w, int h, int bits, int colours) {
  const int stride = (w * bits + 31) / 32 * 4;
  Bytes out(std::size_t(stride) * h, 0);
  for (int row = 0; row < h; ++row) {
    const int y = h - 1 - row;
    for (int x = 0; x < w; ++x) {
      const int bit = x * bits;
      out[row * stride + bit / 8] |= indexAt(x, y, colours) << (8 - bits - bit % 8);
    }
  }
  return out;
}

craft::Bmp paletteBmp(int w, int h, int bits, int colours) {
  craft::Bmp b;
  b.width = w, b.height = h, b.bitCount = bits;
  b.palette.assign(kPalette.begin(), kPalette.begin() + colours);
  b.pixels = packIndices(w, h, bits, colours);
  return b;
}

// Pixels written by `pack` (x, y, colour) into rows of `bytes` per pixel.
Bytes packDirect(const RgbImage& img, int bytesPerPixel, bool topDown,
                 const std::function<std::uint32_t(const std::uint8_t*)>& pack) {
  const int stride = (img.width * bytesPerPixel + 3) / 4 * 4;
  Bytes out(std::size_t(stride) * img.height, 0);
  for (int row = 0; row < img.height; ++row) {
    const int y = topDown ? row : img.height - 1 - row;
    for (int x = 0; x < img.width; ++x) {
      const std::uint32_t v = pack(img.row(y) + x * 3);
      for (int i = 0; i < bytesPerPixel; ++i)
        out[row * stride + x * bytesPerPixel + i] = v >> (8 * i);
    }
  }
  return out;
}

// A picture whose every channel is exact in 5 bits (or 6 for green).
RgbImage fiveBitPicture(int w, int h, int greenBits) {
  RgbImage img = craft::photo(w, h);
  auto snap = [](std::uint8_t v, int bits) {
    const int max = (1 << bits) - 1;
    const int q = (v * max + 127) / 255;
    return static_cast<std::uint8_t>((q * 255 + max / 2) / max);
  };
  for (std::size_t i = 0; i < img.pixels.size(); i += 3) {
    img.pixels[i] = snap(img.pixels[i], 5);
    img.pixels[i + 1] = snap(img.pixels[i + 1], greenBits);
    img.pixels[i + 2] = snap(img.pixels[i + 2], 5);
  }
  return img;
}

std::uint32_t to5(std::uint8_t v, int bits) {
  return (v * ((1u << bits) - 1) + 127) / 255;
}

RgbImage decodeOrFail(const Bytes& file) {
  auto img = imaging::decodeBmp(file);
  if (!img) {
    qWarning("decode failed: %s", imaging::describe(img.error()));
    return {};
  }
  return *img;
}

Bytes rleBody(std::initializer_list<int> bytes) {
  return Bytes(bytes.begin(), bytes.end());
}

RgbImage solid(int w, int h, Colour c) {
  RgbImage img{w, h, {}};
  for (int i = 0; i < w * h; ++i) img.pixels.insert(img.pixels.end(), c.begin(), c.end());
  return img;
}

void paint(RgbImage& img, int x, int y, Colour c) {
  std::copy(c.begin(), c.end(), img.row(y) + x * 3);
}

}  // namespace

class TestBmp : public QObject {
  Q_OBJECT
 private slots:
  void everyVariantRoundTrips_data();
  void everyVariantRoundTrips();
  void craftedFilesReadSafely_data();
  void craftedFilesReadSafely();
  void craftedFilesRefused_data();
  void craftedFilesRefused();
  void writerGivesPlain24BitBottomUp();
};

void TestBmp::everyVariantRoundTrips_data() {
  QTest::addColumn<Bytes>("file");
  QTest::addColumn<RgbImage>("expected");

  // Odd widths so that every row needs padding.
  QTest::newRow("1-bit palette") << paletteBmp(13, 4, 1, 2).build() << indexedPicture(13, 4, 2);
  QTest::newRow("2-bit palette") << paletteBmp(11, 3, 2, 4).build() << indexedPicture(11, 3, 4);
  QTest::newRow("4-bit palette") << paletteBmp(9, 5, 4, 16).build() << indexedPicture(9, 5, 16);
  QTest::newRow("8-bit palette") << paletteBmp(7, 5, 8, 16).build() << indexedPicture(7, 5, 16);
  {
    craft::Bmp b = paletteBmp(7, 5, 8, 16);
    b.headerSize = 12;
    QTest::newRow("8-bit old core header") << b.build() << indexedPicture(7, 5, 16);
  }
  {
    craft::Bmp b = paletteBmp(5, 3, 8, 16);
    b.headerSize = 124;
    b.colorsUsed = 16;
    QTest::newRow("8-bit v5 header, colours used") << b.build() << indexedPicture(5, 3, 16);
  }
  const RgbImage photo = craft::photo(7, 5);
  auto bgr = [](const std::uint8_t* p) { return std::uint32_t(p[2] | p[1] << 8 | p[0] << 16); };
  {
    craft::Bmp b;
    b.width = 7, b.height = 5, b.bitCount = 24;
    b.pixels = packDirect(photo, 3, false, bgr);
    QTest::newRow("24-bit bottom-up") << b.build() << photo;
    b.height = -5;
    b.pixels = packDirect(photo, 3, true, bgr);
    QTest::newRow("24-bit top-down") << b.build() << photo;
    b.headerSize = 12;
    b.height = 5;
    b.pixels = packDirect(photo, 3, false, bgr);
    QTest::newRow("24-bit old core header") << b.build() << photo;
  }
  {
    craft::Bmp b;
    b.width = 7, b.height = 5, b.bitCount = 32;
    b.pixels =
        packDirect(photo, 4, false, [&](const std::uint8_t* p) { return bgr(p) | 0xAB000000; });
    QTest::newRow("32-bit, unused byte ignored") << b.build() << photo;
  }
  {
    craft::Bmp b;
    b.width = 7, b.height = -5, b.bitCount = 32, b.compression = 3, b.headerSize = 124;
    b.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0};  // RGBX byte order
    b.pixels = packDirect(photo, 4, true, [](const std::uint8_t* p) {
      return std::uint32_t(p[0] | p[1] << 8 | p[2] << 16);
    });
    QTest::newRow("32-bit bit fields in v5 header, top-down") << b.build() << photo;
  }
  {
    const RgbImage five = fiveBitPicture(7, 5, 5);
    craft::Bmp b;
    b.width = 7, b.height = 5, b.bitCount = 16;
    b.pixels = packDirect(five, 2, false, [](const std::uint8_t* p) {
      return to5(p[0], 5) << 10 | to5(p[1], 5) << 5 | to5(p[2], 5);
    });
    QTest::newRow("16-bit default 5-5-5") << b.build() << five;
  }
  {
    const RgbImage six = fiveBitPicture(7, 5, 6);
    craft::Bmp b;
    b.width = 7, b.height = 5, b.bitCount = 16, b.compression = 3;
    b.masks = {0xF800, 0x07E0, 0x001F, 0};
    b.pixels = packDirect(six, 2, false, [](const std::uint8_t* p) {
      return to5(p[0], 5) << 11 | to5(p[1], 6) << 5 | to5(p[2], 5);
    });
    QTest::newRow("16-bit bit fields 5-6-5 after info header") << b.build() << six;
  }
  {
    craft::Bmp b;
    b.width = 3, b.height = 1, b.bitCount = 32, b.compression = 3, b.headerSize = 108;
    b.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    b.pixels = {0, 0, 200, 255, /**/ 0, 0, 200, 0, /**/ 0, 0, 200, 128, 0, 0, 0, 0};
    RgbImage expected{3, 1, {200, 0, 0, 255, 255, 255, 227, 127, 127}};
    QTest::newRow("32-bit alpha over white") << b.build() << expected;
  }
  {
    // Runs, a literal run with its word padding, end of line, end of picture.
    craft::Bmp b;
    b.width = 6, b.height = 2, b.bitCount = 8, b.compression = 1;
    b.palette.assign(kPalette.begin(), kPalette.begin() + 4);
    b.pixels = rleBody({3, 2, 0, 3, 1, 3, 1, 0, 0, 0, 6, 3, 0, 1});
    RgbImage expected = solid(6, 2, kPalette[3]);
    for (int x = 0; x < 3; ++x) paint(expected, x, 1, kPalette[2]);
    paint(expected, 3, 1, kPalette[1]), paint(expected, 4, 1, kPalette[3]),
        paint(expected, 5, 1, kPalette[1]);
    QTest::newRow("RLE8") << b.build() << expected;
  }
  {
    craft::Bmp b;
    b.width = 5, b.height = 2, b.bitCount = 4, b.compression = 2;
    b.palette.assign(kPalette.begin(), kPalette.begin() + 4);
    // Row 0: run of 5 alternating 2,3; row 1: literal 1,2,3 then run of 2 zeros.
    b.pixels = rleBody({5, 0x23, 0, 0, 0, 3, 0x12, 0x30, 2, 0x00, 0, 1});
    RgbImage expected = solid(5, 2, kPalette[0]);
    const int bottom[] = {2, 3, 2, 3, 2}, top[] = {1, 2, 3, 0, 0};
    for (int x = 0; x < 5; ++x)
      paint(expected, x, 1, kPalette[bottom[x]]), paint(expected, x, 0, kPalette[top[x]]);
    QTest::newRow("RLE4") << b.build() << expected;
  }
  {
    craft::Bmp b;
    b.width = 4, b.height = 3, b.bitCount = 8, b.compression = 1;
    b.palette.assign(kPalette.begin(), kPalette.begin() + 4);
    // One pixel, then a delta of 2 right and 1 up, one more pixel, end.
    b.pixels = rleBody({1, 2, 0, 2, 2, 1, 1, 3, 0, 1});
    RgbImage expected = solid(4, 3, kPalette[0]);
    paint(expected, 0, 2, kPalette[2]);
    paint(expected, 3, 1, kPalette[3]);
    QTest::newRow("RLE8 delta leaves index 0 behind") << b.build() << expected;
  }
}

void TestBmp::everyVariantRoundTrips() {
  QFETCH(Bytes, file);
  QFETCH(RgbImage, expected);
  const RgbImage decoded = decodeOrFail(file);
  QCOMPARE(decoded.width, expected.width);
  QCOMPARE(decoded.height, expected.height);
  QVERIFY(decoded.pixels == expected.pixels);
  const RgbImage again = decodeOrFail(imaging::encodeBmp(decoded));
  QVERIFY(again.pixels == expected.pixels);
}

void TestBmp::craftedFilesReadSafely_data() {
  QTest::addColumn<Bytes>("file");
  QTest::addColumn<RgbImage>("expected");
  const Colour black{0, 0, 0};
  {
    craft::Bmp b;
    b.width = 3, b.height = 1, b.bitCount = 8, b.colorsUsed = 2;
    b.palette = {kPalette[2], kPalette[3]};
    b.pixels = {1, 200, 255, 0};
    RgbImage expected{3, 1, {}};
    for (Colour c : {kPalette[3], black, black})
      expected.pixels.insert(expected.pixels.end(), c.begin(), c.end());
    QTest::newRow("palette index beyond palette reads black") << b.build() << expected;
  }
  {
    craft::Bmp b;
    b.width = 4, b.height = 2, b.bitCount = 8, b.compression = 1;
    b.palette.assign(kPalette.begin(), kPalette.begin() + 4);
    b.pixels = rleBody({10, 1, 0, 0, 0, 1});
    RgbImage expected = solid(4, 2, kPalette[0]);
    for (int x = 0; x < 4; ++x) paint(expected, x, 1, kPalette[1]);
    QTest::newRow("RLE run past line end is cut, not wrapped") << b.build() << expected;
  }
  {
    craft::Bmp b;
    b.width = 2, b.height = 2, b.bitCount = 8, b.compression = 1;
    b.palette.assign(kPalette.begin(), kPalette.begin() + 4);
    b.pixels = rleBody({2, 1, 0, 0, 2, 2, 0, 0, 2, 3, 0, 0, 255, 3, 0, 0});
    RgbImage expected = solid(2, 2, kPalette[1]);
    for (int x = 0; x < 2; ++x) paint(expected, x, 0, kPalette[2]);
    QTest::newRow("RLE lines past picture end are dropped") << b.build() << expected;
  }
  {
    craft::Bmp b;
    b.width = 2, b.height = 2, b.bitCount = 4, b.compression = 2;
    b.palette.assign(kPalette.begin(), kPalette.begin() + 4);
    b.pixels = rleBody({0, 2, 255, 255, 255, 0x11, 0, 200, 0x11});
    QTest::newRow("RLE delta and literal past the end") << b.build() << solid(2, 2, kPalette[0]);
  }
  {
    craft::Bmp b;
    b.width = 1, b.height = 1, b.bitCount = 32, b.compression = 3;
    b.masks = {0, 0x0000FF00, 0, 0};
    b.pixels = {0x11, 0x80, 0x33, 0x44};
    QTest::newRow("zero bit-field mask reads 0") << b.build() << RgbImage{1, 1, {0, 0x80, 0}};
    b.masks = {};
    QTest::newRow("all bit-field masks zero read black") << b.build() << RgbImage{1, 1, {0, 0, 0}};
    b.masks = {0x0000000F, 0x00000F00, 0x000F0000, 0};
    b.pixels = {0x0F, 0x08, 0x00, 0};
    QTest::newRow("4-bit masks scale to full range") << b.build() << RgbImage{1, 1, {255, 136, 0}};
  }
  {
    craft::Bmp b;
    b.width = 3, b.height = 2, b.bitCount = 24;
    b.pixels = Bytes(12 + 9, 0x40);  // last row without its 3 padding bytes
    QTest::newRow("last row without padding") << b.build() << solid(3, 2, {0x40, 0x40, 0x40});
  }
  {
    craft::Bmp b = paletteBmp(2, 1, 8, 4);
    b.colorsUsed = 0xFFFFFFF0;
    QTest::newRow("colours used beyond 256") << b.build() << indexedPicture(2, 1, 4);
  }
}

void TestBmp::craftedFilesReadSafely() {
  QFETCH(Bytes, file);
  QFETCH(RgbImage, expected);
  const RgbImage decoded = decodeOrFail(file);
  QCOMPARE(decoded.width, expected.width);
  QCOMPARE(decoded.height, expected.height);
  QVERIFY(decoded.pixels == expected.pixels);
}

void TestBmp::craftedFilesRefused_data() {
  QTest::addColumn<Bytes>("file");
  QTest::addColumn<ImageError>("error");
  auto sized = [](std::int32_t w, std::int32_t h, std::uint16_t bits) {
    craft::Bmp b;
    b.width = w, b.height = h, b.bitCount = bits;
    b.pixels = Bytes(64, 0);
    return b.build();
  };
  QTest::newRow("width x height x depth overflows 32 bits")
      << sized(65536, 65536, 32) << ImageError::TooLarge;
  QTest::newRow("side over 16384") << sized(16385, 1, 24) << ImageError::TooLarge;
  QTest::newRow("over 100 megapixels") << sized(12000, 9000, 24) << ImageError::TooLarge;
  QTest::newRow("negative height at its limit") << sized(1, INT_MIN, 24) << ImageError::TooLarge;
  QTest::newRow("negative width") << sized(-4, 4, 24) << ImageError::Damaged;
  QTest::newRow("zero width") << sized(0, 4, 24) << ImageError::Damaged;
  QTest::newRow("pixel rows cut short") << sized(100, 100, 24) << ImageError::Damaged;
  QTest::newRow("depth of 7 bits") << sized(1, 1, 7) << ImageError::Damaged;
  QTest::newRow("64-bit depth") << sized(1, 1, 64) << ImageError::Unsupported;
  {
    craft::Bmp b;
    b.pixels = Bytes(4, 0);
    Bytes file = b.build();
    file[10] = 0xA0, file[11] = 0x0F;  // 4000
    QTest::newRow("pixel offset past the end") << file << ImageError::Damaged;
    file[10] = 20, file[11] = 0;
    QTest::newRow("pixel offset inside the header") << file << ImageError::Damaged;
  }
  {
    craft::Bmp b;
    b.compression = 5;
    b.pixels = Bytes(4, 0);
    QTest::newRow("embedded PNG") << b.build() << ImageError::Unsupported;
    b.compression = 1;
    QTest::newRow("RLE8 on a 24-bit picture") << b.build() << ImageError::Damaged;
  }
  {
    craft::Bmp b;
    b.bitCount = 8;
    b.pixels = Bytes(4, 0);
    QTest::newRow("palette picture without palette") << b.build() << ImageError::Damaged;
  }
  Bytes cut = craft::Bmp{}.build();
  cut.resize(20);
  QTest::newRow("header cut short") << cut << ImageError::Damaged;
  QTest::newRow("GIF signature") << Bytes{'G', 'I', 'F', '8', '9', 'a'} << ImageError::NotThisType;
  QTest::newRow("empty file") << Bytes{} << ImageError::NotThisType;
}

void TestBmp::craftedFilesRefused() {
  QFETCH(Bytes, file);
  QFETCH(ImageError, error);
  auto img = imaging::decodeBmp(file);
  QVERIFY(!img);
  QCOMPARE(int(img.error()), int(error));
}

void TestBmp::writerGivesPlain24BitBottomUp() {
  const RgbImage photo = craft::photo(5, 3);
  const Bytes file = imaging::encodeBmp(photo);
  QCOMPARE(file.size(), std::size_t(54 + 16 * 3));
  QCOMPARE(file[28], std::uint8_t(24));
  QCOMPARE(file[30], std::uint8_t(0));
  // The first stored row is the bottom one, blue first.
  QCOMPARE(file[54], photo.row(2)[2]);
  QCOMPARE(file[56], photo.row(2)[0]);
}

QTEST_APPLESS_MAIN(TestBmp)
#include "tst_bmp.moc"
