#pragma once
// Reading a whole source picture into memory. The descriptor is closed before
// the call returns, and since the picture is decoded from memory, a target
// that names the same file can be replaced safely afterwards.

#include <cstdint>
#include <string>

#include "platform/imaging/byte_buffer.h"
#include "platform/imaging/image_error.h"

namespace imaging {

// Larger files are refused as TooLarge: no picture within the size limits
// needs more (100 Mpx at 32 bits is 400 MB).
inline constexpr std::int64_t kMaxSourceBytes = std::int64_t{512} << 20;

Result<ByteBuffer> readSourceFile(const std::string& path);

}  // namespace imaging
