#include "rules/faceplacement.h"

#include <QLineF>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "rules/numbers.h"

namespace rules {
namespace {

bool usable(const face::FoundFace& face) {
  const auto finite = [](QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); };
  return face.box.isValid() && finite(face.leftEye) && finite(face.rightEye);
}

QPointF eyeMidpoint(const face::FoundFace& face) {
  return (face.leftEye + face.rightEye) / 2;
}

double eyeDistance(const face::FoundFace& face) {
  return QLineF(face.leftEye, face.rightEye).length();
}

std::optional<FaceAdvice> sizeAdvice(const face::FoundFace& face, const FrameRect& frame) {
  // A frame of no size has no face that suits it: say nothing rather than nonsense.
  if (!(frame.width > 0 && frame.height > 0)) return std::nullopt;
  const EyeDistanceRange suits = suitableEyeDistances(frame.width, frame.height);
  const double distance = eyeDistance(face);
  if (distance < suits.shortest) return FaceAdvice::MoveCloser;
  if (distance > suits.longest) return FaceAdvice::MoveBack;
  return std::nullopt;
}

QString sentence(FaceAdvice advice) {
  switch (advice) {
    case FaceAdvice::NoFace:
      return QStringLiteral("Yüz bulunamadı; çerçeveyi elle yerleştirin.");
    case FaceAdvice::MoveCloser:
      return QStringLiteral("Öğrenci kameraya yaklaşmalı");
    case FaceAdvice::MoveBack:
      return QStringLiteral("Öğrenci kameradan uzaklaşmalı");
    case FaceAdvice::HeadTilted:
      return QStringLiteral("Baş eğik");
  }
  return {};
}

}  // namespace

EyeDistanceRange suitableEyeDistances(double frameWidth, double frameHeight) {
  const double longestForHeight = kEyeDistancePerHeadHeight * kLargestHeadShare * frameHeight;
  const double longestForWidth = frameWidth / kHeadWidthPerEyeDistance;
  const double longest = std::min(longestForHeight, longestForWidth);
  const double shortest = kEyeDistancePerHeadHeight * kSmallestHeadShare * frameHeight;
  return {std::min(shortest, longest), longest};
}

double faceWeight(const face::FoundFace& face, const QRectF& seen) {
  const double halfDiagonal = QLineF(seen.topLeft(), seen.bottomRight()).length() / 2;
  const double offCentre = QLineF(face.box.center(), seen.center()).length();
  const double farness = halfDiagonal > 0 ? std::min(1.0, offCentre / halfDiagonal) : 1.0;
  return face.box.width() * face.box.height() * (1.0 - farness / 2);
}

std::optional<std::size_t> chosenFace(const std::vector<face::FoundFace>& faces,
                                      const QRectF& seen) {
  std::optional<std::size_t> best;
  double bestWeight = 0;
  for (std::size_t i = 0; i < faces.size(); ++i) {
    if (!usable(faces[i])) continue;
    const double weight = faceWeight(faces[i], seen);
    if (!best || weight > bestWeight) {
      best = i;
      bestWeight = weight;
    }
  }
  return best;
}

FacePlacement placeOnFace(const std::vector<face::FoundFace>& faces, QSize photo, QSize box,
                          const FrameRect& frame) {
  const QRectF seen(QPointF(0, 0), QSizeF(photo.boundedTo(box)));
  const std::optional<std::size_t> chosen = chosenFace(faces, seen);
  if (!chosen) return {std::nullopt, {FaceAdvice::NoFace}};

  const face::FoundFace& face = faces[*chosen];
  const QPointF eyes = eyeMidpoint(face);
  // Whole pixels, as the boxes show them; then the bounds the boxes apply.
  const auto left = static_cast<float>(roundHalfToEven(eyes.x() - frame.width / 2.0));
  const auto top =
      static_cast<float>(roundHalfToEven(eyes.y() - kEyeLineFromTop * double(frame.height)));
  FacePlacement placed;
  placed.topLeft = QPointF(startInsideBox(left, frame.width, box.width()),
                           startInsideBox(top, frame.height, box.height()));
  if (const auto size = sizeAdvice(face, frame)) placed.advice.push_back(*size);
  if (std::abs(face.tiltDegrees) > kLargestTiltDegrees)
    placed.advice.push_back(FaceAdvice::HeadTilted);
  return placed;
}

QString adviceLine(const std::vector<FaceAdvice>& advice) {
  QStringList sentences;
  for (FaceAdvice each : advice) sentences << sentence(each);
  return sentences.join(QStringLiteral(". "));
}

}  // namespace rules
