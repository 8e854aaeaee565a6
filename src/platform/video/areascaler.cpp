#include "platform/video/areascaler.h"

#include <algorithm>
#include <cmath>

namespace video {
namespace {

constexpr std::uint32_t kOne = 256;  // fixed-point weight of a whole target pixel

// Weight of source cell [i, i + 1) in target cell [start, start + step), as
// differences of rounded cumulative coverage so that a target cell's weights
// add up to exactly kOne.
std::uint32_t coverage(int i, double start, double step) {
  const auto cumulative = [&](double x) {
    return std::lround(std::clamp((x - start) / step, 0.0, 1.0) * kOne);
  };
  return static_cast<std::uint32_t>(cumulative(i + 1.0) - cumulative(static_cast<double>(i)));
}

}  // namespace

AreaScaler::AreaScaler(QSize source, QSize target)
    : target_(target, QImage::Format_RGB32),
      current_{std::vector<std::uint16_t>(static_cast<std::size_t>(source.width()) * 4)},
      next_(current_),
      lastSourceOf_(static_cast<std::size_t>(target.height()), 0) {
  const double stepX = static_cast<double>(source.width()) / target.width();
  const auto columnTaps = [&](int x, std::vector<Tap>& taps) {
    taps.clear();
    const int first = static_cast<int>(std::floor(x * stepX));
    const int last = std::min(source.width() - 1, static_cast<int>(std::ceil((x + 1) * stepX)));
    for (int i = first; i <= last; ++i)
      if (const auto w = coverage(i, x * stepX, stepX)) taps.push_back({i, w});
  };
  std::vector<Tap> column;
  for (int x = 0; x < target.width(); ++x) {
    columnTaps(x, column);
    tapsPerColumn_ = std::max(tapsPerColumn_, static_cast<int>(column.size()));
  }
  taps_.reserve(static_cast<std::size_t>(tapsPerColumn_) * target.width());
  for (int x = 0; x < target.width(); ++x) {
    columnTaps(x, column);
    column.resize(static_cast<std::size_t>(tapsPerColumn_), Tap{column.back().source, 0});
    taps_.insert(taps_.end(), column.begin(), column.end());
  }
  const double stepY = static_cast<double>(source.height()) / target.height();
  shareStart_.reserve(static_cast<std::size_t>(source.height()) + 1);
  for (int i = 0; i < source.height(); ++i) {
    shareStart_.push_back(static_cast<int>(shares_.size()));
    const int first = static_cast<int>(std::floor(i / stepY));
    const int last = std::min(target.height() - 1, static_cast<int>(std::floor((i + 1) / stepY)));
    for (int y = std::max(0, first - 1); y <= last; ++y)
      if (const auto w = coverage(i, y * stepY, stepY)) {
        shares_.push_back({y, w});
        lastSourceOf_[static_cast<std::size_t>(y)] = i;
      }
  }
  shareStart_.push_back(static_cast<int>(shares_.size()));
}

void AreaScaler::accumulate(const QRgb* row, Accumulator& into, std::uint32_t weight) const {
  const auto* __restrict bytes = reinterpret_cast<const std::uint8_t*>(row);
  std::uint16_t* __restrict lanes = into.lanes.data();
  const auto w = static_cast<std::uint16_t>(weight);
  const std::size_t count = into.lanes.size();
  if (into.empty) {
    for (std::size_t i = 0; i < count; ++i) lanes[i] = static_cast<std::uint16_t>(bytes[i] * w);
    into.empty = false;
    return;
  }
  for (std::size_t i = 0; i < count; ++i)
    lanes[i] = static_cast<std::uint16_t>(lanes[i] + bytes[i] * w);
}

template <int TapsPerColumn>
void AreaScaler::emitRowWith(QRgb* out) const {
  // Byte order of Format_RGB32 in memory.
  constexpr int kBlue = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 0 : 3;
  constexpr int kGreen = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 1 : 2;
  constexpr int kRed = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 2 : 1;
  const std::uint16_t* lanes = current_.lanes.data();
  const int taps = TapsPerColumn > 0 ? TapsPerColumn : tapsPerColumn_;
  constexpr std::uint32_t half = kOne * kOne / 2;
  const Tap* tap = taps_.data();
  const int width = target_.width();
  for (int x = 0; x < width; ++x) {
    std::uint32_t r = half, g = half, b = half;
    for (int t = 0; t < taps; ++t, ++tap) {
      const std::uint16_t* pixel = lanes + static_cast<std::ptrdiff_t>(tap->source) * 4;
      r += pixel[kRed] * tap->weight;
      g += pixel[kGreen] * tap->weight;
      b += pixel[kBlue] * tap->weight;
    }
    out[x] = 0xFF000000u | ((r >> 16) << 16) | ((g >> 16) << 8) | (b >> 16);
  }
}

void AreaScaler::emitRow(int targetRow) {
  auto* out = reinterpret_cast<QRgb*>(target_.scanLine(targetRow));
  switch (tapsPerColumn_) {  // the common ratios get an unrolled inner loop
    case 1:
      return emitRowWith<1>(out);
    case 2:
      return emitRowWith<2>(out);
    case 3:
      return emitRowWith<3>(out);
    case 4:
      return emitRowWith<4>(out);
    case 5:
      return emitRowWith<5>(out);
    default:
      return emitRowWith<0>(out);
  }
}

void AreaScaler::addRow(const QRgb* row) {
  if (sourceRow_ + 1 >= static_cast<int>(shareStart_.size())) return;
  const int index = sourceRow_++;
  for (int s = shareStart_[static_cast<std::size_t>(index)];
       s < shareStart_[static_cast<std::size_t>(index) + 1]; ++s) {
    const RowShare& share = shares_[static_cast<std::size_t>(s)];
    accumulate(row, share.targetRow == currentRow_ ? current_ : next_, share.weight);
  }
  while (currentRow_ < target_.height() &&
         lastSourceOf_[static_cast<std::size_t>(currentRow_)] <= index) {
    emitRow(currentRow_++);
    std::swap(current_, next_);
    next_.empty = true;
  }
}

QImage scaleSmoothly(QImage image, QSize target) {
  if (target.isEmpty() || image.size() == target) return image;
  if (image.format() != QImage::Format_RGB32 || !AreaScaler::canScale(image.size(), target))
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  AreaScaler scaler(image.size(), target);
  for (int y = 0; y < image.height(); ++y)
    scaler.addRow(reinterpret_cast<const QRgb*>(image.constScanLine(y)));
  return scaler.result();
}

}  // namespace video
