// The face module's entry point: the program dlopens velmora-tandeo-faces.so
// and finds everything else through the table this returns.

#include "platform/face/facemodule.h"

#include "platform/face/dlibfacefinder.h"

namespace {

face::FaceFinder* makeFinder(const char* modelFile) {
  return face::makeDlibFinder(modelFile ? modelFile : "").release();
}

// Only finders makeFinder made are handed back here.
bool usesLandmarks(face::FaceFinder& finder) {
  return static_cast<face::DlibFaceFinder&>(finder).usesLandmarks();
}

constexpr face::FaceModule kModule{face::kFaceModuleVersion, &makeFinder, &usesLandmarks};

}  // namespace

extern "C" __attribute__((visibility("default"))) const face::FaceModule* tandeo_face_module() {
  return &kModule;
}
