#pragma once
// The picture-clip component: holds a source picture and a clip rectangle in
// whole pixels and hands out the pixels under the rectangle as a new picture,
// unscaled.

#include "platform/picture/picture.h"

namespace picture {

class PictureClip {
 public:
  void setPicture(Picture source) { source_ = std::move(source); }
  const Picture& picture() const { return source_; }

  void setClipX(int x) { x_ = x; }
  void setClipY(int y) { y_ = y; }
  void setClipWidth(int width) { width_ = width; }
  void setClipHeight(int height) { height_ = height; }
  int clipX() const { return x_; }
  int clipY() const { return y_; }
  int clipWidth() const { return width_; }
  int clipHeight() const { return height_; }

  // Exactly clip width × clip height pixels; the part of the rectangle
  // outside the source is black, and an indexed source keeps its palette.
  // No bitmap when there is no source, a side is not positive, or the size
  // is beyond the limits of surface.h.
  Picture clip() const;

 private:
  Picture source_;
  int x_ = 0;
  int y_ = 0;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace picture
