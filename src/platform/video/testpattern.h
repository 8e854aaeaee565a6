#pragma once
// The synthetic camera's picture: colour bars, a square that moves with the
// frame number and the frame number itself as a row of black and white blocks.
// Frame n is a pure function of n, the size and the picture controls; the
// geometry is laid out for 640 × 480 and scaled to other sizes.

#include <cstdint>
#include <vector>

namespace video {

inline constexpr int kPatternWidth = 640;
inline constexpr int kPatternHeight = 480;

// What the synthetic camera's controls do to its picture, as a sensor and
// its processing would.
struct PictureControls {
  int brightness = 0;    // -64 … 64, added to every channel
  int contrast = 100;    // 0 … 200, percent around mid-grey
  int saturation = 100;  // 0 … 200, percent of colour; 0 is grey
  int exposure = 0;     // 0: automatic; else the manual exposure, kNormalExposure as bright as auto
  int temperature = 0;  // 0: automatic white balance; else kelvin (kNeutralKelvin untinted)
  bool flicker = false;  // mains flicker: faint horizontal bands that roll
  bool operator==(const PictureControls&) const = default;
};
inline constexpr int kNormalExposure = 250;
inline constexpr int kNeutralKelvin = 4600;

// Packed RGB24 of the given size (640 × 480 unless said).
std::vector<std::uint8_t> patternRgb(std::uint64_t frameNumber, PictureControls controls = {},
                                     int width = kPatternWidth, int height = kPatternHeight);

// What the controls do to frame n of any picture (packed RGB24), in place:
// the tones, the colour and the mains flicker, as they act on the pattern.
void applyPictureControls(std::vector<std::uint8_t>& rgb, int width, int height,
                          const PictureControls& controls, std::uint64_t frameNumber);

// The same frame packed as YUYV (BT.601, video range).
std::vector<std::uint8_t> rgbToYuyv(const std::vector<std::uint8_t>& rgb, int width, int height);

// Where the moving square's top-left corner is in frame n, at 640 × 480.
struct SquarePosition {
  int x;
  int y;
};
inline constexpr int kSquareSide = 96;
SquarePosition squarePosition(std::uint64_t frameNumber);

}  // namespace video
