#include "platform/picture/gdiobjects.h"

#include <utility>

#include "platform/picture/surface.h"

namespace picture {

Bitmap::Bitmap(QImage pixels) : pixels_(normalisedSurface(std::move(pixels))) {}

Bitmap::Bitmap(Bitmap&& other) noexcept : pixels_(std::exchange(other.pixels_, QImage())) {}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
  pixels_ = std::exchange(other.pixels_, QImage());
  return *this;
}

QImage Bitmap::release() {
  return std::exchange(pixels_, QImage());
}

Palette::Palette(Palette&& other) noexcept : colours_(std::exchange(other.colours_, {})) {}

Palette& Palette::operator=(Palette&& other) noexcept {
  colours_ = std::exchange(other.colours_, {});
  return *this;
}

Palette CreatePalette(const LogPalette& logical) {
  if (logical.version != kPaletteVersion || logical.entries.empty() || logical.entries.size() > 256)
    return {};
  QList<QRgb> colours;
  colours.reserve(qsizetype(logical.entries.size()));
  for (const PaletteEntry& e : logical.entries) colours.append(qRgb(e.red, e.green, e.blue));
  return Palette(std::move(colours));
}

}  // namespace picture
