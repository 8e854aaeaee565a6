#pragma once
// The two everyday conversions without a decoded RgbImage in between: a
// 24-bit BMP is encoded from the rows of the file as read, and a JPEG is
// decoded straight into the rows of the BMP file to be written. Their bytes
// are exactly those of the general decode-then-encode path, and so are their
// errors; they only spare the copies.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/imaging/byte_buffer.h"
#include "platform/imaging/image_error.h"

namespace imaging {

// nullopt: not a file these take (another BMP variant, a CMYK JPEG); decode
// it the general way.
std::optional<Result<ByteBuffer>> bmpToJpegDirect(std::span<const std::uint8_t> bmp, int quality);
std::optional<Result<ByteBuffer>> jpegToBmpDirect(std::span<const std::uint8_t> jpeg);

}  // namespace imaging
