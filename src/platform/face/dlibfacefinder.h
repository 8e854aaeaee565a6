#pragma once
// The face finder of this program: dlib's HOG frontal face detector (built
// into the library, no file needed) and, when Debian's libdlib-data is
// installed, dlib's 68-point landmark model for the eye centres, the chin and
// the head's roll. Without the model the eyes are estimated from the box.

#include <QImage>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <variant>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/face/facefinder.h"

namespace face {

// Where libdlib-data installs the landmark model.
inline constexpr const char* kLandmarkModelFile =
    "/usr/share/dlib/shape_predictor_68_face_landmarks.dat";

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

// The finder the program uses: a DlibFaceFinder made when placement is first
// prepared or used, with the landmark model when its file exists.
class MachineFaceFinder final : public FaceFinder {
 public:
  explicit MachineFaceFinder(std::filesystem::path modelFile);
  ~MachineFaceFinder() override;
  MachineFaceFinder(const MachineFaceFinder&) = delete;
  MachineFaceFinder& operator=(const MachineFaceFinder&) = delete;

  // Makes the detector and reads the model on a thread of its own, once.
  void prepare() override;
  std::vector<FoundFace> find(const QImage& photo) override;
  // Whether find() uses the landmark model (prepares, and waits for it).
  bool usesLandmarks();
  bool isPrepared() const;

 private:
  static std::shared_ptr<DlibFaceFinder> makeFinder(const std::filesystem::path& modelFile);

  std::filesystem::path modelFile_;
  std::once_flag started_;
  std::shared_future<std::shared_ptr<DlibFaceFinder>> ready_;
};

// The finder the program uses: with the landmark model from `modelFile` when
// that file exists, otherwise from boxes alone. Nothing is made or read until
// placement is prepared or first used: most runs never place a frame, and the
// model takes seconds and 100 MB. prepare() reads it on a thread of its own.
std::shared_ptr<FaceFinder> faceFinderOfThisMachine(
    const std::filesystem::path& modelFile = kLandmarkModelFile);

}  // namespace face
