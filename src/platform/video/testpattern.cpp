#include "platform/video/testpattern.h"

#include <algorithm>

namespace video {
namespace {

constexpr int kBarsHeight = 400;
constexpr int kBlockBits = 16;
constexpr std::uint8_t kBars[8][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                      {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {16, 16, 16}};

void put(std::uint8_t* p, const std::uint8_t (&c)[3]) {
  std::copy(c, c + 3, p);
}

struct Canvas {
  std::vector<std::uint8_t>& rgb;
  int width;
  int height;
  std::uint8_t* at(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
  int barsHeight() const { return height * kBarsHeight / kPatternHeight; }
};

void drawBars(Canvas& c) {
  for (int y = 0; y < c.barsHeight(); ++y)
    for (int x = 0; x < c.width; ++x) put(c.at(x, y), kBars[x * 8 / c.width]);
}

void drawSquare(Canvas& c, std::uint64_t n) {
  constexpr std::uint8_t orange[3] = {255, 128, 0};
  const auto [x0, y0] = squarePosition(n);
  const int left = x0 * c.width / kPatternWidth, top = y0 * c.height / kPatternHeight;
  const int right = (x0 + kSquareSide) * c.width / kPatternWidth;
  const int bottom = (y0 + kSquareSide) * c.height / kPatternHeight;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) put(c.at(x, y), orange);
}

void drawFrameNumber(Canvas& c, std::uint64_t n) {
  constexpr std::uint8_t on[3] = {235, 235, 235};
  constexpr std::uint8_t off[3] = {16, 16, 16};
  for (int y = c.barsHeight(); y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const int bit = kBlockBits - 1 - x * kBlockBits / c.width;
      put(c.at(x, y), ((n >> bit) & 1) ? on : off);
    }
}

// Exposure and white balance act on the sensor's channels, contrast and
// brightness after them: one table per channel.
void applyTones(std::vector<std::uint8_t>& rgb, const PictureControls& c) {
  double gain =
      c.exposure > 0 ? std::min(4.0, static_cast<double>(c.exposure) / kNormalExposure) : 1.0;
  double warm = c.temperature > 0 ? 0.5 * (c.temperature - kNeutralKelvin) / 1900.0 : 0.0;
  const double gains[3] = {gain * (1.0 + warm), gain, gain * std::max(0.0, 1.0 - warm)};
  if (gains[0] == 1.0 && gains[2] == 1.0 && gain == 1.0 && c.brightness == 0 && c.contrast == 100)
    return;
  std::uint8_t table[3][256];
  for (int ch = 0; ch < 3; ++ch)
    for (int v = 0; v < 256; ++v) {
      const int sensed = std::clamp(static_cast<int>(v * gains[ch] + 0.5), 0, 255);
      table[ch][v] = static_cast<std::uint8_t>(
          std::clamp((sensed - 128) * c.contrast / 100 + 128 + c.brightness, 0, 255));
    }
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
    for (int ch = 0; ch < 3; ++ch) rgb[i + ch] = table[ch][rgb[i + ch]];
}

void applySaturation(std::vector<std::uint8_t>& rgb, int saturation) {
  if (saturation == 100) return;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    const int y = (77 * rgb[i] + 150 * rgb[i + 1] + 29 * rgb[i + 2]) >> 8;
    for (int ch = 0; ch < 3; ++ch)
      rgb[i + ch] =
          static_cast<std::uint8_t>(std::clamp(y + (rgb[i + ch] - y) * saturation / 100, 0, 255));
  }
}

// Three bands over the picture that roll a little with every frame, as
// 50 Hz lighting looks to a camera that does not compensate for it.
void applyFlicker(Canvas& c, std::uint64_t n) {
  const int period = std::max(1, c.height / 3);
  const int shift = static_cast<int>(n * 7 % static_cast<std::uint64_t>(period));
  for (int y = 0; y < c.height; ++y) {
    const int phase = (y + shift) % period;
    const int delta = phase < period / 2 ? -12 : 0;
    if (delta == 0) continue;
    std::uint8_t* row = c.at(0, y);
    for (int i = 0; i < c.width * 3; ++i)
      row[i] = static_cast<std::uint8_t>(std::max(0, row[i] + delta));
  }
}

std::uint8_t clampByte(int v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

SquarePosition squarePosition(std::uint64_t n) {
  // Bounces across the bars: a triangle wave in each direction.
  const auto bounce = [](std::uint64_t t, int span) {
    const auto period = static_cast<std::uint64_t>(2 * span);
    const int phase = static_cast<int>(t % period);
    return phase < span ? phase : 2 * span - phase;
  };
  return {bounce(n * 6, kPatternWidth - kSquareSide), bounce(n * 4, kBarsHeight - kSquareSide)};
}

std::vector<std::uint8_t> patternRgb(std::uint64_t frameNumber, PictureControls controls, int width,
                                     int height) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  Canvas canvas{rgb, width, height};
  drawBars(canvas);
  drawSquare(canvas, frameNumber);
  drawFrameNumber(canvas, frameNumber);
  applyPictureControls(rgb, width, height, controls, frameNumber);
  return rgb;
}

void applyPictureControls(std::vector<std::uint8_t>& rgb, int width, int height,
                          const PictureControls& controls, std::uint64_t frameNumber) {
  applyTones(rgb, controls);
  applySaturation(rgb, controls.saturation);
  Canvas canvas{rgb, width, height};
  if (controls.flicker) applyFlicker(canvas, frameNumber);
}

std::vector<std::uint8_t> rgbToYuyv(const std::vector<std::uint8_t>& rgb, int width, int height) {
  std::vector<std::uint8_t> yuyv(static_cast<std::size_t>(width) * height * 2);
  const auto luma = [](const std::uint8_t* p) {
    return clampByte(((66 * p[0] + 129 * p[1] + 25 * p[2] + 128) >> 8) + 16);
  };
  for (std::size_t i = 0, o = 0; i + 5 < rgb.size(); i += 6, o += 4) {
    const std::uint8_t* a = &rgb[i];
    const std::uint8_t* b = &rgb[i + 3];
    const int r = (a[0] + b[0]) / 2, g = (a[1] + b[1]) / 2, bl = (a[2] + b[2]) / 2;
    yuyv[o] = luma(a);
    yuyv[o + 1] = clampByte(((-38 * r - 74 * g + 112 * bl + 128) >> 8) + 128);
    yuyv[o + 2] = luma(b);
    yuyv[o + 3] = clampByte(((112 * r - 94 * g - 18 * bl + 128) >> 8) + 128);
  }
  return yuyv;
}

}  // namespace video
