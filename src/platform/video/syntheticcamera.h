#pragma once
// Cameras that need no hardware: each produces the test pattern as MJPEG or
// YUYV at four sizes and two rates, with controls that change the picture
// the way a webcam's do (brightness, contrast, saturation, exposure with its
// auto switch, white balance with its auto switch, power line frequency).

#include <chrono>
#include <cstdint>
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

class SyntheticCamera final : public CaptureDevice {
 public:
  SyntheticCamera();

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
  bool streaming_ = false;
  std::uint64_t frameNumber_ = 0;
  Clock::time_point firstDue_;
  // The user-interface thread writes controls while the worker draws frames.
  mutable std::mutex controlsMutex_;
  std::vector<ControlInfo> controls_;
};

class SyntheticProvider final : public DeviceProvider {
 public:
  explicit SyntheticProvider(std::vector<std::string> names) : names_(std::move(names)) {}
  std::vector<DriverInfo> drivers() override;
  base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> open(int number) override;

 private:
  std::vector<std::string> names_;
};

}  // namespace video
