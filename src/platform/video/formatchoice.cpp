#include "platform/video/formatchoice.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>

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

// Sizes a stepwise or continuous range is likely to be used at.
constexpr std::pair<int, int> kCommonSizes[] = {{160, 120},   {320, 240},  {640, 480},
                                                {800, 600},   {1024, 768}, {1280, 960},
                                                {1600, 1200}, {1280, 720}, {1920, 1080}};

// Rates a camera with an interval range is commonly asked for.
constexpr std::uint32_t kCommonRates[] = {60, 50, 30, 25, 20, 15, 10, 5};

bool onStep(int value, int low, int high, int step) {
  return value >= low && value <= high && (step <= 1 || (value - low) % step == 0);
}

double seconds(Fraction f) {
  return f.denominator == 0 ? 0.0 : static_cast<double>(f.numerator) / f.denominator;
}

std::string fourccText(std::uint32_t fourcc) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((fourcc >> (8 * i)) & 0xFF);
    if (c <= ' ' || c > '~') {
      char hex[11];
      std::snprintf(hex, sizeof hex, "0x%08x", fourcc);
      return hex;
    }
    text += c;
  }
  return text;
}

std::optional<std::uint32_t> fourccFromText(const std::string& text) {
  if (text.size() == 10 && text.starts_with("0x")) {
    std::uint32_t value = 0;
    for (char c : text.substr(2)) {
      const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                        : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                                                                    : -1;
      if (digit < 0) return std::nullopt;
      value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
  }
  if (text.size() != 4) return std::nullopt;
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(text[i])) << (8 * i);
  return value;
}

// "1280x720" or "1/30": two positive numbers around the separator.
std::optional<std::pair<long, long>> numberPair(const std::string& text, char separator) {
  const auto at = text.find(separator);
  if (at == std::string::npos || at == 0 || at + 1 == text.size()) return std::nullopt;
  const auto number = [](const std::string& digits) -> long {
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) {
          return std::isdigit(static_cast<unsigned char>(c));
        }))
      return -1;
    return std::stol(digits);
  };
  const long a = number(text.substr(0, at)), b = number(text.substr(at + 1));
  if (a < 0 || b < 0) return std::nullopt;
  return std::pair{a, b};
}

}  // namespace

std::string FormatOption::toText() const {
  std::string text =
      fourccText(fourcc) + ' ' + std::to_string(width) + 'x' + std::to_string(height);
  if (intervalNumerator != 0 || intervalDenominator != 0)
    text += ' ' + std::to_string(intervalNumerator) + '/' + std::to_string(intervalDenominator);
  return text;
}

std::optional<FormatOption> FormatOption::fromText(std::string_view text) {
  std::istringstream in{std::string(text)};
  std::string code, size, interval, extra;
  if (!(in >> code >> size)) return std::nullopt;
  in >> interval;
  if (in >> extra) return std::nullopt;
  FormatOption option;
  const auto fourcc = fourccFromText(code);
  const auto dimensions = numberPair(size, 'x');
  if (!fourcc || !dimensions || dimensions->first == 0 || dimensions->second == 0)
    return std::nullopt;
  option.fourcc = *fourcc;
  option.width = static_cast<int>(dimensions->first);
  option.height = static_cast<int>(dimensions->second);
  if (!interval.empty()) {
    const auto fraction = numberPair(interval, '/');
    if (!fraction || (fraction->first == 0) != (fraction->second == 0)) return std::nullopt;
    option.intervalNumerator = static_cast<std::uint32_t>(fraction->first);
    option.intervalDenominator = static_cast<std::uint32_t>(fraction->second);
  }
  return option;
}

bool FrameSizeRange::contains(int width, int height) const {
  if (kind == Kind::Discrete) return width == minWidth && height == minHeight;
  const int sw = kind == Kind::Continuous ? 1 : stepWidth;
  const int sh = kind == Kind::Continuous ? 1 : stepHeight;
  return onStep(width, minWidth, maxWidth, sw) && onStep(height, minHeight, maxHeight, sh);
}

std::vector<std::pair<int, int>> concreteSizes(const FrameSizeRange& range) {
  if (range.kind == FrameSizeRange::Kind::Discrete) return {{range.minWidth, range.minHeight}};
  std::vector<std::pair<int, int>> sizes;
  for (auto [w, h] : kCommonSizes)
    if (range.contains(w, h)) sizes.emplace_back(w, h);
  if (std::find(sizes.begin(), sizes.end(), std::pair{range.maxWidth, range.maxHeight}) ==
      sizes.end())
    sizes.emplace_back(range.maxWidth, range.maxHeight);
  std::stable_sort(sizes.begin(), sizes.end(), [](auto a, auto b) {
    return static_cast<long long>(a.first) * a.second < static_cast<long long>(b.first) * b.second;
  });
  return sizes;
}

std::vector<FormatOption> concreteOptions(const std::vector<PixelFormatInfo>& formats) {
  std::vector<FormatOption> options;
  for (const auto& format : formats) {
    if (!isShowableFourcc(format.fourcc)) continue;
    for (const auto& range : format.sizes)
      for (auto [w, h] : concreteSizes(range)) options.push_back({format.fourcc, w, h});
  }
  return options;
}

std::vector<Fraction> concreteIntervals(const FrameIntervals& intervals) {
  if (intervals.kind == FrameIntervals::Kind::Discrete) return intervals.discrete;
  const double shortest = seconds(intervals.minimum), longest = seconds(intervals.maximum);
  std::vector<Fraction> list{intervals.minimum};
  for (std::uint32_t rate : kCommonRates) {
    const double s = 1.0 / rate;
    if (s > shortest * 1.0001 && s < longest * 0.9999) list.push_back({1, rate});
  }
  if (!(intervals.maximum == intervals.minimum)) list.push_back(intervals.maximum);
  return list;
}

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
