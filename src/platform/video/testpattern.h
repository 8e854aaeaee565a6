#pragma once
// The synthetic camera's picture: colour bars, a square that moves with the
// frame number and the frame number itself as a row of black and white blocks.
// Frame n is a pure function of n and the picture controls.

#include <cstdint>
#include <vector>

namespace video {

inline constexpr int kPatternWidth = 640;
inline constexpr int kPatternHeight = 480;

struct PictureControls {
  int brightness = 0;  // -64 … 64, added to every channel
  int contrast = 100;  // 0 … 200, percent around mid-grey
};

// Packed RGB24, kPatternWidth × kPatternHeight.
std::vector<std::uint8_t> patternRgb(std::uint64_t frameNumber, PictureControls controls = {});

// The same frame packed as YUYV (BT.601, video range).
std::vector<std::uint8_t> rgbToYuyv(const std::vector<std::uint8_t>& rgb, int width, int height);

// Where the moving square's top-left corner is in frame n.
struct SquarePosition {
  int x;
  int y;
};
inline constexpr int kSquareSide = 96;
SquarePosition squarePosition(std::uint64_t frameNumber);

}  // namespace video
