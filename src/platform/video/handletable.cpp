#include "platform/video/handletable.h"

#include <QPointer>
#include <unordered_map>

#include "platform/video/capturewindow.h"

namespace video {
namespace {

struct HandleTable {
  std::unordered_map<HWND, QPointer<CaptureWindow>> windows;
  HWND next = 0x1000;  // clear of HWND_BOTTOM and other small special values
};

HandleTable& table() {
  static HandleTable instance;
  return instance;
}

}  // namespace

HWND registerWindow(CaptureWindow* window) {
  auto& t = table();
  const HWND handle = t.next;
  t.next += 4;
  t.windows.emplace(handle, window);
  return handle;
}

CaptureWindow* findWindow(HWND handle) {
  auto& windows = table().windows;
  const auto it = windows.find(handle);
  if (it == windows.end()) return nullptr;
  if (it->second.isNull()) {
    windows.erase(it);
    return nullptr;
  }
  return it->second.data();
}

void unregisterWindow(HWND handle) {
  table().windows.erase(handle);
}

}  // namespace video
