#pragma once
// A face finder for the workspace tests: it "finds" the faces a test gives
// it, whatever the photo, and keeps the photos it was shown, so a test sees
// when (and on what) the workspace asked.

#include <QImage>
#include <QPointF>
#include <vector>

#include "platform/face/facefinder.h"

namespace testsupport {

class FakeFaceFinder final : public face::FaceFinder {
 public:
  std::vector<face::FoundFace> find(const QImage& photo) override {
    shown.push_back(photo);
    return faces;
  }
  void prepare() override { ++prepared; }

  // What the next calls find.
  std::vector<face::FoundFace> faces;
  // Every photo the finder was asked about, in order.
  std::vector<QImage> shown;
  // How often placement was switched on (at start-up or by the check box).
  int prepared = 0;
};

// A level face with its eyes `eyeDistance` apart around `eyes`, in the box a
// detector would draw around it.
inline face::FoundFace levelFace(QPointF eyes, double eyeDistance = 24, double tilt = 0) {
  face::FoundFace f;
  f.leftEye = eyes - QPointF(eyeDistance / 2, 0);
  f.rightEye = eyes + QPointF(eyeDistance / 2, 0);
  const double side = eyeDistance * 2.2;
  f.box = QRectF(eyes.x() - side / 2, eyes.y() - side * 0.35, side, side);
  f.tiltDegrees = tilt;
  f.fromLandmarks = true;
  return f;
}

}  // namespace testsupport
