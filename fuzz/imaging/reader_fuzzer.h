#pragma once
// Shared body of the reader targets: decode the bytes with one reader; a
// picture that decodes is fed to every writer, and what the writers make must
// read back (exactly, for BMP; with the same size, for JPEG and GIF).

#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/imaging/bmp_reader.h"
#include "platform/imaging/bmp_writer.h"
#include "platform/imaging/convert.h"
#include "platform/imaging/gif_reader.h"
#include "platform/imaging/gif_writer.h"
#include "platform/imaging/jpeg_reader.h"
#include "platform/imaging/jpeg_writer.h"

namespace fuzzing {

inline void check(bool condition) {
  if (!condition) std::abort();
}

// Writers are exercised on small pictures only, to keep the run fast.
inline constexpr std::int64_t kWriterPixels = 64 * 64;

inline void feedWriters(const imaging::RgbImage& img, std::uint8_t seed) {
  check(img.pixels.size() == img.rowBytes() * static_cast<std::size_t>(img.height));
  if (std::int64_t{img.width} * img.height > kWriterPixels) return;
  const auto bmp = imaging::encodeBmp(img);
  auto back = imaging::decodeBmp(bmp);
  check(back.ok() && back->pixels == img.pixels);

  auto jpeg = imaging::encodeJpeg(img, 1 + seed % 100);
  check(jpeg.ok());
  auto fromJpeg = imaging::decodeJpeg(*jpeg);
  check(fromJpeg.ok() && fromJpeg->width == img.width && fromJpeg->height == img.height);

  imaging::QuantizeOptions options;
  options.dither = seed & 1;
  auto gif = imaging::encodeGif(img, options);
  check(gif.ok());
  auto fromGif = imaging::decodeGif(*gif);
  check(fromGif.ok() && fromGif->width == img.width && fromGif->height == img.height);
}

inline int fuzzReader(imaging::PictureFormat format, const std::uint8_t* data, std::size_t size) {
  auto img = imaging::decodePicture(format, std::span(data, size));
  if (img) feedWriters(*img, size ? data[size - 1] : 0);
  return 0;
}

}  // namespace fuzzing
