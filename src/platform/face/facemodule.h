#pragma once
// The face detector is a module of its own, velmora-tandeo-faces.so, which the
// program loads when placement is first prepared. Linked into the program,
// dlib and the LAPACK, BLAS and Fortran run-times under it were loaded and
// initialised at every start (about 12 ms and 2.6 MB), also by the many runs
// that never place a frame. This is all the program and the module share.

#include "platform/face/facefinder.h"

namespace face {

// Where libdlib-data installs the landmark model.
inline constexpr const char* kLandmarkModelFile =
    "/usr/share/dlib/shape_predictor_68_face_landmarks.dat";

// The module's file name, next to the program in the build tree and under the
// package's library folder once installed.
inline constexpr const char* kFaceModuleFile = "velmora-tandeo-faces.so";

// Raised whenever FaceModule or the interfaces it hands out change, so that a
// program never uses a module from another build's layout.
inline constexpr int kFaceModuleVersion = 1;

// The module's one exported symbol returns this.
inline constexpr const char* kFaceModuleEntry = "tandeo_face_module";
struct FaceModule {
  int version;
  // A finder with the landmark model in `modelFile` when that file exists,
  // otherwise estimating the eyes from the face box. Reads the model (seconds):
  // call it off the user-interface thread. The caller deletes the finder
  // before it unloads the module.
  FaceFinder* (*makeFinder)(const char* modelFile);
  // Whether a finder made by makeFinder uses the landmark model.
  bool (*usesLandmarks)(FaceFinder& finder);
};
using FaceModuleEntry = const FaceModule* (*)();

}  // namespace face
