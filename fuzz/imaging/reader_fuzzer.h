#pragma once
// Shared body of the reader targets: decode the bytes with one reader; a
// picture that decodes is fed to every writer, and what the writers make must
// read back (exactly, for BMP; with the same size, for JPEG and GIF). BMP and
// JPEG bytes also go through the direct conversion, which must refuse what
// the reader refuses, with the same error, and write the same bytes as the
// general path for what it reads.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "platform/imaging/bmp_reader.h"
#include "platform/imaging/bmp_writer.h"
#include "platform/imaging/convert.h"
#include "platform/imaging/direct_convert.h"
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

inline bool sameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// `general` makes the bytes of the general path from the decoded picture.
template <class General>
void checkDirect(const std::optional<imaging::Result<imaging::ByteBuffer>>& direct,
                 const imaging::Result<imaging::RgbImage>& img, General general) {
  if (!direct) return;  // a variant the general path alone takes
  if (!img) {
    check(!*direct && direct->error() == img.error());
    return;
  }
  check(direct->ok());
  if (std::int64_t{img->width} * img->height > kWriterPixels) return;
  const auto expected = general(*img);
  check(expected.ok() && sameBytes((*direct)->span(), *expected));
}

inline void fuzzDirect(imaging::PictureFormat format, std::span<const std::uint8_t> bytes,
                       const imaging::Result<imaging::RgbImage>& img, std::uint8_t seed) {
  if (format == imaging::PictureFormat::Bmp) {
    const int quality = 1 + seed % 100;
    checkDirect(imaging::bmpToJpegDirect(bytes, quality), img,
                [quality](const imaging::RgbImage& i) { return imaging::encodeJpeg(i, quality); });
  } else if (format == imaging::PictureFormat::Jpeg) {
    checkDirect(imaging::jpegToBmpDirect(bytes), img, [](const imaging::RgbImage& i) {
      return imaging::Result<std::vector<std::uint8_t>>(imaging::encodeBmp(i));
    });
  }
}

inline int fuzzReader(imaging::PictureFormat format, const std::uint8_t* data, std::size_t size) {
  const std::span bytes(data, size);
  const std::uint8_t seed = size ? data[size - 1] : 0;
  auto img = imaging::decodePicture(format, bytes);
  fuzzDirect(format, bytes, img, seed);
  if (img) feedWriters(*img, seed);
  return 0;
}

}  // namespace fuzzing
