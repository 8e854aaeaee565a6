#include "capture/modBitBlt.h"

#include <vector>

#include "platform/picture/bitblt.h"

namespace modBitBlt {

using namespace picture;

namespace {

constexpr int kPaletteSize = 256;

}  // namespace

Picture grabPicture(const DeviceContext& source, std::int32_t left, std::int32_t top,
                    std::int32_t width, std::int32_t height) {
  DeviceContext memory = CreateCompatibleDC(source);
  Bitmap previousBitmap = SelectObject(memory, CreateCompatibleBitmap(source, width, height));

  // Only a 256-colour palette device needs its colours carried along: there
  // the copied pixels are palette indices, meaningless without the palette.
  const bool paletteDevice = (GetDeviceCaps(source, RASTERCAPS) & RC_PALETTE) != 0;
  const bool copyPalette = paletteDevice && GetDeviceCaps(source, SIZEPALETTE) == kPaletteSize;
  Palette previousPalette;
  if (copyPalette) {
    LogPalette logical{kPaletteVersion, std::vector<PaletteEntry>(kPaletteSize)};
    GetSystemPaletteEntries(source, 0, logical.entries);
    previousPalette = SelectPalette(memory, CreatePalette(logical));
    RealizePalette(memory);
  }

  BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);

  // Selecting the old objects back hands out the new ones holding the copy.
  Bitmap grabbed = SelectObject(memory, std::move(previousBitmap));
  Palette palette;
  if (copyPalette) palette = SelectPalette(memory, std::move(previousPalette));
  DeleteDC(std::move(memory));
  return pictureFromBitmap(std::move(grabbed), std::move(palette));
}

}  // namespace modBitBlt
