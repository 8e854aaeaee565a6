#include "platform/imaging/quantizer.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <unordered_set>

#include "platform/imaging/nearest_centre.h"

namespace imaging {
namespace {

constexpr int kBinBits = 6;
constexpr int kBinsPerChannel = 1 << kBinBits;

struct Bin {
  double c[3];  // mean colour
  double weight;
};

struct Stats {
  double w = 0, sum[3] = {}, sq[3] = {};
  void add(const Bin& b) {
    w += b.weight;
    for (int i = 0; i < 3; ++i) {
      sum[i] += b.c[i] * b.weight;
      sq[i] += b.c[i] * b.c[i] * b.weight;
    }
  }
  double sse(int axis) const { return w > 0 ? sq[axis] - sum[axis] * sum[axis] / w : 0; }
  double sse() const { return sse(0) + sse(1) + sse(2); }
};

struct Box {
  std::size_t begin, end;
  Stats stats;
};

// The accumulators of all 262,144 bins take 8 MB: calloc leaves the pages a
// small picture never touches unmapped, and only the bins met are visited
// afterwards (in bin order, as a full scan would).
std::vector<Bin> histogram(const RgbImage& image) {
  struct Acc {
    std::uint64_t n, s[3];
  };
  struct FreeAcc {
    void operator()(Acc* p) const { std::free(p); }
  };
  constexpr std::size_t kBins = std::size_t{1} << (3 * kBinBits);
  const std::unique_ptr<Acc[], FreeAcc> acc(static_cast<Acc*>(std::calloc(kBins, sizeof(Acc))));
  if (!acc) throw std::bad_alloc();
  std::vector<std::uint32_t> used;
  const int shift = 8 - kBinBits;
  for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
    const std::uint8_t* p = &image.pixels[i];
    const std::uint32_t index =
        ((p[0] >> shift) * kBinsPerChannel + (p[1] >> shift)) * kBinsPerChannel + (p[2] >> shift);
    Acc& a = acc[index];
    if (a.n++ == 0) used.push_back(index);
    for (int c = 0; c < 3; ++c) a.s[c] += p[c];
  }
  std::sort(used.begin(), used.end());
  std::vector<Bin> bins;
  bins.reserve(used.size());
  for (const std::uint32_t index : used) {
    const Acc& a = acc[index];
    const double n = static_cast<double>(a.n);
    bins.push_back({{a.s[0] / n, a.s[1] / n, a.s[2] / n}, n});
  }
  return bins;
}

Stats statsOf(const std::vector<Bin>& bins, std::size_t begin, std::size_t end) {
  Stats s;
  for (std::size_t i = begin; i < end; ++i) s.add(bins[i]);
  return s;
}

int widestAxis(const Stats& s) {
  int axis = 0;
  for (int i = 1; i < 3; ++i)
    if (s.sse(i) > s.sse(axis)) axis = i;
  return axis;
}

// Sorts the box along its widest axis and cuts where the two halves' summed
// squared error is least.
std::size_t bestCut(std::vector<Bin>& bins, const Box& box) {
  const int axis = widestAxis(box.stats);
  std::sort(bins.begin() + box.begin, bins.begin() + box.end,
            [axis](const Bin& a, const Bin& b) { return a.c[axis] < b.c[axis]; });
  Stats left;
  double best = std::numeric_limits<double>::max();
  std::size_t cut = box.begin + 1;
  for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
    left.add(bins[i]);
    Stats right = box.stats;
    right.w -= left.w;
    for (int c = 0; c < 3; ++c) right.sum[c] -= left.sum[c], right.sq[c] -= left.sq[c];
    const double total = left.sse() + right.sse();
    if (total < best) best = total, cut = i + 1;
  }
  return cut;
}

std::vector<Box> medianCut(std::vector<Bin>& bins, int maxColors) {
  std::vector<Box> boxes{{0, bins.size(), statsOf(bins, 0, bins.size())}};
  while (static_cast<int>(boxes.size()) < maxColors) {
    auto worst = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
      const double ea = a.end - a.begin > 1 ? a.stats.sse() : -1;
      const double eb = b.end - b.begin > 1 ? b.stats.sse() : -1;
      return ea < eb;
    });
    if (worst->end - worst->begin < 2) break;
    const Box box = *worst;
    const std::size_t cut = bestCut(bins, box);
    *worst = {box.begin, cut, statsOf(bins, box.begin, cut)};
    boxes.push_back({cut, box.end, statsOf(bins, cut, box.end)});
  }
  return boxes;
}

void refine(const std::vector<Bin>& bins, std::vector<Point3>& centres, int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    std::vector<Stats> sums(centres.size());
    const NearestCentre nearest(centres);
    for (const Bin& b : bins) sums[nearest.find({b.c[0], b.c[1], b.c[2]})].add(b);
    for (std::size_t k = 0; k < centres.size(); ++k)
      if (sums[k].w > 0)
        for (int c = 0; c < 3; ++c) centres[k][c] = sums[k].sum[c] / sums[k].w;
  }
}

std::uint8_t toByte(double v) {
  return static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0));
}

// The distinct colours when there are no more than `limit`, else nothing.
std::vector<Rgb> fewColours(const RgbImage& image, int limit) {
  std::unordered_set<std::uint32_t> seen;
  for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
    const std::uint8_t* p = &image.pixels[i];
    seen.insert((p[0] << 16) | (p[1] << 8) | p[2]);
    if (static_cast<int>(seen.size()) > limit) return {};
  }
  std::vector<Rgb> colours;
  colours.reserve(seen.size());
  for (std::uint32_t v : seen)
    colours.push_back({static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                       static_cast<std::uint8_t>(v)});
  std::sort(colours.begin(), colours.end());
  return colours;
}

}  // namespace

std::vector<Rgb> buildPalette(const RgbImage& image, const QuantizeOptions& options) {
  const int maxColors = std::clamp(options.maxColors, 2, 256);
  if (auto exact = fewColours(image, maxColors); !exact.empty()) return exact;
  std::vector<Bin> bins = histogram(image);
  const std::vector<Box> boxes = medianCut(bins, maxColors);
  std::vector<Point3> centres;
  centres.reserve(boxes.size());
  for (const Box& b : boxes)
    centres.push_back(
        {b.stats.sum[0] / b.stats.w, b.stats.sum[1] / b.stats.w, b.stats.sum[2] / b.stats.w});
  refine(bins, centres, options.refinePasses);
  std::vector<Rgb> palette;
  palette.reserve(centres.size());
  for (const auto& c : centres) palette.push_back({toByte(c[0]), toByte(c[1]), toByte(c[2])});
  return palette;
}

IndexedImage quantize(const RgbImage& image, const QuantizeOptions& options) {
  return remapToPalette(image, buildPalette(image, options), options.dither);
}

}  // namespace imaging
