#pragma once
// The face evaluation set, composed deterministically from pictures that
// Debian packages install (nothing of theirs is kept in this repository):
// hand-marked photographs placed at known scales and offsets into 320 × 240
// photos, the 25 × 25 faces and non-faces of scikit-image's LFW subset, and
// face-free pictures (textures, objects, the synthetic camera's pattern).

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/base/expected.h"

namespace faceeval {

inline constexpr int kPhotoWidth = 320;
inline constexpr int kPhotoHeight = 240;

struct Photo {
  QString name;
  QImage image;
  // Photographs: where the eyes are.
  std::optional<QPointF> leftEye, rightEye;
  // LFW faces (no marked eyes): the pasted face, where a found face's eye
  // midpoint must fall.
  std::optional<QRectF> faceArea;
  // False for the LFW faces marked as turned or tilted in lfw_poses.csv.
  bool frontal = true;
  bool hasFace() const { return leftEye || faceArea; }
};

struct Set {
  std::vector<Photo> photographs;  // hand-marked eyes
  std::vector<Photo> lfwFaces;
  std::vector<Photo> nonFaces;
  QStringList missing;  // packages not installed, for the skip message
};

// Everything the installed packages give; `tables` is the folder of the
// hand-made tables (eyes.csv, lfw_poses.csv).
Set compose(const QString& tables);

// A 320 × 240 photo of `source`'s `region` scaled by `scale` about the
// source point `anchor`, which lands at `at`; mid-grey where nothing falls.
QImage placed(const QImage& source, const QRect& region, QPointF anchor, double scale, QPointF at);

// The numbers of a little-endian float64 or uint8 .npy file with its shape.
struct NpyArray {
  std::vector<long> shape;
  std::vector<double> values;
};
base::Expected<NpyArray, QString> readNpy(const QString& path);

}  // namespace faceeval
