#include "platform/video/fakev4l2.h"

#include <sys/eventfd.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>

#include "platform/video/testpattern.h"
#include "support/frames.h"

namespace fakev4l2 {

struct Buffer {
  std::uint32_t length = 0;
  unsigned char* memory = nullptr;
  bool queued = false;
};

class Device {
 public:
  Node node;
  v4l2_pix_format format{};
  std::vector<Buffer> buffers;
  std::deque<std::uint32_t> queue;
  bool streaming = false;
  bool unplugged = false;
  long calls = 0;
  long frameNumber = 0;
  std::shared_ptr<std::vector<std::string>> log;
};

namespace {

FakeV4l2* current = nullptr;
constexpr int kOffsetShift = 24;

std::string fourccText(std::uint32_t fourcc) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((fourcc >> (8 * i)) & 0xFF);
  return text;
}

std::string hexId(std::uint32_t id) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", id);
  return text;
}

// How a call shows in the log: the request's name, and what was asked where
// a test checks it.
std::string describeCall(unsigned long request, const void* arg) {
  switch (request) {
    case VIDIOC_QUERYCAP:
      return "QUERYCAP";
    case VIDIOC_ENUM_FMT:
      return "ENUM_FMT";
    case VIDIOC_ENUM_FRAMESIZES:
      return "ENUM_FRAMESIZES";
    case VIDIOC_G_FMT:
      return "G_FMT";
    case VIDIOC_S_FMT: {
      const auto& pix = static_cast<const v4l2_format*>(arg)->fmt.pix;
      return "S_FMT " + fourccText(pix.pixelformat) + ' ' + std::to_string(pix.width) + 'x' +
             std::to_string(pix.height);
    }
    case VIDIOC_G_PARM:
      return "G_PARM";
    case VIDIOC_S_PARM:
      return "S_PARM";
    case VIDIOC_REQBUFS:
      return "REQBUFS";
    case VIDIOC_QUERYBUF:
      return "QUERYBUF";
    case VIDIOC_QBUF:
      return "QBUF";
    case VIDIOC_DQBUF:
      return "DQBUF";
    case VIDIOC_STREAMON:
      return "STREAMON";
    case VIDIOC_STREAMOFF:
      return "STREAMOFF";
    case VIDIOC_S_CTRL: {
      const auto* control = static_cast<const v4l2_control*>(arg);
      return "S_CTRL " + hexId(control->id) + '=' + std::to_string(control->value);
    }
    default:
      return "ioctl " + std::to_string(request);
  }
}

int fail(int err) {
  errno = err;
  return -1;
}

std::vector<std::uint8_t> defaultContent(std::uint32_t fourcc, int width, int height, long) {
  if (fourcc == V4L2_PIX_FMT_YUYV) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 2);
    for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
      bytes[i] = 81;  // BT.601 video-range red
      bytes[i + 1] = 90;
      bytes[i + 2] = 81;
      bytes[i + 3] = 240;
    }
    return bytes;
  }
  static std::mutex cacheMutex;
  static std::map<std::pair<int, int>, std::vector<std::uint8_t>> cache;
  std::lock_guard lock(cacheMutex);
  auto& jpeg = cache[{width, height}];
  if (jpeg.empty()) jpeg = patternJpeg(width, height, 0);
  return jpeg;
}

bool wants(const Faults& f, const std::set<long>& frames, long n) {
  return f.allFrames ? !frames.empty() : frames.count(n) > 0;
}

void fillFormat(v4l2_pix_format& pix, std::uint32_t fourcc, int width, int height) {
  pix = {};
  pix.pixelformat = fourcc;
  pix.width = static_cast<__u32>(width);
  pix.height = static_cast<__u32>(height);
  pix.field = V4L2_FIELD_NONE;
  pix.bytesperline = fourcc == V4L2_PIX_FMT_YUYV ? pix.width * 2 : 0;
  pix.sizeimage = pix.width * pix.height * 2;
}

}  // namespace

std::vector<std::uint8_t> patternJpeg(int width, int height, long frameNumber) {
  auto rgb = video::patternRgb(static_cast<std::uint64_t>(frameNumber));
  const QImage full(rgb.data(), video::kPatternWidth, video::kPatternHeight,
                    video::kPatternWidth * 3, QImage::Format_RGB888);
  const QImage sized = full.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_RGB888);
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    std::memcpy(&packed[static_cast<std::size_t>(y) * width * 3], sized.constScanLine(y),
                static_cast<std::size_t>(width) * 3);
  return testsupport::jpegFrame(packed, width, height, 85);
}

FakeV4l2::FakeV4l2() {
  Q_ASSERT(current == nullptr);
  current = this;
  const video::Syscalls table = {
      [](const char* path, int flags) { return current->open(path, flags); },
      [](int fd) { return current->close(fd); },
      [](int fd, unsigned long request, void* arg) { return current->ioctl(fd, request, arg); },
      [](void* a, std::size_t l, int p, int f, int fd, off_t o) {
        return current->mmap(a, l, p, f, fd, o);
      },
      [](void* address, std::size_t length) { return current->munmap(address, length); },
      [](pollfd* fds, nfds_t count, int timeoutMs) { return current->poll(fds, count, timeoutMs); },
  };
  installed_ = std::make_unique<video::ScopedSyscalls>(table);
}

FakeV4l2::~FakeV4l2() {
  installed_.reset();
  for (auto& [address, owner] : mappings_)
    ::munmap(address, owner.first->buffers[owner.second].length);
  for (auto& [fd, device] : devices_) ::close(fd);
  current = nullptr;
}

void FakeV4l2::addNode(const std::string& path, Node node) {
  std::lock_guard lock(mutex_);
  if (!node.content) node.content = defaultContent;
  nodes_[path] = std::move(node);
}

void FakeV4l2::removeNode(const std::string& path) {
  std::lock_guard lock(mutex_);
  nodes_.erase(path);
}

std::vector<std::string> FakeV4l2::callsOfLastOpen(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto it = lastCalls_.find(path);
  return it == lastCalls_.end() ? std::vector<std::string>{} : *it->second;
}

int FakeV4l2::openDescriptors() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(devices_.size());
}

int FakeV4l2::liveMappings() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(mappings_.size());
}

int FakeV4l2::peakDescriptors() const {
  std::lock_guard lock(mutex_);
  return peak_;
}

long FakeV4l2::framesServed() const {
  std::lock_guard lock(mutex_);
  return served_;
}

long FakeV4l2::timedOutPolls() const {
  std::lock_guard lock(mutex_);
  return timedOut_;
}

long FakeV4l2::pollCalls() const {
  std::lock_guard lock(mutex_);
  return polls_;
}

void FakeV4l2::unplugAll() {
  std::lock_guard lock(mutex_);
  for (auto& [fd, device] : devices_) device->unplugged = true;
}

int FakeV4l2::open(const char* path, int) {
  std::lock_guard lock(mutex_);
  const auto it = nodes_.find(path);
  if (it == nodes_.end()) return fail(ENOENT);
  if (it->second.faults.openErrno) return fail(it->second.faults.openErrno);
  const int fd = ::eventfd(0, EFD_CLOEXEC);
  if (fd < 0) return -1;
  auto device = std::make_shared<Device>();
  device->node = it->second;
  device->log = std::make_shared<std::vector<std::string>>();
  lastCalls_[path] = device->log;
  const auto& first = device->node.formats.front();
  fillFormat(device->format, first.fourcc, first.sizes.front().first, first.sizes.front().second);
  devices_[fd] = std::move(device);
  peak_ = std::max(peak_, static_cast<int>(devices_.size()));
  return fd;
}

int FakeV4l2::close(int fd) {
  {
    std::lock_guard lock(mutex_);
    devices_.erase(fd);
  }
  return ::close(fd);
}

bool FakeV4l2::countCall(Device& device, std::string call) {
  ++device.calls;
  device.log->push_back(std::move(call));
  const long at = device.node.faults.unplugAtCall;
  if (at >= 0 && device.calls > at) device.unplugged = true;
  return device.unplugged;
}

int FakeV4l2::ioctl(int fd, unsigned long request, void* arg) {
  std::lock_guard lock(mutex_);
  const auto it = devices_.find(fd);
  if (it == devices_.end()) return fail(EBADF);
  Device& device = *it->second;
  if (countCall(device, describeCall(request, arg))) return fail(ENODEV);
  const int err = deviceIoctl(device, request, arg);
  return err ? fail(err) : 0;
}

int FakeV4l2::deviceIoctl(Device& device, unsigned long request, void* arg) {
  switch (request) {
    case VIDIOC_QUERYCAP: {
      auto* caps = static_cast<v4l2_capability*>(arg);
      *caps = {};
      std::memcpy(caps->driver, "fakecam", 8);
      // Like a driver, fill the whole field; a 32-byte name has no zero.
      std::memcpy(caps->card, device.node.card.data(),
                  std::min(device.node.card.size(), sizeof caps->card));
      std::memcpy(caps->bus_info, device.node.busInfo.data(),
                  std::min(device.node.busInfo.size(), sizeof caps->bus_info));
      caps->version = 0x060100;
      caps->capabilities = device.node.capabilities;
      caps->device_caps = device.node.deviceCaps;
      return 0;
    }
    case VIDIOC_ENUM_FMT: {
      auto* desc = static_cast<v4l2_fmtdesc*>(arg);
      if (desc->index >= device.node.formats.size()) return EINVAL;
      desc->pixelformat = device.node.formats[desc->index].fourcc;
      return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
      auto* size = static_cast<v4l2_frmsizeenum*>(arg);
      for (const auto& f : device.node.formats) {
        if (f.fourcc != size->pixel_format) continue;
        if (size->index >= f.sizes.size()) return EINVAL;
        size->type = V4L2_FRMSIZE_TYPE_DISCRETE;
        size->discrete.width = static_cast<__u32>(f.sizes[size->index].first);
        size->discrete.height = static_cast<__u32>(f.sizes[size->index].second);
        return 0;
      }
      return EINVAL;
    }
    case VIDIOC_G_FMT:
      static_cast<v4l2_format*>(arg)->fmt.pix = device.format;
      return 0;
    case VIDIOC_S_FMT: {
      if (!device.buffers.empty()) return EBUSY;
      auto& pix = static_cast<v4l2_format*>(arg)->fmt.pix;
      const Format* chosen = &device.node.formats.front();
      for (const auto& f : device.node.formats)
        if (f.fourcc == pix.pixelformat) chosen = &f;
      auto size = chosen->sizes.front();
      for (const auto& s : chosen->sizes)
        if (s.first == static_cast<int>(pix.width) && s.second == static_cast<int>(pix.height))
          size = s;
      fillFormat(device.format, chosen->fourcc, size.first, size.second);
      pix = device.format;
      return 0;
    }
    case VIDIOC_G_PARM:
    case VIDIOC_S_PARM: {
      auto& capture = static_cast<v4l2_streamparm*>(arg)->parm.capture;
      capture.capability = V4L2_CAP_TIMEPERFRAME;
      capture.timeperframe = {1, device.node.faults.fpsDenominator};
      return 0;
    }
    case VIDIOC_REQBUFS: {
      auto* wanted = static_cast<v4l2_requestbuffers*>(arg);
      for (const auto& [address, owner] : mappings_)
        if (owner.first.get() == &device) return EBUSY;
      device.buffers.clear();
      device.queue.clear();
      wanted->count = std::min<__u32>(wanted->count, 8);
      device.buffers.resize(wanted->count, Buffer{device.format.sizeimage});
      return 0;
    }
    case VIDIOC_QUERYBUF: {
      auto* buffer = static_cast<v4l2_buffer*>(arg);
      if (buffer->index >= device.buffers.size()) return EINVAL;
      buffer->length = device.buffers[buffer->index].length;
      buffer->m.offset = buffer->index << kOffsetShift;
      return 0;
    }
    case VIDIOC_QBUF: {
      auto* buffer = static_cast<v4l2_buffer*>(arg);
      if (buffer->index >= device.buffers.size() || device.buffers[buffer->index].queued)
        return EINVAL;
      device.buffers[buffer->index].queued = true;
      device.queue.push_back(buffer->index);
      return 0;
    }
    case VIDIOC_DQBUF:
      return dequeue(device, *static_cast<v4l2_buffer*>(arg));
    case VIDIOC_STREAMON:
      if (device.buffers.empty()) return EINVAL;
      device.streaming = true;
      return 0;
    case VIDIOC_STREAMOFF:
      device.streaming = false;
      device.queue.clear();
      for (auto& b : device.buffers) b.queued = false;
      return 0;
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL: {
      auto* control = static_cast<v4l2_control*>(arg);
      const auto known = device.node.controls.find(control->id);
      if (known == device.node.controls.end()) return EINVAL;
      if (request == VIDIOC_S_CTRL)
        known->second = control->value;
      else
        control->value = known->second;
      return 0;
    }
    case VIDIOC_QUERYCTRL:
      return EINVAL;
    default:
      return ENOTTY;
  }
}

int FakeV4l2::dequeue(Device& device, v4l2_buffer& buffer) {
  if (!device.streaming) return EINVAL;
  if (device.queue.empty() || device.node.faults.stalled) return EAGAIN;
  const std::uint32_t index = device.queue.front();
  device.queue.pop_front();
  Buffer& slot = device.buffers[index];
  slot.queued = false;
  const long n = device.frameNumber++;
  const Faults& faults = device.node.faults;
  buffer.index = index;
  if (wants(faults, faults.eioFrames, n)) return EIO;
  auto bytes = device.node.content(device.format.pixelformat, static_cast<int>(device.format.width),
                                   static_cast<int>(device.format.height), n);
  if (wants(faults, faults.truncatedFrames, n)) bytes.resize(bytes.size() / 2);
  const auto size = std::min<std::size_t>(bytes.size(), slot.length);
  if (slot.memory) std::memcpy(slot.memory, bytes.data(), size);
  buffer.bytesused = static_cast<__u32>(size);
  if (wants(faults, faults.oversizeFrames, n)) buffer.bytesused = slot.length + 4096;
  buffer.flags = V4L2_BUF_FLAG_MAPPED | V4L2_BUF_FLAG_DONE;
  if (wants(faults, faults.errorFlagFrames, n)) buffer.flags |= V4L2_BUF_FLAG_ERROR;
  buffer.sequence = static_cast<__u32>(n);
  buffer.length = slot.length;
  ++served_;
  return 0;
}

void* FakeV4l2::mmap(void* address, std::size_t length, int protection, int flags, int fd,
                     off_t offset) {
  std::lock_guard lock(mutex_);
  const auto it = devices_.find(fd);
  if (it == devices_.end()) return ::mmap(address, length, protection, flags, fd, offset);
  auto& device = it->second;
  const auto index = static_cast<std::uint32_t>(offset >> kOffsetShift);
  if (countCall(*device, "mmap")) {
    errno = ENODEV;
    return MAP_FAILED;
  }
  if (index >= device->buffers.size() || length != device->buffers[index].length) {
    errno = EINVAL;
    return MAP_FAILED;
  }
  void* memory =
      ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return MAP_FAILED;
  device->buffers[index].memory = static_cast<unsigned char*>(memory);
  mappings_[memory] = {device, index};
  return memory;
}

int FakeV4l2::munmap(void* address, std::size_t length) {
  std::lock_guard lock(mutex_);
  const auto it = mappings_.find(address);
  if (it != mappings_.end()) {
    it->second.first->buffers[it->second.second].memory = nullptr;
    mappings_.erase(it);
  }
  return ::munmap(address, length);
}

int FakeV4l2::poll(pollfd* fds, nfds_t count, int timeoutMs) {
  std::vector<pollfd> real(fds, fds + count);
  int ready = 0;
  {
    std::lock_guard lock(mutex_);
    ++polls_;
    for (nfds_t i = 0; i < count; ++i) {
      fds[i].revents = 0;
      const auto it = devices_.find(fds[i].fd);
      if (it == devices_.end()) continue;
      real[i].fd = -1;
      Device& device = *it->second;
      if (countCall(device, "poll"))
        fds[i].revents = POLLERR | POLLHUP;
      else if (device.streaming && !device.queue.empty() && !device.node.faults.stalled)
        fds[i].revents = POLLIN;
      if (fds[i].revents) ++ready;
    }
  }
  const int waited = ::poll(real.data(), count, ready ? 0 : timeoutMs);
  if (waited < 0) return -1;
  for (nfds_t i = 0; i < count; ++i)
    if (real[i].fd >= 0) fds[i].revents = real[i].revents;
  if (waited == 0 && ready == 0) {
    std::lock_guard lock(mutex_);
    ++timedOut_;
  }
  return ready + waited;
}

}  // namespace fakev4l2
