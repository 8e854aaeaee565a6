#pragma once
// Device contexts, as far as copying shown pixels into a bitmap needs them.
// A display context reads pixels shown on screen (a window's client area, as
// they were when the context was obtained); a memory context draws into the
// bitmap selected into it. A context whose pixels are indexed 8-bit is a
// 256-colour palette device; every other one is true colour. Contexts are
// move-only: the holder releases or deletes it, by scope if not by call.

#include <QImage>
#include <QList>
#include <cstdint>
#include <span>

#include "platform/picture/gdiobjects.h"

namespace picture {

// GetDeviceCaps indexes and bits, with the original platform's values.
inline constexpr int RASTERCAPS = 38;
inline constexpr int SIZEPALETTE = 104;
inline constexpr int RC_BITBLT = 0x1;
inline constexpr int RC_PALETTE = 0x100;

class DeviceContext {
 public:
  // A display context over shown pixels; a null image is a display with
  // nothing on it (every pixel read from it is black).
  static DeviceContext forDisplay(QImage pixels);

  DeviceContext() = default;  // no context
  DeviceContext(DeviceContext&& other) noexcept;
  DeviceContext& operator=(DeviceContext&& other) noexcept;
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;
  ~DeviceContext() = default;

  bool isNull() const { return kind_ == Kind::None; }
  bool isDisplay() const { return kind_ == Kind::Display; }
  bool isMemory() const { return kind_ == Kind::Memory; }
  bool isPaletteDevice() const { return paletteDevice_; }

  // What BitBlt reads: the shown pixels or the selected bitmap (maybe null).
  const QImage& pixels() const;
  // What BitBlt writes: the selected bitmap of a memory context; nullptr for a
  // display context (drawing onto windows is not offered) or no bitmap.
  QImage* drawingSurface();

 private:
  enum class Kind { None, Display, Memory };

  friend DeviceContext CreateCompatibleDC(const DeviceContext& source);
  friend Bitmap CreateCompatibleBitmap(const DeviceContext& source, int width, int height);
  friend unsigned GetSystemPaletteEntries(const DeviceContext& dc, unsigned start,
                                          std::span<PaletteEntry> entries);
  friend Bitmap SelectObject(DeviceContext& dc, Bitmap bitmap);
  friend Palette SelectPalette(DeviceContext& dc, Palette palette);
  friend unsigned RealizePalette(DeviceContext& dc);

  Kind kind_ = Kind::None;
  bool paletteDevice_ = false;
  QList<QRgb> systemPalette_;  // 256 entries on a palette device
  QImage shown_;               // display contexts
  Bitmap bitmap_;              // memory contexts: null is the stock bitmap
  Palette palette_;            // memory contexts: null is the default palette
};

// A memory context with the colour model of `source` (true colour when
// `source` is no context), holding the stock (empty) bitmap.
DeviceContext CreateCompatibleDC(const DeviceContext& source);

// A black bitmap in the pixel format of `source`'s device; null when a side
// is not positive or the size is beyond the limits of surface.h.
Bitmap CreateCompatibleBitmap(const DeviceContext& source, int width, int height);

int GetDeviceCaps(const DeviceContext& dc, int index);

// Copies system palette entries from `start` on into `entries`; the number
// copied (0 on a true-colour device).
unsigned GetSystemPaletteEntries(const DeviceContext& dc, unsigned start,
                                 std::span<PaletteEntry> entries);

// Selects `bitmap` into a memory context and hands back the one it held. A
// context that cannot hold a bitmap hands `bitmap` straight back.
Bitmap SelectObject(DeviceContext& dc, Bitmap bitmap);

// Selects a logical palette into a memory context and hands back the one it
// held; like SelectObject, other contexts hand `palette` straight back.
Palette SelectPalette(DeviceContext& dc, Palette palette);

// Makes the selected palette the colours of the selected indexed bitmap; the
// number of entries realised (0 when there is nothing to realise).
unsigned RealizePalette(DeviceContext& dc);

// Ends a memory context together with whatever is still selected into it.
bool DeleteDC(DeviceContext&& dc);

}  // namespace picture
