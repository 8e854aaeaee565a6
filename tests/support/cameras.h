#pragma once
// Cameras for tests, handed to what needs them: synthetic ones by name, none
// at all, and a provider that counts the devices opened through it, so a
// test sees whether a window let go of its camera.

#include <atomic>
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/deviceprovider.h"
#include "platform/video/syntheticcamera.h"

namespace testsupport {

// Synthetic cameras with these names, comma-separated as in TANDEO_FAKE_CAMERAS.
inline std::shared_ptr<video::DeviceProvider> fakeCameras(std::string_view names) {
  return video::makeSyntheticProvider(video::parseFakeCameras(names));
}

// A machine with no capture device at all, whatever the test machine has.
inline std::shared_ptr<video::DeviceProvider> noCameras() {
  class NoDevices final : public video::DeviceProvider {
   public:
    std::vector<video::DriverInfo> drivers() override { return {}; }
    base::Expected<std::unique_ptr<video::CaptureDevice>, base::SystemError> open(int) override {
      return base::SystemError{ENODEV, "no devices in this test"};
    }
  };
  return std::make_shared<NoDevices>();
}

class CountingCameras final : public video::DeviceProvider {
 public:
  explicit CountingCameras(std::shared_ptr<video::DeviceProvider> cameras)
      : cameras_(std::move(cameras)) {}

  // Devices opened so far, and those still open; how often the list was asked for.
  int opened() const { return opened_; }
  int listings() const { return listings_; }
  int openNow() const { return *openNow_; }
  // The most devices that were open at the same moment.
  int mostOpenAtOnce() const { return *mostOpen_; }

  std::vector<video::DriverInfo> drivers() override {
    ++listings_;
    return cameras_->drivers();
  }
  video::DeviceNotifier* notifier() override { return cameras_->notifier(); }
  base::Expected<std::unique_ptr<video::CaptureDevice>, base::SystemError> open(
      int number) override {
    auto device = cameras_->open(number);
    if (!device) return device.error();
    ++opened_;
    return std::unique_ptr<video::CaptureDevice>(
        std::make_unique<Counted>(std::move(*device), openNow_, mostOpen_));
  }

 private:
  // Passes every call on; counts itself open for its lifetime.
  class Counted final : public video::CaptureDevice {
   public:
    Counted(std::unique_ptr<video::CaptureDevice> device, std::shared_ptr<std::atomic<int>> count,
            const std::shared_ptr<std::atomic<int>>& most)
        : device_(std::move(device)), count_(std::move(count)) {
      const int now = ++*count_;
      if (now > *most) *most = now;
    }
    ~Counted() override { --*count_; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

    std::vector<video::FormatOption> formatOptions() const override {
      return device_->formatOptions();
    }
    std::vector<video::PixelFormatInfo> pixelFormats() const override {
      return device_->pixelFormats();
    }
    video::FrameIntervals frameIntervals(std::uint32_t fourcc, int width,
                                         int height) const override {
      return device_->frameIntervals(fourcc, width, height);
    }
    base::Expected<video::FrameFormat, base::SystemError> setFormat(
        const video::FormatOption& option) override {
      return device_->setFormat(option);
    }
    base::Expected<void, base::SystemError> start() override { return device_->start(); }
    video::NextResult next(int wakeFd, const video::FrameSink& sink) override {
      return device_->next(wakeFd, sink);
    }
    void stop() override { device_->stop(); }
    std::vector<video::ControlInfo> controls() override { return device_->controls(); }
    base::Expected<void, base::SystemError> setControl(std::uint32_t id,
                                                       std::int32_t value) override {
      return device_->setControl(id, value);
    }

   private:
    std::unique_ptr<video::CaptureDevice> device_;
    std::shared_ptr<std::atomic<int>> count_;
  };

  std::shared_ptr<video::DeviceProvider> cameras_;
  int opened_ = 0;
  int listings_ = 0;
  std::shared_ptr<std::atomic<int>> openNow_ = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<std::atomic<int>> mostOpen_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace testsupport
