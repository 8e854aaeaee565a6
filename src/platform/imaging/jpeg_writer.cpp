#include "platform/imaging/jpeg_writer.h"

#include <jerror.h>

#include <algorithm>
#include <cstdlib>
#include <new>

#include "platform/imaging/jpeg_error.h"

namespace imaging {
namespace {

// A destination that grows a malloc'ed buffer the caller owns, so nothing
// leaks however the encoder stops (libjpeg's own memory destination can lose
// its buffer on an error exit).
struct GrowingDestination {
  jpeg_destination_mgr pub{};
  unsigned char* buffer = nullptr;
  std::size_t capacity = 0;
  std::size_t used = 0;

  GrowingDestination() = default;
  GrowingDestination(const GrowingDestination&) = delete;
  GrowingDestination& operator=(const GrowingDestination&) = delete;
  ~GrowingDestination() { std::free(buffer); }
};

GrowingDestination& destinationOf(j_compress_ptr c) {
  return *reinterpret_cast<GrowingDestination*>(c->dest);
}

void outOfMemory(j_compress_ptr c) {
  c->err->msg_code = JERR_OUT_OF_MEMORY;
  c->err->error_exit(reinterpret_cast<j_common_ptr>(c));
}

void grow(j_compress_ptr c, std::size_t minimum) {
  GrowingDestination& d = destinationOf(c);
  std::size_t capacity = d.capacity ? d.capacity * 2 : 65536;
  while (capacity < minimum) capacity *= 2;
  auto* bigger = static_cast<unsigned char*>(std::realloc(d.buffer, capacity));
  if (!bigger) outOfMemory(c);
  d.buffer = bigger;
  d.pub.next_output_byte = bigger + d.capacity;
  d.pub.free_in_buffer = capacity - d.capacity;
  d.capacity = capacity;
}

void initDestination(j_compress_ptr c) {
  grow(c, 65536);
}
boolean emptyBuffer(j_compress_ptr c) {
  grow(c, 0);
  return TRUE;
}
void termDestination(j_compress_ptr c) {
  GrowingDestination& d = destinationOf(c);
  d.used = d.capacity - d.pub.free_in_buffer;
}

bool createStep(jpeg_compress_struct* c, JpegErrorManager* e) {
  if (setjmp(e->jump)) return false;
  jpeg_create_compress(c);
  return true;
}

// Rows handed to libjpeg per call; fewer calls, same bytes.
constexpr JDIMENSION kRowsPerCall = 16;

void writeRows(jpeg_compress_struct* c, const PixelRows* rows) {
  JSAMPROW batch[kRowsPerCall];
  while (c->next_scanline < c->image_height) {
    const JDIMENSION count = std::min(kRowsPerCall, c->image_height - c->next_scanline);
    for (JDIMENSION i = 0; i < count; ++i)
      batch[i] = const_cast<JSAMPLE*>(rows->row(static_cast<int>(c->next_scanline + i)));
    jpeg_write_scanlines(c, batch, count);
  }
}

bool encodeStep(jpeg_compress_struct* c, JpegErrorManager* e, const PixelRows* rows, int quality,
                bool optimise) {
  if (setjmp(e->jump)) return false;
  c->image_width = static_cast<JDIMENSION>(rows->width);
  c->image_height = static_cast<JDIMENSION>(rows->height);
  c->input_components = 3;
  c->in_color_space = rows->order == ChannelOrder::Bgr ? JCS_EXT_BGR : JCS_RGB;
  jpeg_set_defaults(c);
  jpeg_set_quality(c, quality, TRUE);
  c->optimize_coding = optimise ? TRUE : FALSE;
  // Defaults give 2x2 luma sampling (4:2:0); high qualities keep full chroma.
  const int factor = quality >= kFullChromaQuality ? 1 : 2;
  c->comp_info[0].h_samp_factor = factor;
  c->comp_info[0].v_samp_factor = factor;
  jpeg_start_compress(c, TRUE);
  writeRows(c, rows);
  jpeg_finish_compress(c);
  return true;
}

class Compressor {
 public:
  Compressor() {
    cinfo_.err = installErrorManager(errors_);
    created_ = createStep(&cinfo_, &errors_);
    dest_.pub.init_destination = initDestination;
    dest_.pub.empty_output_buffer = emptyBuffer;
    dest_.pub.term_destination = termDestination;
    cinfo_.dest = &dest_.pub;
  }
  ~Compressor() {
    if (created_) jpeg_destroy_compress(&cinfo_);
  }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;

  bool encode(const PixelRows& rows, int quality, HuffmanTables tables) {
    return created_ &&
           encodeStep(&cinfo_, &errors_, &rows, quality, tables == HuffmanTables::Optimised);
  }
  // Hands the encoded bytes over; the destination forgets them.
  ByteBuffer take() {
    ByteBuffer bytes = ByteBuffer::adopt(dest_.buffer, dest_.used);
    dest_.buffer = nullptr;
    dest_.capacity = dest_.used = 0;
    return bytes;
  }

 private:
  jpeg_compress_struct cinfo_{};
  JpegErrorManager errors_{};
  GrowingDestination dest_;
  bool created_ = false;
};

}  // namespace

Result<ByteBuffer> encodeJpegRows(const PixelRows& rows, int quality, HuffmanTables tables) {
  try {
    Compressor compressor;
    if (!compressor.encode(rows, quality, tables)) return ImageError::TooLarge;
    return compressor.take();
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
}

Result<std::vector<std::uint8_t>> encodeJpeg(const RgbImage& image, int quality) {
  auto encoded = encodeJpegRows(rowsOf(image), quality);
  if (!encoded) return encoded.error();
  try {
    const auto bytes = encoded->span();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
}

}  // namespace imaging
