#pragma once
// Cameras that need no hardware: each produces the test pattern at 640 × 480,
// 30 frames per second, as MJPEG or YUYV, with brightness and contrast.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
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
  // `plugged` false: the camera has been taken away, its stream is lost.
  explicit SyntheticCamera(std::shared_ptr<const std::atomic<bool>> plugged = {})
      : plugged_(std::move(plugged)) {}

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
  std::shared_ptr<const std::atomic<bool>> plugged_;
};

class SyntheticProvider final : public DeviceProvider {
 public:
  explicit SyntheticProvider(std::vector<std::string> names);
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
    std::shared_ptr<std::atomic<bool>> plugged;
  };
  std::vector<const Camera*> pluggedCameras() const;
  void setPlugged(const std::string& name, bool plugged);

  std::vector<Camera> cameras_;
  DeviceNotifier notifier_;
};

}  // namespace video
