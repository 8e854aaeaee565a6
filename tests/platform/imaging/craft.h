#pragma once
// Builders for the picture files the codec tests feed in: BMP files of every
// header and pixel layout, raw GIF files written byte by byte (so that damaged
// and unusual ones can be made), and a deterministic photographic picture.

#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/imaging/image.h"

namespace craft {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
inline void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// A BMP file from its parts. Pixel rows are given in file order, already
// padded (or not, to make damaged files).
struct Bmp {
  std::uint32_t headerSize = 40;  // 12, 40, 52, 56, 108, 124
  std::int32_t width = 1;
  std::int32_t height = 1;  // negative: top-down
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
  std::array<std::uint32_t, 4> masks{};              // written when compression is 3 or 6
  std::vector<std::array<std::uint8_t, 3>> palette;  // RGB
  Bytes pixels;
  std::int64_t pixelOffset = -1;  // -1: right after the palette

  Bytes build() const {
    Bytes h;
    const bool core = headerSize == 12;
    const bool masksAfter = headerSize == 40 && (compression == 3 || compression == 6);
    const std::size_t maskBytes = masksAfter ? (compression == 6 ? 16 : 12) : 0;
    const std::size_t entry = core ? 3 : 4;
    const std::size_t offset = pixelOffset >= 0
                                   ? static_cast<std::size_t>(pixelOffset)
                                   : 14 + headerSize + maskBytes + palette.size() * entry;
    h.push_back('B');
    h.push_back('M');
    put32(h, static_cast<std::uint32_t>(offset + pixels.size()));
    put32(h, 0);
    put32(h, static_cast<std::uint32_t>(offset));
    put32(h, headerSize);
    if (core) {
      put16(h, static_cast<std::uint16_t>(width));
      put16(h, static_cast<std::uint16_t>(height));
      put16(h, 1);
      put16(h, bitCount);
    } else {
      put32(h, static_cast<std::uint32_t>(width));
      put32(h, static_cast<std::uint32_t>(height));
      put16(h, 1);
      put16(h, bitCount);
      put32(h, compression);
      put32(h, static_cast<std::uint32_t>(pixels.size()));
      put32(h, 2835);
      put32(h, 2835);
      put32(h, colorsUsed);
      put32(h, 0);
      for (std::size_t i = 40; i < headerSize; i += 4) {
        const std::size_t m = (i - 40) / 4;
        put32(h, m < 4 ? masks[m] : 0);
      }
    }
    for (std::size_t i = 0; i < maskBytes / 4; ++i) put32(h, masks[i]);
    for (const auto& c : palette) {
      h.push_back(c[2]);
      h.push_back(c[1]);
      h.push_back(c[0]);
      if (!core) h.push_back(0);
    }
    h.resize(offset, 0);
    h.insert(h.end(), pixels.begin(), pixels.end());
    return h;
  }
};

// GIF written by hand. LZW data is literal codes only, which every decoder
// takes whatever its table holds; `clearEvery` 0 never clears, so the table
// fills up and stays full (a "deferred clear").
struct Gif {
  int screenWidth = 1, screenHeight = 1;
  int left = 0, top = 0, width = 1, height = 1;
  std::vector<std::array<std::uint8_t, 3>> palette{{0, 0, 0}, {255, 255, 255}};  // power of two
  int transparentIndex = -1;
  int minCodeSize = 2;
  int clearEvery = 0;
  std::vector<std::uint8_t> indices;  // width * height

  Bytes build() const {
    Bytes b{'G', 'I', 'F', '8', '9', 'a'};
    put16(b, screenWidth);
    put16(b, screenHeight);
    int bits = 0;
    while ((1u << (bits + 1)) < palette.size()) ++bits;
    b.push_back(static_cast<std::uint8_t>(0x80 | 0x70 | bits));
    b.push_back(0);
    b.push_back(0);
    for (const auto& c : palette) b.insert(b.end(), c.begin(), c.end());
    if (transparentIndex >= 0) {
      const Bytes gce{0x21, 0xF9, 4, 1, 0, 0, static_cast<std::uint8_t>(transparentIndex), 0};
      b.insert(b.end(), gce.begin(), gce.end());
    }
    b.push_back(0x2C);
    put16(b, left);
    put16(b, top);
    put16(b, width);
    put16(b, height);
    b.push_back(0);
    b.push_back(static_cast<std::uint8_t>(minCodeSize));
    const Bytes data = lzw();
    for (std::size_t i = 0; i < data.size(); i += 255) {
      const std::size_t n = std::min<std::size_t>(255, data.size() - i);
      b.push_back(static_cast<std::uint8_t>(n));
      b.insert(b.end(), data.begin() + i, data.begin() + i + n);
    }
    b.push_back(0);
    b.push_back(0x3B);
    return b;
  }

 private:
  Bytes lzw() const {
    Bytes out;
    std::uint32_t acc = 0;
    int accBits = 0;
    auto putCode = [&](int code, int width) {
      acc |= static_cast<std::uint32_t>(code) << accBits;
      accBits += width;
      while (accBits >= 8) {
        out.push_back(acc & 0xFF);
        acc >>= 8;
        accBits -= 8;
      }
    };
    const int clear = 1 << minCodeSize, eoi = clear + 1;
    int width = minCodeSize + 1, next = eoi + 1, sinceClear = 0;
    putCode(clear, width);
    for (std::size_t i = 0; i < indices.size(); ++i) {
      if (clearEvery && sinceClear == clearEvery) {
        putCode(clear, width);
        width = minCodeSize + 1, next = eoi + 1, sinceClear = 0;
      }
      putCode(indices[i], width);
      if (sinceClear++ > 0 && next < 4096) {
        ++next;
        if (next == (1 << width) && width < 12) ++width;
      }
    }
    putCode(eoi, width);
    if (accBits) out.push_back(acc & 0xFF);
    return out;
  }
};

// Smooth lighting, a few soft objects, fine texture and sensor noise: close
// enough to a photograph for palette and dithering measurements.
inline imaging::RgbImage photo(int w, int h) {
  imaging::RgbImage img{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 3)};
  std::uint32_t seed = 12345;
  auto noise = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 24) % 9) - 4;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double u = double(x) / w, v = double(y) / h;
      const double sky = 1.0 - v;
      const double blob = std::exp(-((u - 0.6) * (u - 0.6) + (v - 0.5) * (v - 0.5)) * 12);
      const double texture = 0.5 + 0.5 * std::sin(x * 0.21) * std::cos(y * 0.17);
      double r = 40 + 150 * sky * 0.4 + 180 * blob + 20 * texture;
      double g = 60 + 120 * sky * 0.7 + 110 * blob * u + 25 * texture;
      double b = 80 + 160 * sky + 40 * blob * v + 15 * texture;
      std::uint8_t* p = img.row(y) + x * 3;
      p[0] = static_cast<std::uint8_t>(std::clamp(r + noise(), 0.0, 255.0));
      p[1] = static_cast<std::uint8_t>(std::clamp(g + noise(), 0.0, 255.0));
      p[2] = static_cast<std::uint8_t>(std::clamp(b + noise(), 0.0, 255.0));
    }
  }
  return img;
}

inline double psnr(const imaging::RgbImage& a, const imaging::RgbImage& b) {
  if (a.pixels.size() != b.pixels.size() || a.pixels.empty()) return 0;
  double sum = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    const double d = double(a.pixels[i]) - b.pixels[i];
    sum += d * d;
  }
  if (sum == 0) return 99;
  return 10 * std::log10(255.0 * 255.0 / (sum / a.pixels.size()));
}

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A JPEG cut at `keepFraction` of its length and closed again with an end
// marker, as a copy interrupted and "repaired" by some tool leaves it.
inline Bytes cutAndClosed(const Bytes& jpeg, double keepFraction) {
  Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() * keepFraction));
  cut.push_back(0xFF);
  cut.push_back(0xD9);
  return cut;
}

// The headers of a one-component 8 × 8 JPEG with frame marker `sof` (0xC1
// extended sequential, 0xC3 lossless, ...) and `precision` bits per sample,
// up to its first scan: what a decoder reads before it can tell whether it
// decodes such a picture at all.
inline Bytes jpegHeaders(std::uint8_t sof, std::uint8_t precision) {
  return {0xFF, 0xD8,  // start of image
          0xFF, sof,  0x00, 0x0B, precision, 0x00, 0x08, 0x00, 0x08, 0x01, 0x01, 0x11,
          0x00, 0xFF, 0xDA, 0x00, 0x08,      0x01, 0x01, 0x00, 0x00, 0x3F, 0x00,  // start of scan
          0x00, 0x00, 0xFF, 0xD9};
}

}  // namespace craft
