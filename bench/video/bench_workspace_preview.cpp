// CPU share of the workspace's live preview with a camera set to 1920 × 1080
// MJPEG at 30 frames per second: a capture window of the workspace's size
// (320 × 240) pulling every 66 ms, fed by the fake V4L2 device with
// pre-encoded 1080p frames so that making the frames does not count. Prints
// the share of one core the whole process takes over a few seconds (goal:
// under 5 %), how many frames arrived, were decoded and were shown, and the
// floor: what reading the entropy data of the decoded frames alone costs.

#include <linux/videodev2.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/imaging/jpeg_writer.h"
#include "platform/video/capturestream.h"
#include "platform/video/capturewidget.h"
#include "platform/video/fakev4l2.h"
#include "platform/video/jpegcodec.h"
#include "platform/video/testpattern.h"
#include "platform/video/v4l2provider.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
const QSize kWorkspacePicture(320, 240);
constexpr int kPreviewRateMs = 66;
constexpr int kMeasureMs = 5000;

// The test pattern at 1080p with a little sensor-like noise, so the entropy
// data is as busy as a real camera's.
std::vector<std::uint8_t> makeFrame() {
  auto rgb = video::patternRgb(17, {}, kWidth, kHeight);
  std::uint32_t seed = 12345;
  for (auto& v : rgb) {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<std::uint8_t>(std::clamp(v + static_cast<int>(seed >> 28) - 8, 0, 255));
  }
  const imaging::PixelRows rows{kWidth, kHeight, imaging::ChannelOrder::Rgb, rgb.data(),
                                kWidth * 3};
  const auto jpeg = imaging::encodeJpegRows(rows, 85, imaging::HuffmanTables::Standard);
  if (!jpeg) return {};
  const auto bytes = jpeg->span();
  return {bytes.begin(), bytes.end()};
}

double processCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void runEventsFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

// CPU time of one decode to `size`, best of a few rounds.
double decodeMs(const std::vector<std::uint8_t>& frame, QSize size) {
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    const double start = processCpuMs();
    for (int i = 0; i < 10; ++i) (void)video::decodeJpegToSize(frame, size);
    best = std::min(best, (processCpuMs() - start) / 10);
  }
  return best;
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const auto frame = makeFrame();
  const double eachDecodeMs = decodeMs(frame, kWorkspacePicture);
  // At 1/8 scale libjpeg does little more than read the entropy data: the
  // floor of any decode of this frame.
  const double floorMs = decodeMs(frame, QSize(kWidth / 8, kHeight / 8));
  QTemporaryDir dir;
  const QString node = dir.filePath("video0");
  if (QFile file(node); !file.open(QIODevice::WriteOnly)) return 1;

  fakev4l2::FakeV4l2 fake;
  fakev4l2::Node camera;
  fakev4l2::Format mjpeg{V4L2_PIX_FMT_MJPEG, {{640, 480}, {1280, 720}, {kWidth, kHeight}}};
  mjpeg.intervals = {{1, 30}};
  camera.formats = {mjpeg};
  camera.paced = true;
  camera.content = [&frame](std::uint32_t, int, int, long) { return frame; };
  fake.addNode(node.toStdString(), camera);

  QWidget host;
  host.resize(kWorkspacePicture);
  host.show();
  video::CaptureWidget window(std::make_shared<video::V4l2Provider>(dir.path().toStdString()),
                              &host);
  window.setGeometry(QRect(QPoint(0, 0), kWorkspacePicture));
  window.setChosenFormat(video::FormatOption{V4L2_PIX_FMT_MJPEG, kWidth, kHeight, 1, 30});
  if (!window.connectDriver(0)) {
    std::fprintf(stderr, "the fake camera did not connect\n");
    return 1;
  }
  window.setScale(true);
  window.setPreviewRate(kPreviewRateMs);
  window.setPreview(true);
  window.resizeTo(kWorkspacePicture);
  window.show();

  // Shown frames: every change of the picture the window paints.
  long shown = 0;
  qint64 lastKey = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const qint64 key = window.currentFrame().cacheKey();
    if (key != lastKey) ++shown, lastKey = key;
  });
  watch.start(kPreviewRateMs / 2);

  runEventsFor(1000);  // warm up: first decodes, caches, the pacer's measure
  const long servedBefore = fake.framesServed();
  const std::uint64_t decodedBefore = window.stream()->frames().sequence();
  const long shownBefore = shown;
  const double start = processCpuMs();
  runEventsFor(kMeasureMs);
  const double cpuMs = processCpuMs() - start;
  const long served = fake.framesServed() - servedBefore;
  const long seen = shown - shownBefore;
  const auto decoded = static_cast<double>(window.stream()->frames().sequence() - decodedBefore);

  const double share = cpuMs / kMeasureMs * 100.0;
  const auto format = window.currentFormat();
  std::printf("camera: %dx%d MJPEG at 30 fps, %zu bytes a frame; window %dx%d every %d ms\n",
              format ? format->width : 0, format ? format->height : 0, frame.size(),
              kWorkspacePicture.width(), kWorkspacePicture.height(), kPreviewRateMs);
  std::printf("frames from the camera: %.1f/s, pictures shown: %.1f/s, decoded size %dx%d\n",
              served * 1000.0 / kMeasureMs, seen * 1000.0 / kMeasureMs,
              window.currentFrame().width(), window.currentFrame().height());
  std::printf("decoded: %.1f/s at %.2f ms each (%.1f %% of one core), the rest %.1f %%\n",
              decoded * 1000.0 / kMeasureMs, eachDecodeMs,
              decoded * eachDecodeMs / kMeasureMs * 100.0,
              (cpuMs - decoded * eachDecodeMs) / kMeasureMs * 100.0);
  std::printf("floor: one decode at 1/8 scale %.2f ms, %.1f %% of one core at %.1f decodes/s\n",
              floorMs, decoded * floorMs / kMeasureMs * 100.0, decoded * 1000.0 / kMeasureMs);
  std::printf("process CPU: %.1f %% of one core (goal < 5 %%) %s\n", share,
              share < 5.0 ? "ok" : "OVER");
  window.disconnectDriver();
  return 0;
}
