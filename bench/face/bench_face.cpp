// DlibFaceFinder::find on a 320 × 240 photo against dlib's own detector and
// landmark model called alone on the same picture (already a dlib grey
// array, as a dlib program would hold it): the median of many interleaved
// repeats of each. Prints the absolute times and the ratio (goal: at most
// 1.2) for find() and for the whole placement (find() and the placement
// rule), and find() without the model against the detector alone.

#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/image_processing/shape_predictor.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "platform/face/dlibfacefinder.h"
#include "rules/faceplacement.h"

namespace {

constexpr int kRuns = 200;
const char* const kAstronaut = "/usr/lib/python3/dist-packages/skimage/data/astronaut.png";

// The astronaut's face in a 320 × 240 camera-like photo, eyes 40 px apart.
QImage benchPhoto() {
  const QImage source(kAstronaut);
  if (source.isNull()) return {};
  QImage photo(320, 240, QImage::Format_RGB32);
  photo.fill(Qt::gray);
  QPainter painter(&photo);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.translate(160, 105);
  painter.scale(40 / 43.5, 40 / 43.5);
  painter.translate(-227.75, -103);
  painter.drawImage(0, 0, source);
  return photo;
}

dlib::array2d<unsigned char> dlibGrey(const QImage& photo) {
  const QImage grey = photo.convertToFormat(QImage::Format_Grayscale8);
  dlib::array2d<unsigned char> image(grey.height(), grey.width());
  for (int y = 0; y < grey.height(); ++y) {
    std::copy_n(grey.constScanLine(y), grey.width(), &image[y][0]);
  }
  return image;
}

// Medians in microseconds of `a` and `b`, run alternately so that both see
// the same machine.
std::pair<double, double> interleavedMedians(const std::function<void()>& a,
                                             const std::function<void()>& b) {
  std::vector<double> timesA, timesB;
  const auto time = [](const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
  };
  for (int i = 0; i < kRuns; ++i) {
    timesA.push_back(time(a));
    timesB.push_back(time(b));
  }
  const auto median = [](std::vector<double>& times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
  };
  return {median(timesA), median(timesB)};
}

void report(const char* what, std::pair<double, double> medians) {
  std::printf("%-44s %8.0f us   dlib alone %8.0f us   ratio %.2f (goal <= 1.2)\n", what,
              medians.first, medians.second, medians.first / medians.second);
}

}  // namespace

int main() {
  const QImage photo = benchPhoto();
  if (photo.isNull()) {
    std::printf("bench_face: %s is missing (python3-skimage); nothing measured\n", kAstronaut);
    return 0;
  }
  const dlib::array2d<unsigned char> grey = dlibGrey(photo);
  dlib::frontal_face_detector detector = dlib::get_frontal_face_detector();
  volatile std::size_t sink = 0;

  face::DlibFaceFinder boxOnly;
  report("find() without the landmark model",
         interleavedMedians([&] { sink = sink + boxOnly.find(photo).size(); },
                            [&] { sink = sink + detector(grey).size(); }));

  const auto loadStart = std::chrono::steady_clock::now();
  auto model = face::loadLandmarkModel(face::kLandmarkModelFile);
  const double loadMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - loadStart)
          .count();
  if (!model) {
    std::printf("no landmark model (%s): find() with landmarks not measured\n",
                face::message(model.error()).c_str());
    return 0;
  }
  std::printf("loading the landmark model: %.0f ms (off the user-interface thread)\n", loadMs);
  face::DlibFaceFinder withModel(*model);
  dlib::shape_predictor predictor;
  dlib::deserialize(face::kLandmarkModelFile) >> predictor;
  report("find() with the landmark model",
         interleavedMedians([&] { sink = sink + withModel.find(photo).size(); },
                            [&] {
                              for (const auto& box : detector(grey)) {
                                sink = sink + predictor(grey, box).num_parts();
                              }
                            }));

  // What the workspace runs after F5: find() and the frame placed on the
  // chosen face (the default 105 x 120 frame in the 320 x 240 photo box).
  const rules::FrameRect frame{0, 0, 105, 120};
  report("placement (find() + the placement rule)",
         interleavedMedians(
             [&] {
               const auto placed =
                   rules::placeOnFace(withModel.find(photo), photo.size(), QSize(320, 240), frame);
               sink = sink + placed.advice.size() + (placed.topLeft ? 1 : 0);
             },
             [&] {
               for (const auto& box : detector(grey)) {
                 sink = sink + predictor(grey, box).num_parts();
               }
             }));

  return 0;
}
