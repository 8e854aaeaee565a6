// Mapping pixels onto a palette: nearest colour by a search over the palette
// sorted by brightness, with Floyd-Steinberg error diffusion when asked.

#include <algorithm>
#include <cstdlib>

#include "platform/imaging/quantizer.h"

namespace imaging {
namespace {

int keyOf(const Rgb& c) {
  return c[0] + c[1] + c[2];
}

// |Δ(r+g+b)|² ≤ 3·|Δ|², so once the key gap alone says a colour is farther
// than the best so far, every colour beyond it on that side is too.
class NearestColour {
 public:
  explicit NearestColour(const std::vector<Rgb>& sorted) : palette_(sorted) {
    for (const Rgb& c : sorted) keys_.push_back(keyOf(c));
  }

  int find(int r, int g, int b) const {
    const int key = r + g + b;
    const int n = static_cast<int>(palette_.size());
    int hi = static_cast<int>(std::lower_bound(keys_.begin(), keys_.end(), key) - keys_.begin());
    int lo = hi - 1;
    int best = hi < n ? hi : lo;
    int bestD = distance(best, r, g, b);
    while (lo >= 0 || hi < n) {
      if (hi < n) {
        const int gap = keys_[hi] - key;
        if (gap * gap >= 3 * bestD) {
          hi = n;
        } else {
          consider(hi++, r, g, b, best, bestD);
        }
      }
      if (lo >= 0) {
        const int gap = key - keys_[lo];
        if (gap * gap >= 3 * bestD) {
          lo = -1;
        } else {
          consider(lo--, r, g, b, best, bestD);
        }
      }
    }
    return best;
  }

 private:
  int distance(int i, int r, int g, int b) const {
    const Rgb& c = palette_[i];
    return (c[0] - r) * (c[0] - r) + (c[1] - g) * (c[1] - g) + (c[2] - b) * (c[2] - b);
  }
  void consider(int i, int r, int g, int b, int& best, int& bestD) const {
    const int d = distance(i, r, g, b);
    if (d < bestD) bestD = d, best = i;
  }

  const std::vector<Rgb>& palette_;
  std::vector<int> keys_;
};

void mapPlain(const RgbImage& image, const NearestColour& nearest, IndexedImage& out) {
  for (std::size_t i = 0, o = 0; o < out.indices.size(); i += 3, ++o) {
    const std::uint8_t* p = &image.pixels[i];
    out.indices[o] = static_cast<std::uint8_t>(nearest.find(p[0], p[1], p[2]));
  }
}

// Serpentine Floyd-Steinberg; errors carried in whole numbers scaled by 16.
void mapDithered(const RgbImage& image, const NearestColour& nearest, IndexedImage& out) {
  const int w = image.width;
  std::vector<int> current((w + 2) * 3, 0), next((w + 2) * 3, 0);
  for (int y = 0; y < image.height; ++y) {
    const bool forward = (y % 2) == 0;
    const int dir = forward ? 1 : -1;
    std::fill(next.begin(), next.end(), 0);
    const std::uint8_t* row = image.row(y);
    for (int i = 0; i < w; ++i) {
      const int x = forward ? i : w - 1 - i;
      int want[3];
      for (int c = 0; c < 3; ++c)
        want[c] = std::clamp(row[x * 3 + c] + (current[(x + 1) * 3 + c] + 8) / 16, 0, 255);
      const int index = nearest.find(want[0], want[1], want[2]);
      out.indices[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(index);
      const Rgb& got = out.palette[index];
      for (int c = 0; c < 3; ++c) {
        const int e = want[c] - got[c];
        current[(x + 1 + dir) * 3 + c] += e * 7;
        next[(x + 1 - dir) * 3 + c] += e * 3;
        next[(x + 1) * 3 + c] += e * 5;
        next[(x + 1 + dir) * 3 + c] += e;
      }
    }
    std::swap(current, next);
  }
}

}  // namespace

IndexedImage remapToPalette(const RgbImage& image, std::vector<Rgb> palette, bool dither) {
  std::sort(palette.begin(), palette.end(),
            [](const Rgb& a, const Rgb& b) { return keyOf(a) < keyOf(b); });
  IndexedImage out;
  out.width = image.width;
  out.height = image.height;
  out.palette = std::move(palette);
  out.indices.assign(static_cast<std::size_t>(image.width) * image.height, 0);
  const NearestColour nearest(out.palette);
  if (dither)
    mapDithered(image, nearest, out);
  else
    mapPlain(image, nearest, out);
  return out;
}

}  // namespace imaging
