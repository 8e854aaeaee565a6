#include "platform/picture/devicecontext.h"

#include <algorithm>
#include <utility>

#include "platform/picture/picturelog.h"
#include "platform/picture/surface.h"

namespace picture {

DeviceContext DeviceContext::forDisplay(QImage pixels) {
  DeviceContext dc;
  dc.kind_ = Kind::Display;
  dc.paletteDevice_ = pixels.format() == QImage::Format_Indexed8;
  if (dc.paletteDevice_) dc.systemPalette_ = paddedTo256(pixels.colorTable());
  dc.shown_ = std::move(pixels);
  return dc;
}

DeviceContext::DeviceContext(DeviceContext&& other) noexcept
    : kind_(std::exchange(other.kind_, Kind::None)),
      paletteDevice_(std::exchange(other.paletteDevice_, false)),
      systemPalette_(std::exchange(other.systemPalette_, {})),
      shown_(std::exchange(other.shown_, QImage())),
      bitmap_(std::move(other.bitmap_)),
      palette_(std::move(other.palette_)) {}

DeviceContext& DeviceContext::operator=(DeviceContext&& other) noexcept {
  if (this == &other) return *this;
  kind_ = std::exchange(other.kind_, Kind::None);
  paletteDevice_ = std::exchange(other.paletteDevice_, false);
  systemPalette_ = std::exchange(other.systemPalette_, {});
  shown_ = std::exchange(other.shown_, QImage());
  bitmap_ = std::move(other.bitmap_);
  palette_ = std::move(other.palette_);
  return *this;
}

const QImage& DeviceContext::pixels() const {
  return kind_ == Kind::Memory ? bitmap_.pixels() : shown_;
}

QImage* DeviceContext::drawingSurface() {
  if (kind_ != Kind::Memory || bitmap_.isNull()) return nullptr;
  return &bitmap_.pixels();
}

DeviceContext CreateCompatibleDC(const DeviceContext& source) {
  DeviceContext dc;
  dc.kind_ = DeviceContext::Kind::Memory;
  dc.paletteDevice_ = source.paletteDevice_;
  dc.systemPalette_ = source.systemPalette_;
  return dc;
}

Bitmap CreateCompatibleBitmap(const DeviceContext& source, int width, int height) {
  const QSize size(width, height);
  if (source.paletteDevice_)
    return Bitmap(newBlackSurface(size, QImage::Format_Indexed8, source.systemPalette_));
  return Bitmap(newBlackSurface(size, QImage::Format_RGB32));
}

int GetDeviceCaps(const DeviceContext& dc, int index) {
  if (dc.isNull()) return 0;
  switch (index) {
    case RASTERCAPS:
      return RC_BITBLT | (dc.isPaletteDevice() ? RC_PALETTE : 0);
    case SIZEPALETTE:
      return dc.isPaletteDevice() ? 256 : 0;
    default:
      return 0;
  }
}

unsigned GetSystemPaletteEntries(const DeviceContext& dc, unsigned start,
                                 std::span<PaletteEntry> entries) {
  const auto& table = dc.systemPalette_;
  if (start >= unsigned(table.size())) return 0;
  const auto count = std::min<std::size_t>(entries.size(), std::size_t(table.size()) - start);
  for (std::size_t i = 0; i < count; ++i) {
    const QRgb c = table[qsizetype(start + i)];
    entries[i] =
        PaletteEntry{std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c)), 0};
  }
  return unsigned(count);
}

Bitmap SelectObject(DeviceContext& dc, Bitmap bitmap) {
  if (!dc.isMemory()) {
    qCDebug(lcPicture) << "SelectObject: not a memory device context";
    return bitmap;
  }
  return std::exchange(dc.bitmap_, std::move(bitmap));
}

Palette SelectPalette(DeviceContext& dc, Palette palette) {
  if (!dc.isMemory()) {
    qCDebug(lcPicture) << "SelectPalette: not a memory device context";
    return palette;
  }
  return std::exchange(dc.palette_, std::move(palette));
}

unsigned RealizePalette(DeviceContext& dc) {
  if (!dc.isMemory() || !dc.isPaletteDevice() || dc.palette_.isNull()) return 0;
  QImage& surface = dc.bitmap_.pixels();
  if (surface.format() == QImage::Format_Indexed8)
    surface.setColorTable(paddedTo256(dc.palette_.colours()));
  return unsigned(dc.palette_.colours().size());
}

bool DeleteDC(DeviceContext&& dc) {
  const bool wasContext = !dc.isNull();
  DeviceContext ended = std::move(dc);
  return wasContext;
}

}  // namespace picture
