#include "platform/imaging/gif_reader.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/imaging/limits.h"

namespace imaging {
namespace {

struct MemorySource {
  std::span<const std::uint8_t> bytes;
  std::size_t pos = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int wanted) {
  auto* src = static_cast<MemorySource*>(gif->UserData);
  const std::size_t n =
      std::min<std::size_t>(static_cast<std::size_t>(wanted), src->bytes.size() - src->pos);
  std::memcpy(out, src->bytes.data() + src->pos, n);
  src->pos += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

// Where the frame lands on the picture we hand out.
struct Placement {
  std::int64_t canvasWidth, canvasHeight;
  std::int64_t left, top;  // frame origin on the canvas, may be negative
};

Placement place(const GifFileType& gif) {
  const GifImageDesc& f = gif.Image;
  const std::int64_t sw = gif.SWidth, sh = gif.SHeight;
  const bool overlaps = f.Left < sw && f.Top < sh && sw > 0 && sh > 0;
  if (!overlaps) return {f.Width, f.Height, 0, 0};
  return {sw, sh, f.Left, f.Top};
}

struct Transparency {
  bool present = false;
  int index = -1;
};

bool readExtension(GifFileType* gif, Transparency& t) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  bool first = true;
  while (block) {
    if (first && code == GRAPHICS_EXT_FUNC_CODE) {
      GraphicsControlBlock gcb{};
      if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
        t.present = gcb.TransparentColor != NO_TRANSPARENT_COLOR;
        t.index = gcb.TransparentColor;
      }
    }
    first = false;
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

void paintRow(const std::vector<GifPixelType>& line, std::int64_t frameRow, const Placement& p,
              const ColorMapObject& map, const Transparency& t, RgbImage& img) {
  const std::int64_t y = p.top + frameRow;
  if (y < 0 || y >= img.height) return;
  std::uint8_t* out = img.row(static_cast<int>(y));
  for (std::size_t i = 0; i < line.size(); ++i) {
    const std::int64_t x = p.left + static_cast<std::int64_t>(i);
    if (x < 0 || x >= img.width) continue;
    const int index = line[i];
    if (t.present && index == t.index) continue;  // stays white
    std::uint8_t* px = out + x * 3;
    if (index < map.ColorCount) {
      px[0] = map.Colors[index].Red, px[1] = map.Colors[index].Green,
      px[2] = map.Colors[index].Blue;
    } else {
      px[0] = px[1] = px[2] = 0;  // beyond the colour table: black
    }
  }
}

Result<RgbImage> readFrame(GifFileType* gif, const Transparency& t) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return ImageError::Damaged;
  const GifImageDesc& f = gif->Image;
  if (auto fits = checkDimensions(f.Width, f.Height); !fits) return fits.error();
  const ColorMapObject* map = f.ColorMap ? f.ColorMap : gif->SColorMap;
  if (!map) return ImageError::Damaged;
  const Placement p = place(*gif);
  if (auto fits = checkDimensions(p.canvasWidth, p.canvasHeight); !fits) return fits.error();

  RgbImage img;
  img.width = static_cast<int>(p.canvasWidth);
  img.height = static_cast<int>(p.canvasHeight);
  img.pixels.assign(img.rowBytes() * static_cast<std::size_t>(img.height), 255);
  std::vector<GifPixelType> line(static_cast<std::size_t>(f.Width));
  static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  const int passes = f.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int start = f.Interlace ? kStart[pass] : 0, step = f.Interlace ? kStep[pass] : 1;
    for (std::int64_t row = start; row < f.Height; row += step) {
      if (DGifGetLine(gif, line.data(), f.Width) == GIF_ERROR) return ImageError::Damaged;
      paintRow(line, row, p, *map, t, img);
    }
  }
  return img;
}

}  // namespace

Result<RgbImage> decodeGif(std::span<const std::uint8_t> file) {
  if (file.size() < 6 ||
      (std::memcmp(file.data(), "GIF87a", 6) != 0 && std::memcmp(file.data(), "GIF89a", 6) != 0))
    return ImageError::NotThisType;
  MemorySource source{file};
  int error = 0;
  GifHandle gif(DGifOpen(&source, readFromMemory, &error));
  if (!gif) return ImageError::Damaged;
  try {
    Transparency transparency;
    for (;;) {
      GifRecordType type{};
      if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return ImageError::Damaged;
      if (type == IMAGE_DESC_RECORD_TYPE) return readFrame(gif.get(), transparency);
      if (type == EXTENSION_RECORD_TYPE) {
        if (!readExtension(gif.get(), transparency)) return ImageError::Damaged;
      } else {
        return ImageError::Damaged;  // the trailer before any image
      }
    }
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
}

}  // namespace imaging
