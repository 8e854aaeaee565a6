#pragma once
// The two drawing objects a device context holds: a bitmap (pixels) and a
// logical palette (colours). Each is move-only: whoever holds the object owns
// it, and handing it over is a std::move, as ownership of a handle was.

#include <QImage>
#include <QList>
#include <cstdint>
#include <vector>

namespace picture {

class Bitmap {
 public:
  Bitmap() = default;
  // Takes the pixels, brought to a storage format of surface.h.
  explicit Bitmap(QImage pixels);
  Bitmap(Bitmap&& other) noexcept;
  Bitmap& operator=(Bitmap&& other) noexcept;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  ~Bitmap() = default;

  bool isNull() const { return pixels_.isNull(); }
  int width() const { return pixels_.width(); }
  int height() const { return pixels_.height(); }
  const QImage& pixels() const { return pixels_; }
  QImage& pixels() { return pixels_; }
  // Gives up the pixels; the bitmap is null afterwards.
  QImage release();

 private:
  QImage pixels_;
};

struct PaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
};

inline constexpr std::uint16_t kPaletteVersion = 0x300;

struct LogPalette {
  std::uint16_t version = kPaletteVersion;
  std::vector<PaletteEntry> entries;
};

class Palette {
 public:
  Palette() = default;
  explicit Palette(QList<QRgb> colours) : colours_(std::move(colours)) {}
  Palette(Palette&& other) noexcept;
  Palette& operator=(Palette&& other) noexcept;
  Palette(const Palette&) = delete;
  Palette& operator=(const Palette&) = delete;
  ~Palette() = default;

  bool isNull() const { return colours_.isEmpty(); }
  const QList<QRgb>& colours() const { return colours_; }

 private:
  QList<QRgb> colours_;
};

// A palette of the given entries; null for another version than 0x300 or a
// count outside 1 to 256 (an 8-bit index reaches no further).
Palette CreatePalette(const LogPalette& logical);

}  // namespace picture
