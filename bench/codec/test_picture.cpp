#include "bench/codec/test_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace codecbench {
namespace {

struct Rgb {
  float r, g, b;
};

Rgb mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb scale(Rgb c, float k) {
  return {c.r * k, c.g * k, c.b * k};
}

std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
  std::uint32_t h = x * 0x8da6b343U ^ y * 0xd8163841U ^ seed * 0xcb1ab31fU;
  h ^= h >> 13;
  h *= 0x5bd1e995U;
  return h ^ (h >> 15);
}

float unit(std::uint32_t h) {
  return static_cast<float>(h & 0xFFFF) / 65535.0F;
}

// Smoothly interpolated lattice noise in 0..1 with cells `period` pixels wide.
float valueNoise(float x, float y, float period, std::uint32_t seed) {
  const float fx = x / period, fy = y / period;
  const auto ix = static_cast<std::uint32_t>(fx), iy = static_cast<std::uint32_t>(fy);
  float tx = fx - static_cast<float>(ix), ty = fy - static_cast<float>(iy);
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const float a = unit(hash(ix, iy, seed)), b = unit(hash(ix + 1, iy, seed));
  const float c = unit(hash(ix, iy + 1, seed)), d = unit(hash(ix + 1, iy + 1, seed));
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

struct Scene {
  float w, h, texel;  // texel: texture scale, so small pictures are not pure noise

  Rgb background(float u, float v, float x, float y) const {
    Rgb sky = mix({60, 110, 190}, {235, 190, 150}, v);
    const float clouds =
        valueNoise(x, y, 40 * texel, 1) * 0.6F + valueNoise(x, y, 12 * texel, 2) * 0.4F;
    sky = mix(sky, {245, 245, 250}, std::clamp((clouds - 0.45F) * 1.6F, 0.0F, 0.7F) * (1 - v));
    // Foliage and flowers in the lower half: many hues in fine detail, the
    // hardest part for a 256-colour palette.
    const float leaves = valueNoise(x, y, 5 * texel, 4), hue = valueNoise(x, y, 23 * texel, 5);
    const Rgb plant = mix(mix({40, 120, 35}, {150, 170, 40}, hue), {220, 60, 120},
                          std::clamp((valueNoise(x, y, 9 * texel, 6) - 0.7F) * 4, 0.0F, 1.0F));
    sky = mix(sky, scale(plant, 0.5F + leaves), std::clamp((v - 0.45F) * 4, 0.0F, 1.0F));
    // A hard-edged diagonal band, like a door frame behind the subject.
    if (std::fabs((u - 0.15F) - (v - 0.2F) * 0.3F) < 0.04F) sky = {120, 80, 45};
    return sky;
  }

  bool face(float u, float v, Rgb& out, float x, float y) const {
    const float du = (u - 0.5F) / 0.17F, dv = (v - 0.42F) / 0.26F;
    const float r2 = du * du + dv * dv;
    if (r2 > 1) return false;
    const float light = 0.72F + 0.28F * std::cos(std::sqrt(r2) * 1.4F) - 0.12F * du;
    const float pores = valueNoise(x, y, 3 * texel, 3) * 0.06F;
    out = scale({224, 172, 140}, light + pores);
    // Eyes: small dark ellipses with hard edges.
    for (float ex : {-0.38F, 0.38F}) {
      const float eu = (du - ex) / 0.16F, ev = (dv + 0.18F) / 0.07F;
      if (eu * eu + ev * ev < 1)
        out = eu * eu + ev * ev < 0.3F ? Rgb{30, 25, 20} : Rgb{235, 235, 230};
    }
    return true;
  }

  bool clothes(float u, float v, Rgb& out, float x) const {
    if (v < 0.7F || std::fabs(u - 0.5F) > 0.35F - (1 - v) * 0.4F) return false;
    const bool stripe = std::fmod(x / (6 * texel), 2.0F) < 1.0F;
    out = stripe ? Rgb{30, 45, 110} : Rgb{200, 40, 50};
    out = scale(out, 0.8F + 0.2F * v);
    return true;
  }

  bool balls(float u, float v, Rgb& out) const {
    static constexpr struct {
      float u, v, r;
      Rgb c;
    } kBalls[] = {{0.85F, 0.25F, 0.06F, {240, 200, 30}},
                  {0.8F, 0.7F, 0.08F, {40, 170, 70}},
                  {0.12F, 0.8F, 0.05F, {150, 60, 180}}};
    for (const auto& b : kBalls) {
      const float du = (u - b.u) / b.r, dv = (v - b.v) / b.r * (h / w);
      const float r2 = du * du + dv * dv;
      if (r2 > 1) continue;
      const float spec =
          std::max(0.0F, 1 - ((du + 0.4F) * (du + 0.4F) + (dv + 0.4F) * (dv + 0.4F)) * 4);
      out = mix(scale(b.c, 0.55F + 0.45F * (1 - r2)), {255, 255, 255}, spec * 0.8F);
      return true;
    }
    return false;
  }

  Rgb pixel(int px, int py) const {
    const float x = static_cast<float>(px), y = static_cast<float>(py);
    const float u = x / w, v = y / h;
    Rgb c{};
    if (!balls(u, v, c) && !clothes(u, v, c, x) && !face(u, v, c, x, y)) c = background(u, v, x, y);
    const float grain =
        (unit(hash(static_cast<std::uint32_t>(px), static_cast<std::uint32_t>(py), 9)) - 0.5F) * 6;
    return {c.r + grain, c.g + grain, c.b + grain};
  }
};

std::uint8_t toByte(float v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0.0F, 255.0F) + 0.5F);
}

}  // namespace

imaging::RgbImage makeTestPicture(int width, int height) {
  imaging::RgbImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(image.rowBytes() * static_cast<std::size_t>(height));
  const Scene scene{static_cast<float>(width), static_cast<float>(height),
                    std::max(1.0F, static_cast<float>(width) / 640.0F)};
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image.row(y);
    for (int x = 0; x < width; ++x) {
      const Rgb c = scene.pixel(x, y);
      row[3 * x] = toByte(c.r);
      row[3 * x + 1] = toByte(c.g);
      row[3 * x + 2] = toByte(c.b);
    }
  }
  return image;
}

}  // namespace codecbench
