#pragma once
// Where the crop frame goes on a pupil's face after a photo, and what to tell
// the staff when the face does not suit the frame. The frame keeps its size:
// it is centred between the eyes, with the eye line where identity photos
// have it, and then held on the photo by the same bounds as the boxes.
// Plain data in and out: the faces come as the detector found them, the
// detector itself is not seen here.

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

#include "platform/face/facefinder.h"
#include "rules/cropframe.h"

namespace rules {

// The eye line's place in an identity photo: this share of the frame's
// height below its top edge.
inline constexpr double kEyeLineFromTop = 0.45;

// A head rolled further than this, either way, is reported.
inline constexpr double kLargestTiltDegrees = 8.0;

// The eye distances that suit a frame, derived from identity-photo proportions:
// - the head, chin to crown, fills 70-80 % of an identity photo's height (the
//   35 x 45 mm passport photo asks for 32-36 mm of head);
// - the distance between the eye centres is about 0.27 of the head's height,
//   for school children as for adults (about 5.5 of 20 cm, 6.3 of 23 cm);
// - the head's width, ears included, is about 2.6 eye distances.
// So the 105 x 120 frame is best served by eyes about 0.27 x 0.75 x 120 = 24
// pixels apart. Advice is given only when the face is clearly off: a head
// under 60 % of the frame's height is visibly small, well under the norm's
// 70 %; above 90 %, with the eye line at 45 % and the eyes halfway down the
// head, the crown leaves the frame. A frame too narrow for such a head lowers
// the upper end to what its width holds.
inline constexpr double kEyeDistancePerHeadHeight = 0.27;
inline constexpr double kHeadWidthPerEyeDistance = 2.6;
inline constexpr double kSmallestHeadShare = 0.60;
inline constexpr double kLargestHeadShare = 0.90;

struct EyeDistanceRange {
  double shortest = 0;
  double longest = 0;
  friend bool operator==(const EyeDistanceRange&, const EyeDistanceRange&) = default;
};
// The eye distances, in pixels, that suit a frame of this size.
EyeDistanceRange suitableEyeDistances(double frameWidth, double frameHeight);

// How much a face counts when a photo holds several: its box's area, less
// for each step away from the middle of the part of the photo that is seen,
// down to half of it in the far corner. A pupil in front of the camera wins
// over a classmate at the edge unless the classmate's face is more than
// twice as large, which in practice means much nearer the camera.
double faceWeight(const face::FoundFace& face, const QRectF& seen);
// The face the frame goes on: the one that weighs most (the first of equals);
// none when there is no usable face (an empty box or eyes at no number).
std::optional<std::size_t> chosenFace(const std::vector<face::FoundFace>& faces,
                                      const QRectF& seen);

enum class FaceAdvice { NoFace, MoveCloser, MoveBack, HeadTilted };

struct FacePlacement {
  // The frame's new top-left corner; none when no face was found.
  std::optional<QPointF> topLeft;
  // What to tell the staff, most important first; empty when all is well.
  std::vector<FaceAdvice> advice;
};

// Places `frame` (its size kept) on the chosen face of a photo of `photo`
// size shown unscaled at the top-left of a photo box of outer size `box`,
// whose bounds keepFrameInPicture applies.
FacePlacement placeOnFace(const std::vector<face::FoundFace>& faces, QSize photo, QSize box,
                          const FrameRect& frame);

// The line shown under the photo: the advice in order, as sentences; empty
// for none.
QString adviceLine(const std::vector<FaceAdvice>& advice);

}  // namespace rules
