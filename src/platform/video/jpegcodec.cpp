#include "platform/video/jpegcodec.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "platform/imaging/jpeg_decompressor.h"
#include "platform/video/areascaler.h"

namespace video {
namespace {

constexpr int kBatchRows = imaging::Decompressor::kMaxRowsPerRead;

// Where the decoder's rows go: straight into the picture, or through a small
// batch buffer into an area scaler when the picture is to be made smaller.
class JpegOutput {
 public:
  JpegOutput(QSize decoded, QSize finalSize) : width_(decoded.width()) {
    if (decoded != finalSize && AreaScaler::canScale(decoded, finalSize)) {
      scaler_.emplace(decoded, finalSize);
      batch_.resize(static_cast<std::size_t>(width_) * kBatchRows);
    } else {
      image_ = QImage(decoded, QImage::Format_RGB32);
    }
  }

  bool isNull() const { return result().isNull(); }

  // Points `rows` at where output rows first … first + count - 1 go.
  void place(JSAMPROW* rows, int first, int count) {
    for (int i = 0; i < count; ++i)
      rows[i] = scaler_ ? reinterpret_cast<JSAMPROW>(batch_.data() + std::size_t(i) * width_)
                        : image_.scanLine(first + i);
  }

  void arrived(int count) {
    if (!scaler_) return;
    for (int i = 0; i < count; ++i) scaler_->addRow(batch_.data() + std::size_t(i) * width_);
  }

  QImage result() const { return scaler_ ? scaler_->result() : image_; }

 private:
  int width_;
  QImage image_;
  std::optional<AreaScaler> scaler_;
  std::vector<QRgb> batch_;
};

QImage decodeRows(imaging::Decompressor& decoder, QSize finalSize) {
  jpeg_decompress_struct* info = decoder.cinfo();
  if (!decoder.start()) return {};
  const int height = static_cast<int>(info->output_height);
  JpegOutput output(QSize(static_cast<int>(info->output_width), height), finalSize);
  if (output.isNull()) return {};
  JSAMPROW rows[kBatchRows];
  while (static_cast<int>(info->output_scanline) < height) {
    const int first = static_cast<int>(info->output_scanline);
    const int count = std::min(kBatchRows, height - first);
    output.place(rows, first, count);
    int read = 0;
    // A memory source never suspends: no row at all means a broken stream.
    if (!decoder.readRows(rows, count, read) || read == 0) return {};
    output.arrived(read);
  }
  // Damaged entropy data stops the decoder (it would show as smeared
  // blocks): the next frame is only a few milliseconds away.
  if (!decoder.finish()) return {};
  return output.result();
}

QImage decodeInto(std::span<const std::uint8_t> data, QSize dctTarget, QSize finalSize) try {
  imaging::Decompressor decoder;
  if (!decoder.readHeader(data)) return {};
  jpeg_decompress_struct* info = decoder.cinfo();
  info->scale_num = 1;
  info->scale_denom = static_cast<unsigned>(pickScaleDenominator(
      static_cast<int>(info->image_width), static_cast<int>(info->image_height), dctTarget));
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  info->out_color_space = JCS_EXT_BGRX;
#else
  info->out_color_space = JCS_EXT_XRGB;
#endif
  return decodeRows(decoder, finalSize);
} catch (const std::bad_alloc&) {
  return {};
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

}  // namespace video
