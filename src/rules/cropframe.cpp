#include "rules/cropframe.h"

#include <algorithm>

#include "rules/numbers.h"

namespace rules {

std::optional<FrameRect> movedFrame(const FrameRect& frame, int direction, double step, QSize box) {
  FrameRect moved = frame;
  switch (direction) {
    case MoveUp:
      moved.top = static_cast<float>(frame.top - step);
      break;
    case MoveDown:
      moved.top = static_cast<float>(frame.top + step);
      break;
    case MoveLeft:
      moved.left = static_cast<float>(frame.left - step);
      break;
    case MoveRight:
      moved.left = static_cast<float>(frame.left + step);
      break;
    case MoveCentre: {
      // Integer division: truncates toward zero, also for a frame wider than the box.
      const int spareWidth = roundHalfToEven(box.width() - double(frame.width));
      const int spareHeight = roundHalfToEven(box.height() - double(frame.height));
      moved.left = static_cast<float>(spareWidth / 2);  // NOLINT(bugprone-integer-division)
      moved.top = static_cast<float>(spareHeight / 2);  // NOLINT(bugprone-integer-division)
      break;
    }
    default:
      return std::nullopt;
  }
  return moved;
}

bool passesFarEdge(float start, float size, int limit) {
  const float farEdge = size + start + 5.0f;
  return farEdge > static_cast<float>(limit);
}

float farEdgeStart(float size, int limit) {
  const float start = static_cast<float>(limit) - size - 5.0f;
  return start > 0 ? start : 0.0f;
}

float startInsideBox(float start, float size, int limit) {
  const float nearBound = start < 0 ? 0.0f : start;
  return passesFarEdge(nearBound, size, limit) ? farEdgeStart(size, limit) : nearBound;
}

QRect frameGeometry(const FrameRect& frame) {
  // The frame keeps whatever was typed, but the label that draws it must fit
  // a QRect (whose right edge is left + width - 1 in an int): far beyond any
  // screen the drawing is cut, never the arithmetic overflowed.
  static constexpr int kDrawLimit = 1 << 24;
  const auto coordinate = [](float v) {
    return std::clamp(roundHalfToEven(v), -kDrawLimit, kDrawLimit);
  };
  const auto extent = [](float v) { return std::clamp(roundHalfToEven(v), 0, kDrawLimit); };
  return QRect(coordinate(frame.left), coordinate(frame.top), extent(frame.width),
               extent(frame.height));
}

DragPoint dragPoint(double xPixels, double yPixels) {
  return {xPixels, roundHalfToEven(yPixels)};
}

}  // namespace rules
