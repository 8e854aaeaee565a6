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

void drawBars(std::vector<std::uint8_t>& rgb) {
  for (int y = 0; y < kBarsHeight; ++y)
    for (int x = 0; x < kPatternWidth; ++x)
      put(&rgb[(y * kPatternWidth + x) * 3], kBars[x * 8 / kPatternWidth]);
}

void drawSquare(std::vector<std::uint8_t>& rgb, std::uint64_t n) {
  constexpr std::uint8_t orange[3] = {255, 128, 0};
  const auto [left, top] = squarePosition(n);
  for (int y = top; y < top + kSquareSide; ++y)
    for (int x = left; x < left + kSquareSide; ++x) put(&rgb[(y * kPatternWidth + x) * 3], orange);
}

void drawFrameNumber(std::vector<std::uint8_t>& rgb, std::uint64_t n) {
  constexpr std::uint8_t on[3] = {235, 235, 235};
  constexpr std::uint8_t off[3] = {16, 16, 16};
  const int blockWidth = kPatternWidth / kBlockBits;
  for (int y = kBarsHeight; y < kPatternHeight; ++y)
    for (int x = 0; x < kPatternWidth; ++x) {
      const int bit = kBlockBits - 1 - x / blockWidth;
      put(&rgb[(y * kPatternWidth + x) * 3], ((n >> bit) & 1) ? on : off);
    }
}

void applyControls(std::vector<std::uint8_t>& rgb, PictureControls c) {
  if (c.brightness == 0 && c.contrast == 100) return;
  std::uint8_t table[256];
  for (int v = 0; v < 256; ++v)
    table[v] = static_cast<std::uint8_t>(
        std::clamp((v - 128) * c.contrast / 100 + 128 + c.brightness, 0, 255));
  for (auto& v : rgb) v = table[v];
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

std::vector<std::uint8_t> patternRgb(std::uint64_t frameNumber, PictureControls controls) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kPatternWidth) * kPatternHeight * 3);
  drawBars(rgb);
  drawSquare(rgb, frameNumber);
  drawFrameNumber(rgb, frameNumber);
  applyControls(rgb, controls);
  return rgb;
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
