#pragma once
// libv4lconvert used as a plain pixel converter, with no device behind it.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/video/capturedevice.h"

struct v4lconvert_data;

namespace video {

class V4lConverter {
 public:
  static std::unique_ptr<V4lConverter> create();
  ~V4lConverter();
  V4lConverter(const V4lConverter&) = delete;
  V4lConverter& operator=(const V4lConverter&) = delete;

  // Packed RGB24 rows of format.width × format.height; empty on failure.
  std::span<const std::uint8_t> toRgb24(std::span<const std::uint8_t> data,
                                        const FrameFormat& format);

 private:
  explicit V4lConverter(v4lconvert_data* data) : data_(data) {}
  v4lconvert_data* data_;
  std::vector<std::uint8_t> rgb_;
};

}  // namespace video
