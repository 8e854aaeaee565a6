#pragma once
// The file-to-file conversions behind PicFormat32 and velmora-convert: read
// the whole source, decode, encode, replace the target atomically. A 24-bit
// BMP to JPEG and a JPEG to BMP skip the decoded picture (direct_convert.h).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/imaging/bmp_writer.h"
#include "platform/imaging/image.h"
#include "platform/imaging/image_error.h"

namespace imaging {

enum class PictureFormat { Bmp, Jpeg, Gif };

struct ConvertOptions {
  int quality = 75;    // JPEG only; already within 1..100
  bool dither = true;  // GIF only
};

Result<RgbImage> decodePicture(PictureFormat format, std::span<const std::uint8_t> bytes);
Result<std::vector<std::uint8_t>> encodePicture(PictureFormat format, const RgbImage& image,
                                                const ConvertOptions& options);

// A picture held in memory (rows lent by the caller) encoded as a file of
// `format`: the very bytes that writing the rows to a 24-bit BMP of
// `bmpPixelsPerMetre` and converting that file with convertFile would give,
// without the BMP. The workspace saves its photos through this, so a saved
// photo needs no intermediate file beside it.
Result<std::vector<std::uint8_t>> encodeRows(PictureFormat format, const PixelRows& rows,
                                             const ConvertOptions& options,
                                             std::uint32_t bmpPixelsPerMetre = kBmpPixelsPerMetre);

// The source is read completely (and closed) before the target is touched, so
// source and target may name the same file.
Result<void> convertFile(const std::string& source, PictureFormat from, const std::string& target,
                         PictureFormat to, const ConvertOptions& options = {});

// bmp, jpg, jpeg, gif, in any letter case.
std::optional<PictureFormat> formatFromExtension(std::string_view path);

}  // namespace imaging
