#include "platform/face/dlibfacefinder.h"

#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/image_processing/shape_predictor.h>

#include <QLoggingCategory>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <future>
#include <mutex>
#include <numbers>

#include "platform/face/greyview.h"

namespace face {
namespace {

Q_LOGGING_CATEGORY(lcFace, "tandeo.face", QtWarningMsg)

// The crop frame (105 × 120 by default) suits a face whose eyes are about 30
// pixels apart; every face from there up must be found.
constexpr double kSmallestEyeDistance = 30;
// The smallest eye distance dlib's detector (an 80-pixel window) finds at a
// picture's own size, measured on the evaluation set: its sharp photographs
// are found from 22-28 px. A picture is enlarged only when that is above the
// frame's 30 px, and then by the ratio: the detector's time grows with the
// area (enlarging 1.2 or 1.33 times found no more photographs and one more
// blurred LFW face of 100, at 2.5-3 times the time).
constexpr double kDetectorEyeDistance = 28;
constexpr double kEnlargement = std::max(1.0, kDetectorEyeDistance / kSmallestEyeDistance);
// A very large picture is searched shrunk to this many pixels, which keeps
// find() to well under a second; a face that suits the frame is then still
// far above the detector's smallest.
constexpr double kMostWorkingPixels = 4'000'000;

// Where the eye centres sit in the detector's box, as shares of its width and
// height: the means of the landmark model's eye centres over the evaluation
// set's photographs (tst_faceevaluation prints them: 0.301, 0.717, 0.310).
constexpr double kLeftEyeAcross = 0.30;
constexpr double kRightEyeAcross = 0.72;
constexpr double kEyesDown = 0.31;

// The 68-point model's numbering: the eye that appears on the picture's left
// (the subject's right) is 36-41, the other 42-47, the chin's lowest point 8.
constexpr unsigned long kFirstLeftEyePoint = 36;
constexpr unsigned long kFirstRightEyePoint = 42;
constexpr unsigned long kEyePoints = 6;
constexpr unsigned long kChinPoint = 8;
constexpr unsigned long kModelPoints = 68;

double workingScale(QSize size) {
  const double area = double(size.width()) * size.height();
  if (area * kEnlargement * kEnlargement <= kMostWorkingPixels) return kEnlargement;
  return std::sqrt(kMostWorkingPixels / area);
}

// The photo as 8-bit grey at `scale`. A grey photo at its own size is shared,
// not copied; otherwise the smaller of the two steps goes first.
QImage workingGrey(const QImage& photo, double scale) {
  const QSize size(std::max(1, int(std::lround(photo.width() * scale))),
                   std::max(1, int(std::lround(photo.height() * scale))));
  const auto toGrey = [](const QImage& image) {
    return image.convertToFormat(QImage::Format_Grayscale8);
  };
  const auto resize = [&size](const QImage& image) {
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  };
  if (size == photo.size()) return toGrey(photo);
  if (scale > 1) return toGrey(resize(toGrey(photo)));
  return toGrey(resize(photo));
}

// A dlib pixel index of the working picture as a point of the photo (pixel
// x of the photo covers [x, x + 1)).
QPointF toPhoto(const dlib::dpoint& point, double scale) {
  return {(point.x() + 0.5) / scale, (point.y() + 0.5) / scale};
}

QRectF toPhoto(const dlib::rectangle& box, double scale) {
  return {box.left() / scale, box.top() / scale, box.width() / scale, box.height() / scale};
}

double tiltOf(QPointF leftEye, QPointF rightEye) {
  return std::atan2(rightEye.y() - leftEye.y(), rightEye.x() - leftEye.x()) * 180 /
         std::numbers::pi;
}

FoundFace fromBox(const QRectF& box) {
  FoundFace face;
  face.box = box;
  const double eyeY = box.top() + kEyesDown * box.height();
  face.leftEye = {box.left() + kLeftEyeAcross * box.width(), eyeY};
  face.rightEye = {box.left() + kRightEyeAcross * box.width(), eyeY};
  return face;
}

dlib::dpoint meanOf(const dlib::full_object_detection& shape, unsigned long first) {
  dlib::dpoint sum(0, 0);
  for (unsigned long i = first; i < first + kEyePoints; ++i) sum += shape.part(i);
  return sum / double(kEyePoints);
}

}  // namespace

class LandmarkModel {
 public:
  dlib::shape_predictor predictor;
};

struct DlibFaceFinder::Detector {
  dlib::frontal_face_detector hog = dlib::get_frontal_face_detector();
};

std::string message(const ModelError& error) {
  if (const auto* system = std::get_if<base::SystemError>(&error)) return system->message();
  const auto& damaged = std::get<DamagedModel>(error);
  return damaged.path + " is not a landmark model: " + damaged.detail;
}

LandmarkModelResult loadLandmarkModel(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return ModelError(base::SystemError::fromErrno("open " + file.string()));
  auto model = std::make_shared<LandmarkModel>();
  try {
    dlib::deserialize(model->predictor, in);
  } catch (const std::exception& e) {
    return ModelError(DamagedModel{file.string(), e.what()});
  }
  if (model->predictor.num_parts() != kModelPoints) {
    return ModelError(DamagedModel{
        file.string(), std::to_string(model->predictor.num_parts()) + " points, not 68"});
  }
  return std::shared_ptr<const LandmarkModel>(std::move(model));
}

DlibFaceFinder::DlibFaceFinder() : detector_(std::make_unique<Detector>()) {}

DlibFaceFinder::DlibFaceFinder(std::shared_future<LandmarkModelResult> model)
    : detector_(std::make_unique<Detector>()),
      pendingModel_(std::move(model)),
      modelSettled_(!pendingModel_.valid()) {}

DlibFaceFinder::DlibFaceFinder(std::shared_ptr<const LandmarkModel> model)
    : detector_(std::make_unique<Detector>()), model_(std::move(model)) {}

DlibFaceFinder::~DlibFaceFinder() = default;

void DlibFaceFinder::settleModel() {
  if (modelSettled_) return;
  const LandmarkModelResult& loaded = pendingModel_.get();
  if (loaded) {
    model_ = *loaded;
  } else {
    qCWarning(lcFace) << "finding faces without landmarks:"
                      << QString::fromStdString(message(loaded.error()));
  }
  pendingModel_ = {};
  modelSettled_ = true;
}

bool DlibFaceFinder::usesLandmarks() {
  settleModel();
  return model_ != nullptr;
}

std::vector<FoundFace> DlibFaceFinder::find(const QImage& photo) {
  settleModel();
  if (photo.isNull()) return {};
  const double scale = workingScale(photo.size());
  const QImage grey = workingGrey(photo, scale);
  if (grey.isNull()) {
    qCWarning(lcFace) << "no memory to search a" << photo.size() << "photo";
    return {};
  }
  const GreyView view(grey);
  std::vector<FoundFace> faces;
  for (const dlib::rectangle& box : detector_->hog(view)) {
    if (!model_) {
      faces.push_back(fromBox(toPhoto(box, scale)));
      continue;
    }
    const dlib::full_object_detection shape = model_->predictor(view, box);
    FoundFace face;
    face.box = toPhoto(box, scale);
    face.leftEye = toPhoto(meanOf(shape, kFirstLeftEyePoint), scale);
    face.rightEye = toPhoto(meanOf(shape, kFirstRightEyePoint), scale);
    if (face.leftEye.x() > face.rightEye.x()) std::swap(face.leftEye, face.rightEye);
    face.chin = toPhoto(dlib::dpoint(shape.part(kChinPoint)), scale);
    face.tiltDegrees = tiltOf(face.leftEye, face.rightEye);
    face.fromLandmarks = true;
    faces.push_back(face);
  }
  qCDebug(lcFace) << faces.size() << "faces in a" << photo.size() << "photo, searched at" << scale;
  return faces;
}

std::unique_ptr<DlibFaceFinder> makeDlibFinder(const std::filesystem::path& modelFile) {
  std::error_code error;
  if (!std::filesystem::exists(modelFile, error)) {
    qCInfo(lcFace) << "no landmark model at" << modelFile.c_str() << "- eyes from the face box";
    return std::make_unique<DlibFaceFinder>();
  }
  auto finder = std::make_unique<DlibFaceFinder>(
      std::async(std::launch::deferred, loadLandmarkModel, modelFile).share());
  finder->usesLandmarks();  // reads the model now, on the caller's thread
  return finder;
}

}  // namespace face
