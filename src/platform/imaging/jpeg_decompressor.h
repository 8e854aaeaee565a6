#pragma once
// One libjpeg decompression with our error manager and scan limit, set up
// and torn down in the ordinary C++ way. Shared by the reader, which decodes
// into an RgbImage, the direct JPEG to BMP conversion, which decodes into
// the rows of the BMP file, and the camera preview, which decodes at a
// reduced scale and shrinks the rows as they come out.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/imaging/image_error.h"
#include "platform/imaging/jpeg_error.h"

namespace imaging {

class Decompressor {
 public:
  Decompressor();
  ~Decompressor();
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  // NotThisType without the JPEG start marker, TooLarge when libjpeg cannot
  // set up or the picture is over the size limits, Unsupported for a valid
  // variant this build does not decode (12-bit samples, lossless or
  // hierarchical coding), Damaged when the headers do not read.
  Result<void> readHeader(std::span<const std::uint8_t> file);

  // Decodes every row in the out_color_space chosen on cinfo(): row y goes to
  // top + y * step. False when the stream is damaged, cut short or has too
  // many scans.
  bool decode(std::uint8_t* top, std::ptrdiff_t step);

  // The same row by row, for a caller that handles each batch as it comes
  // out: start() once the output parameters (colour space, scale) are set on
  // cinfo(), readRows() until output_scanline reaches output_height, then
  // finish(). False when the stream is damaged, cut short or has too many
  // scans; nothing more may be asked of the decompression then.
  bool start();
  // Up to `count` rows (at most kMaxRowsPerRead), row i into rows[i]; the
  // number that arrived in `read`.
  bool readRows(JSAMPARRAY rows, int count, int& read);
  bool finish();
  static constexpr int kMaxRowsPerRead = 16;

  jpeg_decompress_struct* cinfo() { return &cinfo_; }
  // Four-component pictures are CMYK (or YCCK), which libjpeg cannot turn
  // into RGB by itself.
  bool isCmyk() const;

 private:
  ImageError headerFailure() const;

  jpeg_decompress_struct cinfo_{};
  JpegErrorManager errors_{};
  JpegScanLimit limit_{};
  bool created_ = false;
};

}  // namespace imaging
