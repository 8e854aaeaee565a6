#pragma once
// The face finder the program uses: the detector in the face module, loaded
// and made the first time placement is prepared or used, so that a run which
// never places a frame never loads dlib or reads the landmark model.

#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/face/facemodule.h"

namespace face {

class MachineFaceFinder final : public FaceFinder {
 public:
  MachineFaceFinder(std::filesystem::path module, std::filesystem::path modelFile);
  ~MachineFaceFinder() override;
  MachineFaceFinder(const MachineFaceFinder&) = delete;
  MachineFaceFinder& operator=(const MachineFaceFinder&) = delete;

  // Loads the module, makes the detector and reads the model on a thread of
  // its own, once.
  void prepare() override;
  // No faces when the module could not be loaded (said once in the log).
  std::vector<FoundFace> find(const QImage& photo) override;
  // Whether find() uses the landmark model (prepares, and waits for it).
  bool usesLandmarks();
  bool isPrepared() const;

 private:
  struct Loaded;
  static std::shared_ptr<Loaded> load(const std::filesystem::path& module,
                                      const std::filesystem::path& modelFile);

  std::filesystem::path module_;
  std::filesystem::path modelFile_;
  std::once_flag started_;
  std::shared_future<std::shared_ptr<Loaded>> ready_;
};

// The face module this program would load: next to the program (the build
// tree), else in the package's library folder. None when neither has it.
std::optional<std::filesystem::path> installedFaceModule();

// The finder the program uses, with the landmark model from `modelFile` when
// that file exists, otherwise from boxes alone; null when the face module is
// not installed. Nothing is loaded or read until placement is prepared or
// first used: most runs never place a frame, and the model takes seconds
// and 100 MB.
std::shared_ptr<FaceFinder> faceFinderOfThisMachine(
    const std::filesystem::path& modelFile = kLandmarkModelFile);

}  // namespace face
