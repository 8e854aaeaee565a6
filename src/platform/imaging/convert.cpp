#include "platform/imaging/convert.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/files/read_file.h"
#include "platform/files/replace.h"
#include "platform/imaging/bmp_reader.h"
#include "platform/imaging/bmp_writer.h"
#include "platform/imaging/direct_convert.h"
#include "platform/imaging/gif_reader.h"
#include "platform/imaging/gif_writer.h"
#include "platform/imaging/jpeg_reader.h"
#include "platform/imaging/jpeg_writer.h"
#include "platform/imaging/limits.h"
#include "platform/imaging/quality.h"

namespace imaging {

Result<RgbImage> decodePicture(PictureFormat format, std::span<const std::uint8_t> bytes) {
  switch (format) {
    case PictureFormat::Bmp:
      return decodeBmp(bytes);
    case PictureFormat::Jpeg:
      return decodeJpeg(bytes);
    case PictureFormat::Gif:
      return decodeGif(bytes);
  }
  return ImageError::NotThisType;
}

Result<std::vector<std::uint8_t>> encodePicture(PictureFormat format, const RgbImage& image,
                                                const ConvertOptions& options) {
  switch (format) {
    case PictureFormat::Bmp:
      return encodeBmp(image);
    case PictureFormat::Jpeg:
      return encodeJpeg(image, clampQuality(options.quality));
    case PictureFormat::Gif: {
      QuantizeOptions q;
      q.dither = options.dither;
      return encodeGif(image, q);
    }
  }
  return ImageError::NotThisType;
}

namespace {

// In the red-green-blue order the quantizer reads; a BMP file's own rows
// would be decoded to the same.
Result<RgbImage> copyRows(const PixelRows& rows) {
  RgbImage image;
  image.width = rows.width;
  image.height = rows.height;
  try {
    image.pixels.resize(image.rowBytes() * static_cast<std::size_t>(rows.height));
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
  for (int y = 0; y < rows.height; ++y) {
    const std::uint8_t* in = rows.row(y);
    std::uint8_t* out = image.row(y);
    if (rows.order == ChannelOrder::Rgb) {
      std::copy_n(in, image.rowBytes(), out);
      continue;
    }
    for (int x = 0; x < rows.width * 3; x += 3) {
      out[x] = in[x + 2];
      out[x + 1] = in[x + 1];
      out[x + 2] = in[x];
    }
  }
  return image;
}

Result<std::vector<std::uint8_t>> encodeJpegFromRows(const PixelRows& rows, int quality) {
  // The direct BMP-to-JPEG path hands the encoder a file's rows the same way.
  auto encoded = encodeJpegRows(rows, clampQuality(quality));
  if (!encoded) return encoded.error();
  try {
    const auto bytes = encoded->span();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
}

}  // namespace

Result<std::vector<std::uint8_t>> encodeRows(PictureFormat format, const PixelRows& rows,
                                             const ConvertOptions& options,
                                             std::uint32_t bmpPixelsPerMetre) {
  if (auto fits = checkDimensions(rows.width, rows.height); !fits) return fits.error();
  switch (format) {
    case PictureFormat::Bmp:
      try {
        return encodeBmp(rows, bmpPixelsPerMetre);
      } catch (const std::bad_alloc&) {
        return ImageError::TooLarge;
      }
    case PictureFormat::Jpeg:
      return encodeJpegFromRows(rows, options.quality);
    case PictureFormat::Gif: {
      auto image = copyRows(rows);
      if (!image) return image.error();
      return encodePicture(PictureFormat::Gif, *image, options);
    }
  }
  return ImageError::NotThisType;
}

namespace {

ImageError sourceError(const files::ReadError& error) {
  switch (error.failure) {
    case files::ReadFailure::Missing:
      return ImageError::SourceMissing;
    case files::ReadFailure::TooLarge:
      return ImageError::TooLarge;
    case files::ReadFailure::NotAFile:
    case files::ReadFailure::SystemCall:
      break;
  }
  return ImageError::SourceUnreadable;
}

// The whole source in memory and its descriptor closed, so that a target
// naming the same file can be replaced afterwards.
Result<ByteBuffer> readSource(const std::string& path) {
  if (path.empty()) return ImageError::SourceMissing;
  auto file = files::RegularFile::open(path, kMaxSourceBytes);
  if (!file) return sourceError(file.error());
  auto bytes = ByteBuffer::allocate(file->size());
  if (!bytes) return bytes.error();
  auto read = file->read(bytes->span());
  if (!read) return sourceError(read.error());
  bytes->shrink(*read);  // shrank while it was read: take what is there
  return bytes;
}

Result<void> replaceTarget(const std::string& target, std::span<const std::uint8_t> bytes) {
  if (!files::replaceDurably(target, bytes)) return ImageError::TargetNotWritable;
  return {};
}

std::optional<Result<ByteBuffer>> convertDirect(std::span<const std::uint8_t> bytes,
                                                PictureFormat from, PictureFormat to,
                                                const ConvertOptions& options) {
  if (from == PictureFormat::Bmp && to == PictureFormat::Jpeg)
    return bmpToJpegDirect(bytes, clampQuality(options.quality));
  if (from == PictureFormat::Jpeg && to == PictureFormat::Bmp) return jpegToBmpDirect(bytes);
  return std::nullopt;
}

Result<void> convertGenerally(ByteBuffer source, PictureFormat from, const std::string& target,
                              PictureFormat to, const ConvertOptions& options) {
  auto image = decodePicture(from, source.span());
  if (!image) return image.error();
  source = ByteBuffer();  // the encoder may need much memory of its own
  auto encoded = encodePicture(to, *image, options);
  if (!encoded) return encoded.error();
  return replaceTarget(target, *encoded);
}

}  // namespace

Result<void> convertFile(const std::string& source, PictureFormat from, const std::string& target,
                         PictureFormat to, const ConvertOptions& options) {
  auto bytes = readSource(source);
  if (!bytes) return bytes.error();
  // Neither a missing source nor a read-only target is worth a decode.
  if (!files::writableTarget(target)) return ImageError::TargetNotWritable;
  if (auto direct = convertDirect(bytes->span(), from, to, options)) {
    if (!*direct) return direct->error();
    return replaceTarget(target, (*direct)->span());
  }
  return convertGenerally(std::move(*bytes), from, target, to, options);
}

std::optional<PictureFormat> formatFromExtension(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos)
    return std::nullopt;
  std::string ext(path.substr(dot + 1));
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == "bmp") return PictureFormat::Bmp;
  if (ext == "jpg" || ext == "jpeg") return PictureFormat::Jpeg;
  if (ext == "gif") return PictureFormat::Gif;
  return std::nullopt;
}

}  // namespace imaging
