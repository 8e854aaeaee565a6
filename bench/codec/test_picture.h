#pragma once
// A deterministic stand-in for a photograph: smooth gradients (sky, shaded
// skin), fine texture and sensor grain, and hard edges (clothes, stripes,
// balls), laid out relative to the picture's size so every size shows the
// same scene. Photographic content matters: codecs and quantizers behave
// very differently on flat synthetic patterns.

#include "platform/imaging/image.h"

namespace codecbench {

imaging::RgbImage makeTestPicture(int width, int height);

}  // namespace codecbench
