#include "platform/imaging/gif_writer.h"

#include <gif_lib.h>

#include <memory>
#include <new>

namespace imaging {
namespace {

int writeToVector(GifFileType* gif, const GifByteType* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  try {
    out->insert(out->end(), data, data + size);
  } catch (const std::bad_alloc&) {
    return 0;  // giflib reports a failed write; no exception crosses C code
  }
  return size;
}

struct MapFree {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using MapHandle = std::unique_ptr<ColorMapObject, MapFree>;

// Closing writes the trailer, so success is judged by the close.
class Encoder {
 public:
  explicit Encoder(std::vector<std::uint8_t>& out) {
    int error = 0;
    gif_ = EGifOpen(&out, writeToVector, &error);
    if (gif_) EGifSetGifVersion(gif_, true);
  }
  ~Encoder() { close(); }
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  GifFileType* get() const { return gif_; }
  bool close() {
    if (!gif_) return false;
    int error = 0;
    const bool ok = EGifCloseFile(gif_, &error) == GIF_OK;
    gif_ = nullptr;
    return ok;
  }

 private:
  GifFileType* gif_ = nullptr;
};

MapHandle makeMap(const std::vector<Rgb>& palette) {
  int size = 2;
  while (size < static_cast<int>(palette.size())) size *= 2;
  MapHandle map(GifMakeMapObject(size, nullptr));
  if (!map) return map;
  for (int i = 0; i < size; ++i) {
    const Rgb c = i < static_cast<int>(palette.size()) ? palette[i] : Rgb{0, 0, 0};
    map->Colors[i] = {c[0], c[1], c[2]};
  }
  return map;
}

bool writeImage(GifFileType* gif, const IndexedImage& image, const ColorMapObject* map) {
  if (EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_ERROR) return false;
  if (EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_ERROR)
    return false;
  for (int y = 0; y < image.height; ++y) {
    auto* row =
        const_cast<GifPixelType*>(image.indices.data() + static_cast<std::size_t>(y) * image.width);
    if (EGifPutLine(gif, row, image.width) == GIF_ERROR) return false;
  }
  return true;
}

}  // namespace

Result<std::vector<std::uint8_t>> encodeGif(const IndexedImage& image) {
  // GIF sides are 16-bit; the reader limits keep every picture within them.
  if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535 ||
      image.palette.empty() || image.palette.size() > 256)
    return ImageError::TooLarge;
  std::vector<std::uint8_t> out;
  MapHandle map = makeMap(image.palette);
  Encoder encoder(out);
  if (!map || !encoder.get()) return ImageError::TooLarge;
  const bool written = writeImage(encoder.get(), image, map.get());
  if (!encoder.close() || !written) return ImageError::TooLarge;
  return out;
}

Result<std::vector<std::uint8_t>> encodeGif(const RgbImage& image, const QuantizeOptions& options) {
  try {
    return encodeGif(quantize(image, options));
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
}

}  // namespace imaging
