#include "bench/codec/psnr.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "platform/imaging/convert.h"

namespace codecbench {

std::optional<double> psnr(const imaging::RgbImage& source, const imaging::RgbImage& result) {
  if (source.width != result.width || source.height != result.height) return std::nullopt;
  if (source.pixels.size() != result.pixels.size() || source.pixels.empty()) return std::nullopt;
  double sum = 0;
  for (std::size_t i = 0; i < source.pixels.size(); ++i) {
    const double d = double(source.pixels[i]) - double(result.pixels[i]);
    sum += d * d;
  }
  if (sum == 0) return std::numeric_limits<double>::infinity();
  const double mse = sum / static_cast<double>(source.pixels.size());
  return 10.0 * std::log10(255.0 * 255.0 / mse);
}

std::optional<imaging::RgbImage> loadPicture(const std::string& path) {
  const auto format = imaging::formatFromExtension(path);
  if (!format) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  auto image = imaging::decodePicture(*format, bytes);
  if (!image) return std::nullopt;
  return std::move(*image);
}

}  // namespace codecbench
