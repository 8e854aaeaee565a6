#include "platform/imaging/jpeg_reader.h"

#include <new>
#include <vector>

#include "platform/imaging/jpeg_error.h"
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

bool decodeStep(jpeg_decompress_struct* c, JpegErrorManager* e, std::uint8_t* out,
                std::size_t stride) {
  if (setjmp(e->jump)) return false;
  jpeg_start_decompress(c);
  while (c->output_scanline < c->output_height) {
    JSAMPROW row = out + stride * c->output_scanline;
    jpeg_read_scanlines(c, &row, 1);
  }
  jpeg_finish_decompress(c);
  return true;
}

class Decompressor {
 public:
  Decompressor() {
    cinfo_.err = installErrorManager(errors_);
    created_ = createStep(&cinfo_, &errors_);
    if (created_) installScanLimit(cinfo_, limit_);
  }
  ~Decompressor() {
    if (created_) jpeg_destroy_decompress(&cinfo_);
  }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  bool created() const { return created_; }
  jpeg_decompress_struct* cinfo() { return &cinfo_; }
  JpegErrorManager* errors() { return &errors_; }

 private:
  jpeg_decompress_struct cinfo_{};
  JpegErrorManager errors_{};
  JpegScanLimit limit_{};
  bool created_ = false;
};

void cmykToRgb(const std::vector<std::uint8_t>& cmyk, bool inverted, RgbImage& img) {
  for (std::size_t i = 0, o = 0; o < img.pixels.size(); i += 4, o += 3) {
    unsigned k = cmyk[i + 3];
    for (int ch = 0; ch < 3; ++ch) {
      unsigned v = cmyk[i + ch];
      if (!inverted) v = 255 - v;
      img.pixels[o + ch] = static_cast<std::uint8_t>((v * (inverted ? k : 255 - k) + 127) / 255);
    }
  }
}

Result<RgbImage> decodeBody(Decompressor& d) {
  jpeg_decompress_struct* c = d.cinfo();
  if (auto fits = checkDimensions(c->image_width, c->image_height); !fits) return fits.error();
  const bool cmyk = c->jpeg_color_space == JCS_CMYK || c->jpeg_color_space == JCS_YCCK;
  c->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  RgbImage img;
  img.width = static_cast<int>(c->image_width);
  img.height = static_cast<int>(c->image_height);
  img.pixels.resize(img.rowBytes() * static_cast<std::size_t>(img.height));
  std::vector<std::uint8_t> four;
  if (cmyk) four.resize(std::size_t{4} * img.width * img.height);
  const bool ok = cmyk ? decodeStep(c, d.errors(), four.data(), std::size_t{4} * img.width)
                       : decodeStep(c, d.errors(), img.pixels.data(), img.rowBytes());
  if (!ok) return ImageError::Damaged;
  if (cmyk) cmykToRgb(four, c->saw_Adobe_marker, img);
  return img;
}

}  // namespace

Result<RgbImage> decodeJpeg(std::span<const std::uint8_t> file) {
  if (file.size() < 3 || file[0] != 0xFF || file[1] != 0xD8) return ImageError::NotThisType;
  try {
    Decompressor d;
    if (!d.created()) return ImageError::TooLarge;
    if (!headerStep(d.cinfo(), d.errors(), file.data(), file.size())) return ImageError::Damaged;
    return decodeBody(d);
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
}

}  // namespace imaging
