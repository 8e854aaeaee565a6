#include "platform/imaging/direct_convert.h"

#include <new>

#include "platform/imaging/bmp_view.h"
#include "platform/imaging/bmp_writer.h"
#include "platform/imaging/jpeg_decompressor.h"
#include "platform/imaging/jpeg_writer.h"

namespace imaging {
namespace {

Result<ByteBuffer> decodeIntoBmp(Decompressor& d) {
  jpeg_decompress_struct* c = d.cinfo();
  const int width = static_cast<int>(c->image_width);
  const int height = static_cast<int>(c->image_height);
  auto file = ByteBuffer::allocate(bmpFileSize(width, height));
  if (!file) return file.error();
  layOutBmp(file->data(), width, height);
  // The first row decoded is the top one, the last row of a bottom-up file.
  const auto stride = static_cast<std::ptrdiff_t>(bmpRowStride(width));
  std::uint8_t* top = file->data() + kBmpHeaderBytes + stride * (height - 1);
  c->out_color_space = JCS_EXT_BGR;
  if (!d.decode(top, -stride)) return ImageError::Damaged;
  return file;
}

}  // namespace

std::optional<Result<ByteBuffer>> bmpToJpegDirect(std::span<const std::uint8_t> bmp, int quality) {
  auto rows = viewBgr24Bmp(bmp);
  if (!rows) return rows.error();
  if (!*rows) return std::nullopt;
  return encodeJpegRows(**rows, quality);
}

std::optional<Result<ByteBuffer>> jpegToBmpDirect(std::span<const std::uint8_t> jpeg) {
  try {
    Decompressor d;
    if (auto header = d.readHeader(jpeg); !header) return header.error();
    if (d.isCmyk()) return std::nullopt;
    return decodeIntoBmp(d);
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
}

}  // namespace imaging
