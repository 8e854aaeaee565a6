#include "platform/video/formatchoice.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cmath>

namespace video {
namespace {

constexpr std::uint32_t kConvertible[] = {
    V4L2_PIX_FMT_UYVY,   V4L2_PIX_FMT_YVYU,   V4L2_PIX_FMT_NV12,   V4L2_PIX_FMT_YUV420,
    V4L2_PIX_FMT_YVU420, V4L2_PIX_FMT_RGB24,  V4L2_PIX_FMT_BGR24,  V4L2_PIX_FMT_RGB565,
    V4L2_PIX_FMT_GREY,   V4L2_PIX_FMT_SBGGR8, V4L2_PIX_FMT_SGBRG8, V4L2_PIX_FMT_SGRBG8,
    V4L2_PIX_FMT_SRGGB8,
};

int rank(std::uint32_t fourcc) {
  if (fourcc == V4L2_PIX_FMT_MJPEG || fourcc == V4L2_PIX_FMT_JPEG) return 0;
  if (fourcc == V4L2_PIX_FMT_YUYV) return 1;
  return 2;
}

bool isFourByThree(const FormatOption& o) {
  return o.width * 3 == o.height * 4;
}
long long area(const FormatOption& o) {
  return static_cast<long long>(o.width) * o.height;
}

std::optional<FormatOption> pickSize(const std::vector<FormatOption>& options, QSize window) {
  std::vector<FormatOption> fourByThree;
  std::copy_if(options.begin(), options.end(), std::back_inserter(fourByThree), isFourByThree);
  const auto byArea = [](const FormatOption& a, const FormatOption& b) {
    return area(a) < area(b);
  };
  std::optional<FormatOption> above;
  for (const auto& o : fourByThree) {
    if (o.width >= window.width() && o.height >= window.height() &&
        (!above || area(o) < area(*above)))
      above = o;
  }
  if (above) return above;
  const auto& pool = fourByThree.empty() ? options : fourByThree;
  if (pool.empty()) return std::nullopt;
  return *std::max_element(pool.begin(), pool.end(), byArea);
}

}  // namespace

bool isShowableFourcc(std::uint32_t fourcc) {
  return rank(fourcc) < 2 || std::find(std::begin(kConvertible), std::end(kConvertible), fourcc) !=
                                 std::end(kConvertible);
}

std::optional<FormatOption> chooseDefaultFormat(const std::vector<FormatOption>& options,
                                                QSize window) {
  std::vector<FormatOption> showable;
  std::copy_if(options.begin(), options.end(), std::back_inserter(showable),
               [](const FormatOption& o) {
                 return isShowableFourcc(o.fourcc) && o.width > 0 && o.height > 0;
               });
  const auto size = pickSize(showable, window);
  if (!size) return std::nullopt;
  std::optional<FormatOption> best;
  for (const auto& o : showable) {
    if (o.width == size->width && o.height == size->height &&
        (!best || rank(o.fourcc) < rank(best->fourcc)))
      best = o;
  }
  return best;
}

int pollTimeoutMs(std::uint32_t intervalNumerator, std::uint32_t intervalDenominator) {
  double seconds = 1.0 / 30.0;
  if (intervalNumerator != 0 && intervalDenominator != 0)
    seconds = static_cast<double>(intervalNumerator) / intervalDenominator;
  const double ms = 4.0 * seconds * 1000.0;
  if (!std::isfinite(ms)) return 1000;
  return static_cast<int>(std::clamp(ms, 100.0, 1000.0));
}

}  // namespace video
