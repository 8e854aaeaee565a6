#pragma once
// Cameras that need no hardware: each produces the test pattern (or a still
// picture it was given, such as a face for trying the frame's placement) as
// MJPEG or YUYV at four sizes and two rates, with controls that change the
// picture the way a webcam's do (brightness, contrast, saturation, exposure
// with its auto switch, white balance with its auto switch, power line
// frequency).

#include <QImage>
#include <QRect>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/video/deviceprovider.h"
#include "platform/video/testpattern.h"

namespace video {

// The bytes the synthetic camera sends for frame n in that format and size.
std::vector<std::uint8_t> syntheticFrameBytes(std::uint32_t fourcc, std::uint64_t frameNumber,
                                              PictureControls controls = {},
                                              int width = kPatternWidth,
                                              int height = kPatternHeight);

// Packed RGB24 of `picture` at width × height: scaled with its aspect kept
// until it fills the frame, what overflows cut evenly from both sides; a
// transparent picture over white.
std::vector<std::uint8_t> filledRgb(const QImage& picture, int width, int height);

// A still picture's frames differ by a small counter in the bottom-right
// corner: the frame number's low kCounterBits bits as square blocks, most
// significant first, light for 1 and dark for 0, on a dark strip one block
// wider all round. The blocks are 1/160 of the width (4 pixels at 640), at
// least 2 pixels.
inline constexpr int kCounterBits = 16;
int frameCounterBlock(int width);
// The strip, in the frame's pixels.
QRect frameCounterArea(int width, int height);
void drawFrameCounter(std::vector<std::uint8_t>& rgb, int width, int height,
                      std::uint64_t frameNumber);

// The bytes the synthetic camera sends for frame n of a still picture,
// `stillRgb` being the picture already filled to width × height.
std::vector<std::uint8_t> stillFrameBytes(std::uint32_t fourcc, std::uint64_t frameNumber,
                                          PictureControls controls,
                                          std::vector<std::uint8_t> stillRgb, int width,
                                          int height);

class SyntheticCamera final : public CaptureDevice {
 public:
  // `plugged` false: the camera has been taken away, its stream is lost.
  // `still`: the picture it shows, standing still; null: the colour pattern.
  explicit SyntheticCamera(std::shared_ptr<const std::atomic<bool>> plugged = {},
                           QImage still = {});

  std::vector<FormatOption> formatOptions() const override;
  std::vector<PixelFormatInfo> pixelFormats() const override;
  FrameIntervals frameIntervals(std::uint32_t fourcc, int width, int height) const override;
  base::Expected<FrameFormat, base::SystemError> setFormat(const FormatOption& option) override;
  base::Expected<void, base::SystemError> start() override;
  NextResult next(int wakeFd, const FrameSink& sink) override;
  void stop() override { streaming_ = false; }
  std::vector<ControlInfo> controls() override;
  base::Expected<void, base::SystemError> setControl(std::uint32_t id, std::int32_t value) override;

  // What the controls' values do to the picture right now.
  PictureControls pictureControls() const;

 private:
  using Clock = std::chrono::steady_clock;
  std::int32_t valueOf(std::uint32_t id) const;  // with controlsMutex_ held

  FrameFormat format_;
  QImage still_;
  // still_ filled to the chosen format, made when the format is set.
  std::vector<std::uint8_t> stillRgb_;
  bool streaming_ = false;
  std::uint64_t frameNumber_ = 0;
  Clock::time_point firstDue_;
  std::shared_ptr<const std::atomic<bool>> plugged_;
  // The user-interface thread writes controls while the worker draws frames.
  mutable std::mutex controlsMutex_;
  std::vector<ControlInfo> controls_;
};

class SyntheticProvider final : public DeviceProvider {
 public:
  // Cameras by name; the one at position i shows stills[i] where that is a
  // picture, the colour pattern otherwise.
  explicit SyntheticProvider(std::vector<std::string> names, std::vector<QImage> stills = {});
  ~SyntheticProvider() override;
  // Only the cameras plugged in now, in the order of the names.
  std::vector<DriverInfo> drivers() override;
  base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> open(int number) override;
  DeviceNotifier* notifier() override { return &notifier_; }

  // For tests and the demo: the named camera is pulled out (an open stream of
  // it is lost) or plugged in again; the notifier says so either way.
  void unplug(const std::string& name);
  void replug(const std::string& name);

 private:
  struct Camera {
    std::string name;
    QImage still;
    std::shared_ptr<std::atomic<bool>> plugged;
  };
  std::vector<const Camera*> pluggedCameras() const;
  void setPlugged(const std::string& name, bool plugged);

  std::vector<Camera> cameras_;
  DeviceNotifier notifier_;
};

// The cameras TANDEO_FAKE_CAMERAS lists, their pictures read now. A picture
// that cannot be read is said on standard error, and its camera shows the
// colour pattern.
std::shared_ptr<SyntheticProvider> makeSyntheticProvider(
    const std::vector<FakeCameraEntry>& cameras);

}  // namespace video
