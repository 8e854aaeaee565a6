#pragma once
// A V4L2 device that lives behind the video layer's system-call table: nodes
// by path, mmap buffers backed by anonymous memory, frames on demand, and
// faults to inject. Its descriptors are real eventfds, so /proc/self/fd sees
// them too. Installs itself for its lifetime; one at a time.

#include <linux/videodev2.h>
#include <poll.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/video/syscalls.h"

namespace fakev4l2 {

struct Format {
  std::uint32_t fourcc;
  std::vector<std::pair<int, int>> sizes;
  // --- Sizes, rates and descriptions for the format dialog ---
  std::string description = {};  // VIDIOC_ENUM_FMT's; empty gives the fourcc's usual name
  // A range instead of `sizes` (VIDIOC_ENUM_FRAMESIZES answers it at index 0);
  // continuous when `continuous` is set. S_FMT rounds into it.
  std::optional<v4l2_frmsize_stepwise> sizeRange = {};
  bool continuous = false;
  std::vector<v4l2_fract> intervals = {};  // at every size; empty: the node does not say
  std::optional<v4l2_frmival_stepwise> intervalRange = {};
};

// --- Controls for the source dialog ---
struct Control {
  std::uint32_t id = 0;
  std::uint32_t type = V4L2_CTRL_TYPE_INTEGER;  // V4L2_CTRL_TYPE_CTRL_CLASS for a class header
  std::string name;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  std::int32_t step = 1;
  std::int32_t defaultValue = 0;
  std::uint32_t flags = 0;
  std::map<std::uint32_t, std::string> menu = {};  // by index; missing indices are holes
  std::map<std::uint32_t, std::int64_t> integerMenu = {};
  std::uint32_t heldBy = 0;   // an auto switch that makes this control inactive…
  std::int32_t freeWhen = 0;  // …unless the switch has this value
};

// One VIDIOC_S_EXT_CTRLS entry that reached the device.
struct ControlWrite {
  std::uint32_t id;
  std::int32_t value;
  bool operator==(const ControlWrite&) const = default;
};

// A webcam's controls as uvcvideo reports them: class headers, user and
// camera controls, a menu with holes, an integer menu, a button, auto
// switches holding exposure and white balance, a read-only and a disabled
// control, and a compound control the layer must skip.
std::vector<Control> webcamControls();

struct Faults {
  int openErrno = 0;                  // open() fails with this errno (EBUSY: in use elsewhere)
  long unplugAtCall = -1;             // the device goes away at this ioctl/poll call since open
  bool allFrames = false;             // the per-frame faults below hit every frame
  std::set<long> eioFrames;           // DQBUF fails with EIO
  std::set<long> errorFlagFrames;     // buffer comes back flagged V4L2_BUF_FLAG_ERROR
  std::set<long> oversizeFrames;      // bytesused larger than the buffer
  std::set<long> truncatedFrames;     // only the first half of the JPEG arrives
  bool stalled = false;               // streams, but no frame ever becomes ready
  std::uint32_t fpsDenominator = 30;  // frame interval 1/fpsDenominator s
};

struct Node {
  std::string card = "Fake Camera";
  std::uint32_t capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_DEVICE_CAPS;
  std::uint32_t deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
  std::vector<Format> formats = {{V4L2_PIX_FMT_MJPEG, {{320, 240}}}};
  std::string busInfo = "usb-0000:00:14.0-1";
  Faults faults;
  // Frame content for (fourcc, width, height, frame number); a default is
  // supplied for MJPEG (the test pattern, scaled) and YUYV (pure red).
  std::function<std::vector<std::uint8_t>(std::uint32_t, int, int, long)> content;
  // --- Controls and pacing ---
  std::vector<Control> controls = {};
  // Frames become ready one frame interval apart from STREAMON, as a real
  // camera's do, instead of as fast as they are asked for.
  bool paced = false;
};

class Device;

class FakeV4l2 {
 public:
  FakeV4l2();
  ~FakeV4l2();
  FakeV4l2(const FakeV4l2&) = delete;
  FakeV4l2& operator=(const FakeV4l2&) = delete;

  void addNode(const std::string& path, Node node);
  // The node is gone: it no longer opens (ENOENT). Devices open on it stay
  // until unplugged or closed.
  void removeNode(const std::string& path);
  // The calls made through the descriptor last opened on `path`, in order:
  // "QUERYCAP", "S_FMT MJPG 320x240", "S_EXT_CTRLS 00980900=5", "REQBUFS", "mmap",
  // "QBUF", "STREAMON", "poll", "DQBUF", ... Entry k is the call that
  // Faults::unplugAtCall = k makes fail.
  std::vector<std::string> callsOfLastOpen(const std::string& path) const;

  int openDescriptors() const;
  int liveMappings() const;
  int peakDescriptors() const;
  long framesServed() const;
  long timedOutPolls() const;
  long pollCalls() const;
  // Every open device of the fake goes away, as when the cable is pulled.
  void unplugAll();
  // Every control value written through VIDIOC_S_EXT_CTRLS, in order.
  std::vector<ControlWrite> controlWrites() const;
  void clearControlWrites();

  // The system-call table entries.
  int open(const char* path, int flags);
  int close(int fd);
  int ioctl(int fd, unsigned long request, void* arg);
  void* mmap(void* address, std::size_t length, int protection, int flags, int fd, off_t offset);
  int munmap(void* address, std::size_t length);
  int poll(pollfd* fds, nfds_t count, int timeoutMs);

 private:
  int deviceIoctl(Device& device, unsigned long request, void* arg);
  int dequeue(Device& device, v4l2_buffer& buffer);
  bool countCall(Device& device, std::string call);
  int sizeIoctl(Device& device, unsigned long request, void* arg);
  int controlIoctl(Device& device, unsigned long request, void* arg);
  int extControls(Device& device, v4l2_ext_controls& list, bool write);
  bool frameDue(const Device& device) const;

  mutable std::mutex mutex_;
  std::map<std::string, Node> nodes_;
  std::map<std::string, std::shared_ptr<std::vector<std::string>>> lastCalls_;
  std::map<int, std::shared_ptr<Device>> devices_;
  std::map<void*, std::pair<std::shared_ptr<Device>, std::uint32_t>> mappings_;
  int peak_ = 0;
  long served_ = 0;
  long timedOut_ = 0;
  long polls_ = 0;
  std::vector<ControlWrite> writes_;
  std::unique_ptr<video::ScopedSyscalls> installed_;
};

// The default MJPEG content: the synthetic test pattern scaled to the size.
std::vector<std::uint8_t> patternJpeg(int width, int height, long frameNumber);

}  // namespace fakev4l2
