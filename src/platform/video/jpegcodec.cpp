#include "platform/video/jpegcodec.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>
#include <optional>

#include "platform/video/areascaler.h"

namespace video {
namespace {

constexpr unsigned kMaxSide = 16384;
constexpr int kBatchRows = 16;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  int damage;
};

extern "C" void onJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings that mean the picture is incomplete; others (extra bytes before a
// marker, which some cameras always send) leave a sound picture.
extern "C" void onJpegMessage(j_common_ptr info, int level) {
  auto* err = reinterpret_cast<ErrorManager*>(info->err);
  if (level >= 0) return;
  const int code = err->base.msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC) ++err->damage;
}

// Where the decoder writes. The callbacks must not throw: they are called
// from decodeJpegC, where an exception would leak the decoder.
struct DecodeTarget {
  int targetWidth;  // picks the DCT scale
  int targetHeight;
  bool (*begin)(void* owner, int width, int height);
  unsigned char* (*rows)(void* owner, int first, int count, int* stride);
  void (*done)(void* owner, int first, int count);
  void* owner;
};

void installErrorManager(ErrorManager* err, jpeg_common_struct* info) {
  info->err = jpeg_std_error(&err->base);
  err->base.error_exit = onJpegError;
  err->base.emit_message = onJpegMessage;
  err->damage = 0;
}

// Everything between setjmp and the libjpeg calls that may longjmp lives in
// this function, which owns no C++ object, so the jump skips no destructor.
bool decodeJpegC(const unsigned char* data, unsigned long size, const DecodeTarget* target) {
  // Both are set up by libjpeg (jpeg_std_error, jpeg_create_*), not here.
  jpeg_decompress_struct info;  // NOLINT(cppcoreguidelines-pro-type-member-init)
  ErrorManager err;             // NOLINT(cppcoreguidelines-pro-type-member-init)
  installErrorManager(&err, reinterpret_cast<jpeg_common_struct*>(&info));
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxSide ||
      info.image_height > kMaxSide) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(
      pickScaleDenominator(static_cast<int>(info.image_width), static_cast<int>(info.image_height),
                           QSize(target->targetWidth, target->targetHeight)));
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  info.out_color_space = JCS_EXT_BGRX;
#else
  info.out_color_space = JCS_EXT_XRGB;
#endif
  jpeg_start_decompress(&info);
  if (!target->begin(target->owner, static_cast<int>(info.output_width),
                     static_cast<int>(info.output_height))) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  JSAMPROW rows[kBatchRows];
  while (info.output_scanline < info.output_height) {
    const int first = static_cast<int>(info.output_scanline);
    const int left = static_cast<int>(info.output_height) - first;
    const int count = left < kBatchRows ? left : kBatchRows;
    int stride = 0;
    unsigned char* pixels = target->rows(target->owner, first, count, &stride);
    for (int i = 0; i < count; ++i) rows[i] = pixels + static_cast<long>(i) * stride;
    const int got =
        static_cast<int>(jpeg_read_scanlines(&info, rows, static_cast<JDIMENSION>(count)));
    target->done(target->owner, first, got);
  }
  jpeg_finish_decompress(&info);
  const bool sound = err.damage == 0;
  jpeg_destroy_decompress(&info);
  return sound;
}

struct EncodeSource {
  const unsigned char* rgb;
  int width;
  int height;
  int quality;
};

// Same rule as decodeJpegC: nothing to destroy in this frame.
bool encodeJpegC(const EncodeSource* source, unsigned char** out, unsigned long* outSize) {
  jpeg_compress_struct info;  // NOLINT(cppcoreguidelines-pro-type-member-init)
  ErrorManager err;           // NOLINT(cppcoreguidelines-pro-type-member-init)
  installErrorManager(&err, reinterpret_cast<jpeg_common_struct*>(&info));
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, out, outSize);
  info.image_width = static_cast<JDIMENSION>(source->width);
  info.image_height = static_cast<JDIMENSION>(source->height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, source->quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<unsigned char*>(source->rgb) +
                   static_cast<long>(info.next_scanline) * source->width * 3;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

// Receives the decoder's rows: straight into the picture, or through a small
// batch buffer into an area scaler when the picture is to be made smaller.
class JpegOutput {
 public:
  explicit JpegOutput(QSize finalSize) : final_(finalSize) {}

  bool begin(int width, int height) noexcept try {
    const QSize decoded(width, height);
    width_ = width;
    if (decoded != final_ && AreaScaler::canScale(decoded, final_)) {
      scaler_.emplace(decoded, final_);
      batch_.resize(static_cast<std::size_t>(width) * kBatchRows);
      return !scaler_->result().isNull();
    }
    image_ = QImage(decoded, QImage::Format_RGB32);
    return !image_.isNull();
  } catch (...) {
    return false;
  }

  unsigned char* rows(int first, int, int* stride) noexcept {
    if (scaler_) {
      *stride = width_ * 4;
      return reinterpret_cast<unsigned char*>(batch_.data());
    }
    *stride = static_cast<int>(image_.bytesPerLine());
    return image_.scanLine(first);
  }

  void done(int, int count) noexcept {
    if (!scaler_) return;
    for (int i = 0; i < count; ++i)
      scaler_->addRow(batch_.data() + static_cast<std::size_t>(i) * width_);
  }

  QImage result() const { return scaler_ ? scaler_->result() : image_; }

 private:
  QSize final_;
  int width_ = 0;
  QImage image_;
  std::optional<AreaScaler> scaler_;
  std::vector<QRgb> batch_;
};

QImage decodeInto(std::span<const std::uint8_t> data, QSize dctTarget, QSize finalSize) {
  if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return {};
  JpegOutput output(finalSize);
  const DecodeTarget where{
      dctTarget.isEmpty() ? 0 : dctTarget.width(),
      dctTarget.isEmpty() ? 0 : dctTarget.height(),
      [](void* o, int w, int h) { return static_cast<JpegOutput*>(o)->begin(w, h); },
      [](void* o, int first, int count, int* stride) {
        return static_cast<JpegOutput*>(o)->rows(first, count, stride);
      },
      [](void* o, int first, int count) { static_cast<JpegOutput*>(o)->done(first, count); },
      &output};
  if (!decodeJpegC(data.data(), static_cast<unsigned long>(data.size()), &where)) return {};
  return output.result();
}

}  // namespace

int pickScaleDenominator(int width, int height, QSize target) {
  if (target.isEmpty()) return 1;
  for (int denominator : {8, 4, 2}) {
    // libjpeg rounds a scaled side up.
    const int w = (width + denominator - 1) / denominator;
    const int h = (height + denominator - 1) / denominator;
    if (w >= target.width() && h >= target.height()) return denominator;
  }
  return 1;
}

QImage decodeJpeg(std::span<const std::uint8_t> data, QSize target) {
  return decodeInto(data, target, QSize());
}

QImage decodeJpegToSize(std::span<const std::uint8_t> data, QSize size) {
  return decodeInto(data, size, size);
}

std::vector<std::uint8_t> encodeJpeg(const std::uint8_t* rgb, int width, int height, int quality) {
  if (!rgb || width <= 0 || height <= 0) return {};
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  const EncodeSource source{rgb, width, height, quality};
  const bool ok = encodeJpegC(&source, &out, &outSize);
  std::vector<std::uint8_t> bytes;
  if (ok && out) bytes.assign(out, out + outSize);
  std::free(out);
  return bytes;
}

}  // namespace video
