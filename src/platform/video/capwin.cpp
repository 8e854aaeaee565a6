#include "platform/video/capwin.h"

#include <QApplication>
#include <QImage>
#include <QThread>
#include <algorithm>
#include <cstring>

#include "platform/video/capturewindow.h"
#include "platform/video/deviceprovider.h"
#include "platform/video/handletable.h"

namespace video {
namespace {

MessageObserver& observer() {
  static MessageObserver instance;
  return instance;
}

void notify(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (observer()) observer()(window, message, wParam, lParam);
}

// Copies at most size - 1 bytes and a terminating zero, never cutting a UTF-8
// sequence in half.
void copyText(const std::string& text, char* out, int size) {
  if (!out || size <= 0) return;
  std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
  if (length < text.size())
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

bool onGuiThread() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  return app && QThread::currentThread() == app->thread();
}

}  // namespace

int capGetDriverDescriptionA(int index, char* name, int nameSize, char* version, int versionSize) {
  if (index < 0 || index >= kMaxDrivers) return 0;
  const auto drivers = currentDeviceProvider()->drivers();
  if (index >= static_cast<int>(drivers.size())) return 0;
  const auto& driver = drivers[static_cast<std::size_t>(index)];
  copyText(driver.name, name, nameSize);
  copyText(driver.version, version, versionSize);
  return 1;
}

HWND capCreateCaptureWindowA(const std::string& windowName, std::uint32_t style, int x, int y,
                             int width, int height, QWidget* parent, int /*id*/) {
  if (!onGuiThread()) return 0;
  auto* window = new CaptureWindow(currentDeviceProvider(), parent);
  window->setWindowTitle(QString::fromStdString(windowName));
  window->setGeometry(x, y, std::max(0, width), std::max(0, height));
  const HWND handle = registerWindow(window);
  window->setObjectName(QStringLiteral("capture window %1").arg(handle));
  if (style & WS_VISIBLE) window->show();
  notify(handle, WM_CREATE, width, height);
  return handle;
}

LRESULT SendMessageA(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
  notify(window, message, wParam, lParam);
  CaptureWindow* target = findWindow(window);
  return target ? target->handleMessage(message, wParam, lParam) : 0;
}

bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                  std::uint32_t flags) {
  notify(window, WM_WINDOWPOSCHANGED, cx, cy);
  CaptureWindow* target = findWindow(window);
  if (!target) return false;
  if (!(flags & SWP_NOMOVE)) target->move(x, y);
  if (!(flags & SWP_NOSIZE)) target->resize(std::max(0, cx), std::max(0, cy));
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_BOTTOM)
      target->lower();
    else if (insertAfter == HWND_TOP)
      target->raise();
  }
  return true;
}

bool DestroyWindow(HWND window) {
  notify(window, WM_DESTROY, 0, 0);
  CaptureWindow* target = findWindow(window);
  unregisterWindow(window);
  delete target;  // stops the stream first
  return target != nullptr;
}

void setMessageObserver(MessageObserver newObserver) {
  observer() = std::move(newObserver);
}

QImage windowPixels(HWND window) {
  const CaptureWindow* target = findWindow(window);
  return target ? target->pixels() : QImage();
}

QWidget* captureWidget(HWND window) {
  return findWindow(window);
}

}  // namespace video
