#include "platform/imaging/jpeg_reader.h"

#include <new>
#include <vector>

#include "platform/imaging/jpeg_decompressor.h"

namespace imaging {
namespace {

void cmykToRgb(const std::vector<std::uint8_t>& cmyk, bool inverted, RgbImage& img) {
  for (std::size_t i = 0, o = 0; o < img.pixels.size(); i += 4, o += 3) {
    unsigned k = cmyk[i + 3];
    for (int ch = 0; ch < 3; ++ch) {
      unsigned v = cmyk[i + ch];
      if (!inverted) v = 255 - v;
      img.pixels[o + ch] = static_cast<std::uint8_t>((v * (inverted ? k : 255 - k) + 127) / 255);
    }
  }
}

Result<RgbImage> decodeBody(Decompressor& d) {
  jpeg_decompress_struct* c = d.cinfo();
  const bool cmyk = d.isCmyk();
  c->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  RgbImage img;
  img.width = static_cast<int>(c->image_width);
  img.height = static_cast<int>(c->image_height);
  img.pixels.resize(img.rowBytes() * static_cast<std::size_t>(img.height));
  std::vector<std::uint8_t> four;
  if (cmyk) four.resize(std::size_t{4} * img.width * img.height);
  const bool ok = cmyk ? d.decode(four.data(), std::ptrdiff_t{4} * img.width)
                       : d.decode(img.pixels.data(), static_cast<std::ptrdiff_t>(img.rowBytes()));
  if (!ok) return ImageError::Damaged;
  if (cmyk) cmykToRgb(four, c->saw_Adobe_marker, img);
  return img;
}

}  // namespace

Result<RgbImage> decodeJpeg(std::span<const std::uint8_t> file) {
  try {
    Decompressor d;
    if (auto header = d.readHeader(file); !header) return header.error();
    return decodeBody(d);
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
}

}  // namespace imaging
