#pragma once
// JPEG encoding with libjpeg-turbo: baseline, optimised Huffman tables, 4:2:0
// chroma below quality 90 and 4:4:4 from 90 on.

#include <cstdint>
#include <vector>

#include "platform/imaging/byte_buffer.h"
#include "platform/imaging/image.h"
#include "platform/imaging/image_error.h"

namespace imaging {

inline constexpr int kFullChromaQuality = 90;

// Huffman tables made for the picture (smaller files, a second pass over the
// picture) or libjpeg's standard ones, as a camera sends MJPEG: the synthetic
// camera encodes every frame and wants the cheaper encoding.
enum class HuffmanTables { Optimised, Standard };

// `quality` must already be within 1..100 (see quality.h). The same settings
// whatever the rows' channel order and step, so the bytes depend on the
// pixels alone.
Result<ByteBuffer> encodeJpegRows(const PixelRows& rows, int quality,
                                  HuffmanTables tables = HuffmanTables::Optimised);
Result<std::vector<std::uint8_t>> encodeJpeg(const RgbImage& image, int quality);

}  // namespace imaging
