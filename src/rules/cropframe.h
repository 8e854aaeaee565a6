#pragma once
// The crop frame's arithmetic, without any widget: moving it with the move
// pad, the bounds that keep it on the photo, how it is drawn and how a drag
// keeps the pointer's place in it.

#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>

namespace rules {

// Label5's Left, Top, Width and Height in pixels inside Picture2, kept in
// single precision as the boxes' rules set them.
struct FrameRect {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
  friend bool operator==(const FrameRect&, const FrameRect&) = default;
};

// Direction codes of the move pad.
enum MoveDirection : std::int16_t {
  MoveUp = 0,
  MoveDown = 1,
  MoveLeft = 2,
  MoveRight = 3,
  MoveCentre = 4
};

// The frame after one move by `step` (or centred in a box of `box` outer
// size), before the bounds are applied; nothing for an unknown direction.
std::optional<FrameRect> movedFrame(const FrameRect& frame, int direction, double step, QSize box);

// The frame's far edge, 5 pixels of margin included, lies past `limit`.
bool passesFarEdge(float start, float size, int limit);

// Where a frame of `size` starts so that its far edge plus the margin meets
// `limit`. A frame too large for the box starts at 0: the near bound wins, so
// the clamping has one answer and ends.
float farEdgeStart(float size, int limit);

// Where keepFrameInPicture leaves a frame's start on one axis: not before 0,
// then pulled back so the far edge and its margin stay within `limit`. Lets a
// rule work out a final place before the boxes' writes bound it again.
float startInsideBox(float start, float size, int limit);

// How the frame is drawn: whole pixels, never a negative size (a width or
// height of 0 or below shows no frame).
QRect frameGeometry(const FrameRect& frame);

// A pointer position inside the frame as the drag rules keep it: the
// horizontal part with its fraction, the vertical part in whole pixels.
struct DragPoint {
  double x = 0;
  std::int32_t y = 0;
};
DragPoint dragPoint(double xPixels, double yPixels);

}  // namespace rules
