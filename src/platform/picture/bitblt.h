#pragma once
// Copying a rectangle from one device context into a memory context.

#include <cstdint>

#include "platform/picture/devicecontext.h"

namespace picture {

inline constexpr std::uint32_t SRCCOPY = 0xCC0020;

// Copies the `width` × `height` rectangle of `source` at (`sourceX`,
// `sourceY`) into `target` at (`x`, `y`). Where the rectangle leaves the
// source the copy is black. Only SRCCOPY is offered; false (and `target`
// unchanged) for any other operation, for a target that is not a memory
// context with a bitmap, or for an empty rectangle.
bool BitBlt(DeviceContext& target, int x, int y, int width, int height, const DeviceContext& source,
            int sourceX, int sourceY, std::uint32_t rasterOperation);

}  // namespace picture
