#include "platform/imaging/jpeg_decompressor.h"

#include <jerror.h>

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

bool startStep(jpeg_decompress_struct* c, JpegErrorManager* e) {
  if (setjmp(e->jump)) return false;
  jpeg_start_decompress(c);
  return true;
}

bool readStep(jpeg_decompress_struct* c, JpegErrorManager* e, JSAMPARRAY rows, JDIMENSION count,
              JDIMENSION* read) {
  if (setjmp(e->jump)) return false;
  *read = jpeg_read_scanlines(c, rows, count);
  return true;
}

bool finishStep(jpeg_decompress_struct* c, JpegErrorManager* e) {
  if (setjmp(e->jump)) return false;
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
  if (!headerStep(&cinfo_, &errors_, file.data(), file.size())) return headerFailure();
  return checkDimensions(cinfo_.image_width, cinfo_.image_height);
}

bool Decompressor::decode(std::uint8_t* top, std::ptrdiff_t step) {
  if (!start()) return false;
  JSAMPROW batch[kMaxRowsPerRead];
  while (cinfo_.output_scanline < cinfo_.output_height) {
    const JDIMENSION first = cinfo_.output_scanline;
    const int count =
        static_cast<int>(std::min<JDIMENSION>(kMaxRowsPerRead, cinfo_.output_height - first));
    for (int i = 0; i < count; ++i) batch[i] = top + step * static_cast<std::ptrdiff_t>(first + i);
    int read = 0;
    // A memory source never suspends: no row at all means a broken stream.
    if (!readRows(batch, count, read) || read == 0) return false;
  }
  return finish();
}

bool Decompressor::start() {
  return created_ && startStep(&cinfo_, &errors_);
}

bool Decompressor::readRows(JSAMPARRAY rows, int count, int& read) {
  JDIMENSION got = 0;
  const bool ok = readStep(&cinfo_, &errors_, rows, static_cast<JDIMENSION>(count), &got);
  read = static_cast<int>(got);
  return ok;
}

bool Decompressor::finish() {
  return finishStep(&cinfo_, &errors_);
}

// A sound header of a kind this build does not decode (12-bit samples,
// lossless or hierarchical coding) is not damage: the user is told so.
ImageError Decompressor::headerFailure() const {
  const int code = errors_.pub.msg_code;
  if (code == JERR_BAD_PRECISION || code == JERR_SOF_UNSUPPORTED) return ImageError::Unsupported;
  return ImageError::Damaged;
}

bool Decompressor::isCmyk() const {
  return cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
}

}  // namespace imaging
