#include "platform/imaging/jpeg_decompressor.h"

#include <algorithm>

#include "platform/imaging/limits.h"

namespace imaging {
namespace {

// The setjmp steps: plain pointers only, nothing with a destructor.
bool createStep(jpeg_decompress_struct* c, JpegErrorManager* e) {
  if (setjmp(e->jump)) return false;
  jpeg_create_decompress(c);
  return true;
}

bool headerStep(jpeg_decompress_struct* c, JpegErrorManager* e, const std::uint8_t* data,
                unsigned long size) {
  if (setjmp(e->jump)) return false;
  jpeg_mem_src(c, data, size);
  jpeg_read_header(c, TRUE);
  return true;
}

// Rows asked of libjpeg per call; fewer calls, same pixels.
constexpr JDIMENSION kRowsPerCall = 16;

void readRows(jpeg_decompress_struct* c, std::uint8_t* top, std::ptrdiff_t step) {
  JSAMPROW batch[kRowsPerCall];
  while (c->output_scanline < c->output_height) {
    const JDIMENSION count = std::min(kRowsPerCall, c->output_height - c->output_scanline);
    for (JDIMENSION i = 0; i < count; ++i)
      batch[i] = top + step * static_cast<std::ptrdiff_t>(c->output_scanline + i);
    jpeg_read_scanlines(c, batch, count);
  }
}

bool decodeStep(jpeg_decompress_struct* c, JpegErrorManager* e, std::uint8_t* top,
                std::ptrdiff_t step) {
  if (setjmp(e->jump)) return false;
  jpeg_start_decompress(c);
  readRows(c, top, step);
  jpeg_finish_decompress(c);
  return true;
}

}  // namespace

Decompressor::Decompressor() {
  cinfo_.err = installErrorManager(errors_);
  created_ = createStep(&cinfo_, &errors_);
  if (created_) installScanLimit(cinfo_, limit_);
}

Decompressor::~Decompressor() {
  if (created_) jpeg_destroy_decompress(&cinfo_);
}

Result<void> Decompressor::readHeader(std::span<const std::uint8_t> file) {
  if (file.size() < 3 || file[0] != 0xFF || file[1] != 0xD8) return ImageError::NotThisType;
  if (!created_) return ImageError::TooLarge;
  if (!headerStep(&cinfo_, &errors_, file.data(), file.size())) return ImageError::Damaged;
  return checkDimensions(cinfo_.image_width, cinfo_.image_height);
}

bool Decompressor::decode(std::uint8_t* top, std::ptrdiff_t step) {
  return created_ && decodeStep(&cinfo_, &errors_, top, step);
}

bool Decompressor::isCmyk() const {
  return cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
}

}  // namespace imaging
