#pragma once
// Finding pupils' faces in a taken photo, so the crop frame can be placed on
// one. The windows see only this interface: the detector behind it (and
// whether a landmark model is installed) is chosen when the program starts,
// and tests hand in their own.

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <memory>
#include <optional>
#include <vector>

namespace face {

struct FoundFace {
  // The detector's box around the face, in the photo's pixels.
  QRectF box;
  // The centres of the eyes as they appear in the photo (left: the one with
  // the smaller x). From the landmark model when it is installed, otherwise
  // estimated from the box.
  QPointF leftEye;
  QPointF rightEye;
  // The lowest point of the chin, known only with the landmark model.
  std::optional<QPointF> chin;
  // The head's roll in degrees, from the eye line; 0 when estimated from
  // the box alone.
  double tiltDegrees = 0;
  // True when the eyes, the chin and the tilt come from the landmark model.
  bool fromLandmarks = false;
};

class FaceFinder {
 public:
  virtual ~FaceFinder() = default;
  // Every frontal face in `photo`, in no particular order; none found is an
  // empty list. Called on the user-interface thread, after each photo.
  virtual std::vector<FoundFace> find(const QImage& photo) = 0;
  // Placement was switched on: get ready (a detector may have a model to
  // read), so the next photo does not wait. Finding works without it.
  virtual void prepare() {}
};

}  // namespace face
