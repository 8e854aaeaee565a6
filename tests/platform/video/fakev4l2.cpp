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
  // Controls, rates and pacing.
  std::map<std::uint32_t, std::int32_t> values;
  v4l2_fract timePerFrame{1, 30};
  std::chrono::steady_clock::time_point streamOn;
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
    case VIDIOC_S_EXT_CTRLS: {
      const auto* list = static_cast<const v4l2_ext_controls*>(arg);
      std::string text = "S_EXT_CTRLS";
      for (std::uint32_t i = 0; i < list->count; ++i)
        text += ' ' + hexId(list->controls[i].id) + '=' + std::to_string(list->controls[i].value);
      return text;
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

std::pair<int, int> firstSize(const Format& f) {
  if (f.sizeRange)
    return {static_cast<int>(f.sizeRange->max_width), static_cast<int>(f.sizeRange->max_height)};
  return f.sizes.front();
}

std::string usualName(std::uint32_t fourcc) {
  switch (fourcc) {
    case V4L2_PIX_FMT_MJPEG:
      return "Motion-JPEG";
    case V4L2_PIX_FMT_YUYV:
      return "YUYV 4:2:2";
    default:
      return "Other";
  }
}

bool offersSize(const Format& f, int width, int height) {
  if (!f.sizeRange)
    return std::find(f.sizes.begin(), f.sizes.end(), std::pair{width, height}) != f.sizes.end();
  const auto& r = *f.sizeRange;
  const auto fits = [](int v, __u32 lo, __u32 hi, __u32 step) {
    return v >= static_cast<int>(lo) && v <= static_cast<int>(hi) &&
           (step <= 1 || (static_cast<__u32>(v) - lo) % step == 0);
  };
  return fits(width, r.min_width, r.max_width, r.step_width) &&
         fits(height, r.min_height, r.max_height, r.step_height);
}

// As drivers do: a size of the list as asked or the first; a range clamps
// and rounds onto its steps.
std::pair<int, int> nearestSize(const Format& f, int width, int height) {
  if (!f.sizeRange)
    return offersSize(f, width, height) ? std::pair{width, height} : f.sizes.front();
  const auto& r = *f.sizeRange;
  const auto onto = [](int v, __u32 lo, __u32 hi, __u32 step) {
    const int clamped = std::clamp(v, static_cast<int>(lo), static_cast<int>(hi));
    const int s = std::max<int>(1, static_cast<int>(step));
    return static_cast<int>(lo) + (clamped - static_cast<int>(lo)) / s * s;
  };
  return {onto(width, r.min_width, r.max_width, r.step_width),
          onto(height, r.min_height, r.max_height, r.step_height)};
}

// S_PARM keeps an interval the format lists (or one within its range);
// anything else becomes the first it lists. A format that lists none keeps
// the node's fixed rate.
void setInterval(Device& device, v4l2_fract wanted) {
  const Format* f = nullptr;
  for (const auto& candidate : device.node.formats)
    if (candidate.fourcc == device.format.pixelformat) f = &candidate;
  if (!f || wanted.denominator == 0) return;
  if (f->intervalRange) {
    const auto& r = *f->intervalRange;
    const double s = static_cast<double>(wanted.numerator) / wanted.denominator;
    const double lo = static_cast<double>(r.min.numerator) / r.min.denominator;
    const double hi = static_cast<double>(r.max.numerator) / r.max.denominator;
    device.timePerFrame = s < lo ? r.min : s > hi ? r.max : wanted;
    return;
  }
  if (f->intervals.empty()) return;
  device.timePerFrame = f->intervals.front();
  for (const auto& i : f->intervals)
    if (i.numerator * wanted.denominator == wanted.numerator * i.denominator)
      device.timePerFrame = i;
}

int msUntilDue(const Device& device) {
  if (device.timePerFrame.denominator == 0) return 0;
  const auto interval = std::chrono::microseconds(1'000'000LL * device.timePerFrame.numerator /
                                                  device.timePerFrame.denominator);
  const auto due = device.streamOn + interval * device.frameNumber;
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<long>(0, left.count()));
}

// What VIDIOC_QUERY_EXT_CTRL tells of a control; INACTIVE follows its switch.
void describe(Device& device, const Control& c, v4l2_query_ext_ctrl& query) {
  query = {};
  query.id = c.id;
  query.type = c.type;
  std::memcpy(query.name, c.name.data(), std::min(c.name.size(), sizeof query.name - 1));
  query.minimum = c.minimum;
  query.maximum = c.maximum;
  query.step = static_cast<__u64>(c.step);
  query.default_value = c.defaultValue;
  query.flags = c.flags;
  if (c.heldBy && device.values[c.heldBy] != c.freeWhen) query.flags |= V4L2_CTRL_FLAG_INACTIVE;
  query.elem_size = c.type >= V4L2_CTRL_COMPOUND_TYPES ? 1 : 4;
  query.elems = 1;
  if (c.type >= V4L2_CTRL_COMPOUND_TYPES) {
    query.flags |= V4L2_CTRL_FLAG_HAS_PAYLOAD;
    query.nr_of_dims = 1;
    query.dims[0] = 16;
    query.elems = 16;
  }
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
  const auto [width, height] = firstSize(first);
  fillFormat(device->format, first.fourcc, width, height);
  device->timePerFrame = {1, device->node.faults.fpsDenominator};
  for (const auto& c : device->node.controls) device->values[c.id] = c.defaultValue;
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
    case VIDIOC_ENUM_FMT:
    case VIDIOC_ENUM_FRAMESIZES:
    case VIDIOC_ENUM_FRAMEINTERVALS:
    case VIDIOC_S_FMT:
    case VIDIOC_G_PARM:
    case VIDIOC_S_PARM:
      return sizeIoctl(device, request, arg);
    case VIDIOC_G_FMT:
      static_cast<v4l2_format*>(arg)->fmt.pix = device.format;
      return 0;
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
      device.streamOn = std::chrono::steady_clock::now();
      return 0;
    case VIDIOC_STREAMOFF:
      device.streaming = false;
      device.queue.clear();
      for (auto& b : device.buffers) b.queued = false;
      return 0;
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL:
    case VIDIOC_QUERY_EXT_CTRL:
    case VIDIOC_QUERYMENU:
    case VIDIOC_G_EXT_CTRLS:
    case VIDIOC_S_EXT_CTRLS:
      return controlIoctl(device, request, arg);
    default:
      return ENOTTY;
  }
}

int FakeV4l2::dequeue(Device& device, v4l2_buffer& buffer) {
  if (!device.streaming) return EINVAL;
  if (device.queue.empty() || device.node.faults.stalled || !frameDue(device)) return EAGAIN;
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
  int waitMs = timeoutMs;
  {
    std::lock_guard lock(mutex_);
    ++polls_;
    for (nfds_t i = 0; i < count; ++i) {
      fds[i].revents = 0;
      const auto it = devices_.find(fds[i].fd);
      if (it == devices_.end()) continue;
      real[i].fd = -1;
      Device& device = *it->second;
      const bool filled = device.streaming && !device.queue.empty() && !device.node.faults.stalled;
      if (countCall(device, "poll"))
        fds[i].revents = POLLERR | POLLHUP;
      else if (filled && frameDue(device))
        fds[i].revents = POLLIN;
      else if (filled)
        waitMs = std::min(waitMs, msUntilDue(device));
      if (fds[i].revents) ++ready;
    }
  }
  const int waited = ::poll(real.data(), count, ready ? 0 : waitMs);
  if (waited < 0) return -1;
  for (nfds_t i = 0; i < count; ++i)
    if (real[i].fd >= 0) fds[i].revents = real[i].revents;
  std::lock_guard lock(mutex_);
  if (ready == 0 && waited == 0 && waitMs < timeoutMs) {
    // A paced frame came due while we waited.
    for (nfds_t i = 0; i < count; ++i) {
      const auto it = devices_.find(fds[i].fd);
      if (it == devices_.end()) continue;
      const Device& device = *it->second;
      if (device.streaming && !device.queue.empty() && frameDue(device)) {
        fds[i].revents = POLLIN;
        ++ready;
      }
    }
  }
  if (waited == 0 && ready == 0) ++timedOut_;
  return ready + waited;
}

// --- Frame sizes, intervals and descriptions ---

bool FakeV4l2::frameDue(const Device& device) const {
  if (!device.node.paced || device.timePerFrame.denominator == 0) return true;
  const auto interval = std::chrono::microseconds(1'000'000LL * device.timePerFrame.numerator /
                                                  device.timePerFrame.denominator);
  return std::chrono::steady_clock::now() >= device.streamOn + interval * device.frameNumber;
}

int FakeV4l2::sizeIoctl(Device& device, unsigned long request, void* arg) {
  const auto formatOf = [&](std::uint32_t fourcc) -> const Format* {
    for (const auto& f : device.node.formats)
      if (f.fourcc == fourcc) return &f;
    return nullptr;
  };
  switch (request) {
    case VIDIOC_ENUM_FMT: {
      auto* desc = static_cast<v4l2_fmtdesc*>(arg);
      if (desc->index >= device.node.formats.size()) return EINVAL;
      const Format& f = device.node.formats[desc->index];
      desc->pixelformat = f.fourcc;
      const std::string text = !f.description.empty() ? f.description : usualName(f.fourcc);
      std::memset(desc->description, 0, sizeof desc->description);
      std::memcpy(desc->description, text.data(),
                  std::min(text.size(), sizeof desc->description - 1));
      return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
      auto* size = static_cast<v4l2_frmsizeenum*>(arg);
      const Format* f = formatOf(size->pixel_format);
      if (!f) return EINVAL;
      if (f->sizeRange) {
        if (size->index != 0) return EINVAL;
        size->type = f->continuous ? V4L2_FRMSIZE_TYPE_CONTINUOUS : V4L2_FRMSIZE_TYPE_STEPWISE;
        size->stepwise = *f->sizeRange;
        return 0;
      }
      if (size->index >= f->sizes.size()) return EINVAL;
      size->type = V4L2_FRMSIZE_TYPE_DISCRETE;
      size->discrete.width = static_cast<__u32>(f->sizes[size->index].first);
      size->discrete.height = static_cast<__u32>(f->sizes[size->index].second);
      return 0;
    }
    case VIDIOC_ENUM_FRAMEINTERVALS: {
      auto* ival = static_cast<v4l2_frmivalenum*>(arg);
      const Format* f = formatOf(ival->pixel_format);
      if (!f || !offersSize(*f, static_cast<int>(ival->width), static_cast<int>(ival->height)))
        return EINVAL;
      if (f->intervalRange) {
        if (ival->index != 0) return EINVAL;
        ival->type = V4L2_FRMIVAL_TYPE_STEPWISE;
        ival->stepwise = *f->intervalRange;
        return 0;
      }
      if (ival->index >= f->intervals.size()) return EINVAL;
      ival->type = V4L2_FRMIVAL_TYPE_DISCRETE;
      ival->discrete = f->intervals[ival->index];
      return 0;
    }
    case VIDIOC_S_FMT: {
      if (!device.buffers.empty()) return EBUSY;
      auto& pix = static_cast<v4l2_format*>(arg)->fmt.pix;
      const Format* chosen = formatOf(pix.pixelformat);
      if (!chosen) chosen = &device.node.formats.front();
      auto size = nearestSize(*chosen, static_cast<int>(pix.width), static_cast<int>(pix.height));
      fillFormat(device.format, chosen->fourcc, size.first, size.second);
      pix = device.format;
      return 0;
    }
    case VIDIOC_G_PARM:
    case VIDIOC_S_PARM: {
      auto& capture = static_cast<v4l2_streamparm*>(arg)->parm.capture;
      if (request == VIDIOC_S_PARM) setInterval(device, capture.timeperframe);
      capture.capability = V4L2_CAP_TIMEPERFRAME;
      capture.timeperframe = device.timePerFrame;
      return 0;
    }
    default:
      return ENOTTY;
  }
}

// --- Controls ---

int FakeV4l2::controlIoctl(Device& device, unsigned long request, void* arg) {
  auto& controls = device.node.controls;
  const auto find = [&](std::uint32_t id) -> Control* {
    for (auto& c : controls)
      if (c.id == id) return &c;
    return nullptr;
  };
  switch (request) {
    case VIDIOC_QUERY_EXT_CTRL: {
      auto* query = static_cast<v4l2_query_ext_ctrl*>(arg);
      const std::uint32_t nextFlags = V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND;
      const std::uint32_t wanted = query->id & ~nextFlags;
      const Control* found = nullptr;
      if (query->id & nextFlags) {
        for (const auto& c : controls) {
          const bool compound = c.type >= V4L2_CTRL_COMPOUND_TYPES;
          if (c.id <= wanted) continue;
          if (compound ? !(query->id & V4L2_CTRL_FLAG_NEXT_COMPOUND)
                       : !(query->id & V4L2_CTRL_FLAG_NEXT_CTRL))
            continue;
          if (!found || c.id < found->id) found = &c;
        }
      } else {
        found = find(wanted);
      }
      if (!found) return EINVAL;
      describe(device, *found, *query);
      return 0;
    }
    case VIDIOC_QUERYMENU: {
      auto* menu = static_cast<v4l2_querymenu*>(arg);
      const Control* c = find(menu->id);
      if (!c) return EINVAL;
      if (c->type == V4L2_CTRL_TYPE_MENU) {
        const auto it = c->menu.find(menu->index);
        if (it == c->menu.end()) return EINVAL;
        std::memset(menu->name, 0, sizeof menu->name);
        std::memcpy(menu->name, it->second.data(),
                    std::min(it->second.size(), sizeof menu->name - 1));
        return 0;
      }
      if (c->type == V4L2_CTRL_TYPE_INTEGER_MENU) {
        const auto it = c->integerMenu.find(menu->index);
        if (it == c->integerMenu.end()) return EINVAL;
        menu->value = it->second;
        return 0;
      }
      return EINVAL;
    }
    case VIDIOC_G_EXT_CTRLS:
    case VIDIOC_S_EXT_CTRLS:
      return extControls(device, *static_cast<v4l2_ext_controls*>(arg),
                         request == VIDIOC_S_EXT_CTRLS);
    default:
      return EINVAL;  // the old single-control calls: this device only speaks the extended ones
  }
}

int FakeV4l2::extControls(Device& device, v4l2_ext_controls& list, bool write) {
  if (list.which != V4L2_CTRL_WHICH_CUR_VAL && (list.which & 0xFFFF) != 0) return EINVAL;
  for (std::uint32_t i = 0; i < list.count; ++i) {
    auto& entry = list.controls[i];
    list.error_idx = i;
    const Control* c = nullptr;
    for (const auto& candidate : device.node.controls)
      if (candidate.id == entry.id) c = &candidate;
    if (!c || c->type == V4L2_CTRL_TYPE_CTRL_CLASS || (c->flags & V4L2_CTRL_FLAG_DISABLED))
      return EINVAL;
    if (list.which != V4L2_CTRL_WHICH_CUR_VAL && V4L2_CTRL_ID2CLASS(c->id) != list.which)
      return EINVAL;
    if (!write) {
      if (c->flags & V4L2_CTRL_FLAG_WRITE_ONLY || c->type == V4L2_CTRL_TYPE_BUTTON) return EACCES;
      entry.value = device.values[c->id];
      continue;
    }
    if (c->flags & V4L2_CTRL_FLAG_READ_ONLY) return EACCES;
    if (c->type != V4L2_CTRL_TYPE_BUTTON && (entry.value < c->minimum || entry.value > c->maximum))
      return ERANGE;
    if (c->type == V4L2_CTRL_TYPE_MENU && !c->menu.count(static_cast<std::uint32_t>(entry.value)))
      return EINVAL;
    if (c->type != V4L2_CTRL_TYPE_BUTTON) device.values[c->id] = entry.value;
    writes_.push_back({c->id, entry.value});
  }
  list.error_idx = list.count;
  return 0;
}

std::vector<ControlWrite> FakeV4l2::controlWrites() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

void FakeV4l2::clearControlWrites() {
  std::lock_guard lock(mutex_);
  writes_.clear();
}

std::vector<Control> webcamControls() {
  const auto control = [](std::uint32_t id, std::uint32_t type, const char* name, int min, int max,
                          int def) {
    Control c;
    c.id = id;
    c.type = type;
    c.name = name;
    c.minimum = min;
    c.maximum = max;
    c.defaultValue = def;
    return c;
  };
  Control userClass =
      control(V4L2_CID_USER_CLASS, V4L2_CTRL_TYPE_CTRL_CLASS, "User Controls", 0, 0, 0);
  userClass.flags = V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_WRITE_ONLY;
  Control cameraClass = userClass;
  cameraClass.id = V4L2_CID_CAMERA_CLASS;
  cameraClass.name = "Camera Controls";
  Control brightness =
      control(V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, "Brightness", -64, 64, 0);
  Control contrast = control(V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, "Contrast", 0, 95, 32);
  contrast.step = 1;
  Control gain = control(V4L2_CID_GAIN, V4L2_CTRL_TYPE_INTEGER, "Gain", 0, 100, 10);
  gain.flags = V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_VOLATILE;
  Control hue = control(V4L2_CID_HUE, V4L2_CTRL_TYPE_INTEGER, "Hue", -40, 40, 0);
  hue.flags = V4L2_CTRL_FLAG_DISABLED;
  Control autoWhite = control(V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CTRL_TYPE_BOOLEAN,
                              "White Balance, Automatic", 0, 1, 1);
  autoWhite.flags = V4L2_CTRL_FLAG_UPDATE;
  Control temperature = control(V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CTRL_TYPE_INTEGER,
                                "White Balance Temperature", 2800, 6500, 4600);
  temperature.step = 10;
  temperature.heldBy = V4L2_CID_AUTO_WHITE_BALANCE;
  temperature.freeWhen = 0;
  Control powerLine =
      control(V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CTRL_TYPE_MENU, "Power Line Frequency", 0, 2, 1);
  powerLine.menu = {{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}};
  Control autoExposure =
      control(V4L2_CID_EXPOSURE_AUTO, V4L2_CTRL_TYPE_MENU, "Auto Exposure", 0, 3, 3);
  autoExposure.menu = {{1, "Manual Mode"}, {3, "Aperture Priority Mode"}};  // 0 and 2 are holes
  autoExposure.flags = V4L2_CTRL_FLAG_UPDATE;
  Control exposure = control(V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER,
                             "Exposure Time, Absolute", 3, 2047, 250);
  exposure.heldBy = V4L2_CID_EXPOSURE_AUTO;
  exposure.freeWhen = V4L2_EXPOSURE_MANUAL;
  Control zoom =
      control(V4L2_CID_ZOOM_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER_MENU, "Zoom, Absolute", 0, 2, 0);
  zoom.integerMenu = {{0, 100}, {1, 150}, {2, 200}};
  Control reset = control(V4L2_CID_PAN_RESET, V4L2_CTRL_TYPE_BUTTON, "Pan, Reset", 0, 0, 0);
  reset.flags = V4L2_CTRL_FLAG_WRITE_ONLY;
  Control region =
      control(V4L2_CID_CAMERA_CLASS_BASE + 0x100, V4L2_CTRL_TYPE_U8, "Region", 0, 255, 0);
  return {userClass,   brightness,  contrast,     hue,      autoWhite, gain, powerLine,
          temperature, cameraClass, autoExposure, exposure, reset,     zoom, region};
}

}  // namespace fakev4l2
