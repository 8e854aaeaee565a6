#include "platform/imaging/bmp_view.h"

#include "platform/imaging/bmp_header.h"

namespace imaging {
namespace {

constexpr std::uint32_t kInfoHeader = 40;

bool isPlainBgr24(const BmpLayout& l) {
  return l.bitCount == 24 && l.encoding == BmpEncoding::Rgb && l.headerSize >= kInfoHeader;
}

}  // namespace

Result<std::optional<PixelRows>> viewBgr24Bmp(std::span<const std::uint8_t> file) {
  auto layout = parseBmpHeader(file);
  if (!layout) return layout.error();
  const BmpLayout& l = *layout;
  if (!isPlainBgr24(l)) return std::optional<PixelRows>();
  if (auto present = checkRowsPresent(l, file.size()); !present) return present.error();

  const std::ptrdiff_t stride = rowStride(l);
  const std::uint8_t* first = file.data() + l.pixelOffset;
  PixelRows rows;
  rows.width = static_cast<int>(l.width);
  rows.height = static_cast<int>(l.height);
  rows.order = ChannelOrder::Bgr;
  rows.top = l.topDown ? first : first + stride * (l.height - 1);
  rows.step = l.topDown ? stride : -stride;
  return std::optional<PixelRows>(rows);
}

}  // namespace imaging
