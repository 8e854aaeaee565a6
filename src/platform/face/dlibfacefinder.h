#pragma once
// The face finder of this program: dlib's HOG frontal face detector (built
// into the library, no file needed) and, when Debian's libdlib-data is
// installed, dlib's 68-point landmark model for the eye centres, the chin and
// the head's roll. Without the model the eyes are estimated from the box.

#include <QImage>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <variant>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/face/facemodule.h"

namespace face {

// The file is there but is not a landmark model dlib can read.
struct DamagedModel {
  std::string path;
  std::string detail;  // dlib's own words
};
using ModelError = std::variant<base::SystemError, DamagedModel>;
std::string message(const ModelError& error);

// dlib's 68-point shape predictor, loaded once and read by any number of
// finders (running it does not change it).
class LandmarkModel;
using LandmarkModelResult = base::Expected<std::shared_ptr<const LandmarkModel>, ModelError>;
// Reading the 95 MB model takes seconds: call it off the user-interface thread.
LandmarkModelResult loadLandmarkModel(const std::filesystem::path& file);

class DlibFaceFinder final : public FaceFinder {
 public:
  // Eyes estimated from the detector's box.
  DlibFaceFinder();
  // With the landmark model once `model` is ready; until then find() waits for
  // it. A model that failed to load leaves the finder working from boxes
  // (the failure is logged).
  explicit DlibFaceFinder(std::shared_future<LandmarkModelResult> model);
  // With a model already loaded.
  explicit DlibFaceFinder(std::shared_ptr<const LandmarkModel> model);
  ~DlibFaceFinder() override;
  DlibFaceFinder(const DlibFaceFinder&) = delete;
  DlibFaceFinder& operator=(const DlibFaceFinder&) = delete;

  std::vector<FoundFace> find(const QImage& photo) override;

  // Whether find() uses the landmark model (waits for it to load).
  bool usesLandmarks();

 private:
  struct Detector;
  std::unique_ptr<Detector> detector_;
  std::shared_future<LandmarkModelResult> pendingModel_;
  std::shared_ptr<const LandmarkModel> model_;
  bool modelSettled_ = true;

  void settleModel();
};

// The program's detector as the face module makes it: with the landmark model
// in `modelFile` when that file exists (read here, which takes seconds),
// otherwise from the face boxes alone.
std::unique_ptr<DlibFaceFinder> makeDlibFinder(const std::filesystem::path& modelFile);

}  // namespace face
