#pragma once
// Cameras that need no hardware: each produces the test pattern at 640 × 480,
// 30 frames per second, as MJPEG or YUYV, with brightness and contrast.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/video/deviceprovider.h"
#include "platform/video/testpattern.h"

namespace video {

// The bytes the synthetic camera sends for frame n in that format.
std::vector<std::uint8_t> syntheticFrameBytes(std::uint32_t fourcc, std::uint64_t frameNumber,
                                              PictureControls controls = {});

class SyntheticCamera final : public CaptureDevice {
 public:
  SyntheticCamera() = default;

  std::vector<FormatOption> formatOptions() const override;
  base::Expected<FrameFormat, base::SystemError> setFormat(const FormatOption& option) override;
  base::Expected<void, base::SystemError> start() override;
  NextResult next(int wakeFd, const FrameSink& sink) override;
  void stop() override { streaming_ = false; }
  std::vector<ControlInfo> controls() override;
  base::Expected<void, base::SystemError> setControl(std::uint32_t id, std::int32_t value) override;

 private:
  using Clock = std::chrono::steady_clock;
  FrameFormat format_;
  bool streaming_ = false;
  std::uint64_t frameNumber_ = 0;
  Clock::time_point firstDue_;
  std::atomic<int> brightness_{0};
  std::atomic<int> contrast_{100};
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
