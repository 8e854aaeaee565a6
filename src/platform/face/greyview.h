#pragma once
// An 8-bit grey QImage seen by dlib's image algorithms in place: dlib reads
// any type that answers its generic image questions (rows, columns, the
// pixels and the bytes per row), so the detector and the landmark model run
// on the QImage's own pixels with no copy into a dlib array.
//
// Read only: dlib's algorithms take their input as const and never resize it.

#include <dlib/image_processing/generic_image.h>

#include <QImage>

namespace face {

class GreyView {
 public:
  // `grey` must be Format_Grayscale8 and outlive the view.
  explicit GreyView(const QImage& grey) : image_(&grey) {
    Q_ASSERT(grey.format() == QImage::Format_Grayscale8);
  }
  const QImage& image() const { return *image_; }

 private:
  const QImage* image_;
};

// dlib's generic image interface, found by argument-dependent lookup.
inline long num_rows(const GreyView& view) {
  return view.image().height();
}
inline long num_columns(const GreyView& view) {
  return view.image().width();
}
inline long width_step(const GreyView& view) {
  return view.image().bytesPerLine();
}
inline const void* image_data(const GreyView& view) {
  return view.image().constBits();
}

}  // namespace face

namespace dlib {
template <>
struct image_traits<face::GreyView> {
  using pixel_type = unsigned char;
};
}  // namespace dlib
