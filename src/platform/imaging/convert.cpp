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
