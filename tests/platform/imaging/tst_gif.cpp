// GIF reader, writer and the quantizer: palette quality and dithering on a
// photographic picture, and the crafted files of the known GIF bug classes.

#include <QTest>

#include "craft.h"
#include "platform/imaging/gif_reader.h"
#include "platform/imaging/gif_writer.h"
#include "platform/imaging/quantizer.h"

using craft::Bytes;
using imaging::ImageError;
using imaging::RgbImage;

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(RgbImage)
Q_DECLARE_METATYPE(ImageError)

namespace {

RgbImage throughGif(const RgbImage& img, bool dither) {
  imaging::QuantizeOptions options;
  options.dither = dither;
  auto gif = imaging::encodeGif(img, options);
  if (!gif) return {};
  auto back = imaging::decodeGif(*gif);
  return back ? *back : RgbImage{};
}

// A palette of 256 colours spread evenly over the cube (3-3-2 bits): what
// a quantizer that ignores the picture would give.
RgbImage throughUniformPalette(const RgbImage& img) {
  std::vector<imaging::Rgb> palette;
  for (int r = 0; r < 8; ++r)
    for (int g = 0; g < 8; ++g)
      for (int b = 0; b < 4; ++b)
        palette.push_back(
            {std::uint8_t(r * 255 / 7), std::uint8_t(g * 255 / 7), std::uint8_t(b * 255 / 3)});
  const imaging::IndexedImage indexed = imaging::remapToPalette(img, palette, false);
  RgbImage out{img.width, img.height, {}};
  for (std::uint8_t i : indexed.indices)
    out.pixels.insert(out.pixels.end(), indexed.palette[i].begin(), indexed.palette[i].end());
  return out;
}

// 4 x 4 box average: what the eye sees of a dithered area from a distance.
RgbImage blurred(const RgbImage& img) {
  RgbImage out{img.width / 4, img.height / 4, {}};
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int dy = 0; dy < 4; ++dy)
          for (int dx = 0; dx < 4; ++dx) sum += img.row(y * 4 + dy)[(x * 4 + dx) * 3 + c];
        out.pixels.push_back(std::uint8_t((sum + 8) / 16));
      }
  return out;
}

RgbImage smoothRamp(int w, int h) {
  RgbImage img{w, h, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      img.pixels.push_back(std::uint8_t(x * 255 / (w - 1)));
      img.pixels.push_back(std::uint8_t(y * 255 / (h - 1)));
      img.pixels.push_back(std::uint8_t((x + y) * 127 / (w + h)));
    }
  return img;
}

craft::Gif gif(int w, int h) {
  craft::Gif g;
  g.screenWidth = g.width = w;
  g.screenHeight = g.height = h;
  g.palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  g.indices.assign(std::size_t(w) * h, 1);
  return g;
}

RgbImage solid(int w, int h, imaging::Rgb c) {
  RgbImage img{w, h, {}};
  for (int i = 0; i < w * h; ++i) img.pixels.insert(img.pixels.end(), c.begin(), c.end());
  return img;
}

}  // namespace

class TestGif : public QObject {
  Q_OBJECT
 private slots:
  void fewColoursSurviveExactly();
  void writesGif89a();
  void paletteFitsPhotograph();
  void ditheringKeepsSmoothShades();
  void craftedFilesRead_data();
  void craftedFilesRead();
  void craftedFilesRefused_data();
  void craftedFilesRefused();
};

void TestGif::fewColoursSurviveExactly() {
  RgbImage img = craft::photo(40, 30);
  for (std::size_t i = 0; i < img.pixels.size(); ++i) img.pixels[i] &= 0xC0;  // 64 colours
  QVERIFY(throughGif(img, true).pixels == img.pixels);
  QVERIFY(throughGif(img, false).pixels == img.pixels);
}

void TestGif::writesGif89a() {
  auto bytes = imaging::encodeGif(craft::photo(8, 8), {});
  QVERIFY(bytes.ok());
  QCOMPARE(std::string(bytes->begin(), bytes->begin() + 6), std::string("GIF89a"));
  QCOMPARE(bytes->back(), std::uint8_t(0x3B));
}

void TestGif::paletteFitsPhotograph() {
  const RgbImage photo = craft::photo(320, 240);
  const double ours = craft::psnr(photo, throughGif(photo, false));
  const double uniform = craft::psnr(photo, throughUniformPalette(photo));
  qInfo("undithered PSNR %.2f dB, uniform palette %.2f dB", ours, uniform);
  QVERIFY2(ours > uniform + 6, "the palette should follow the picture's colours");
  QVERIFY(ours > 36);
}

void TestGif::ditheringKeepsSmoothShades() {
  const RgbImage ramp = smoothRamp(256, 128);
  const RgbImage plain = throughGif(ramp, false), dithered = throughGif(ramp, true);
  const double plainSeen = craft::psnr(blurred(ramp), blurred(plain));
  const double ditheredSeen = craft::psnr(blurred(ramp), blurred(dithered));
  qInfo("seen from afar: dithered %.2f dB, plain %.2f dB", ditheredSeen, plainSeen);
  QVERIFY(dithered.pixels != plain.pixels);
  QVERIFY(ditheredSeen > plainSeen + 1);
}

void TestGif::craftedFilesRead_data() {
  QTest::addColumn<Bytes>("file");
  QTest::addColumn<RgbImage>("expected");
  const imaging::Rgb red{255, 0, 0}, white{255, 255, 255}, black{0, 0, 0};
  {
    craft::Gif g = gif(3, 1);
    g.indices = {1, 0, 3};
    g.transparentIndex = 0;
    QTest::newRow("transparency over white")
        << g.build() << RgbImage{3, 1, {255, 0, 0, 255, 255, 255, 0, 0, 255}};
  }
  {
    craft::Gif g = gif(3, 1);
    g.palette = {{0, 0, 0}, {255, 0, 0}};
    g.indices = {1, 3, 2};  // the code size allows 0..3, the table holds 2
    QTest::newRow("index beyond colour table reads black")
        << g.build() << RgbImage{3, 1, {255, 0, 0, 0, 0, 0, 0, 0, 0}};
  }
  {
    craft::Gif g = gif(4, 4);
    g.screenWidth = g.screenHeight = 10;
    g.left = g.top = 20;
    QTest::newRow("frame wholly outside its screen is taken alone")
        << g.build() << solid(4, 4, red);
  }
  {
    craft::Gif g = gif(4, 4);
    g.screenWidth = g.screenHeight = 3;
    g.left = g.top = 1;
    RgbImage expected = solid(3, 3, white);
    for (int y = 1; y < 3; ++y)
      for (int x = 1; x < 3; ++x) std::copy(red.begin(), red.end(), expected.row(y) + x * 3);
    QTest::newRow("frame partly outside its screen is cut") << g.build() << expected;
  }
  {
    craft::Gif g = gif(2, 2);
    g.screenWidth = g.screenHeight = 0;
    QTest::newRow("empty screen takes the frame's size") << g.build() << solid(2, 2, red);
  }
  {
    // 16384 literal codes: the table fills at 4096 and the stream goes on
    // without a clear code.
    craft::Gif g = gif(128, 128);
    g.minCodeSize = 8;
    g.palette.resize(256, black);
    RgbImage expected{128, 128, {}};
    for (int i = 0; i < 128 * 128; ++i) {
      g.indices[i] = std::uint8_t(i * 7 % 4);
      const auto& c = g.palette[g.indices[i]];
      expected.pixels.insert(expected.pixels.end(), c.begin(), c.end());
    }
    QTest::newRow("LZW table full without clear code") << g.build() << expected;
  }
}

void TestGif::craftedFilesRead() {
  QFETCH(Bytes, file);
  QFETCH(RgbImage, expected);
  auto img = imaging::decodeGif(file);
  if (!img) QFAIL(imaging::describe(img.error()));
  QCOMPARE(img->width, expected.width);
  QCOMPARE(img->height, expected.height);
  QVERIFY(img->pixels == expected.pixels);
}

void TestGif::craftedFilesRefused_data() {
  QTest::addColumn<Bytes>("file");
  QTest::addColumn<ImageError>("error");
  {
    craft::Gif g = gif(64, 64);
    g.minCodeSize = 12;
    g.palette.resize(256, {0, 0, 0});
    QTest::newRow("LZW code size 12") << g.build() << ImageError::Damaged;
  }
  {
    Bytes cut = gif(32, 32).build();
    // Guarded, though a 32 x 32 GIF is far longer: GCC cannot tell under the
    // sanitizers and warns of a huge size.
    cut.resize(cut.size() > 20 ? cut.size() - 20 : 0);
    QTest::newRow("image data cut short") << cut << ImageError::Damaged;
  }
  {
    craft::Gif g = gif(1, 1);
    g.width = 20000;
    Bytes b = g.build();
    QTest::newRow("frame wider than 16384") << b << ImageError::TooLarge;
  }
  Bytes noImage = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B};
  QTest::newRow("trailer before any image") << noImage << ImageError::Damaged;
  QTest::newRow("JPEG signature") << Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 0} << ImageError::NotThisType;
}

void TestGif::craftedFilesRefused() {
  QFETCH(Bytes, file);
  QFETCH(ImageError, error);
  auto img = imaging::decodeGif(file);
  QVERIFY(!img);
  QCOMPARE(int(img.error()), int(error));
}

QTEST_APPLESS_MAIN(TestGif)
#include "tst_gif.moc"
