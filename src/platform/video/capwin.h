#pragma once
// The capture-window calls the program is written against, on Linux: drivers
// are the capture-capable video devices (or the synthetic cameras), numbered
// 0 to 9; a capture window is a widget known by a small integer handle and
// driven by the messages below, with the values of the original platform.

#include <cstdint>
#include <functional>
#include <string>

class QImage;
class QWidget;

namespace video {

using HWND = std::int32_t;
using WPARAM = std::int32_t;
using LPARAM = std::int32_t;
using LRESULT = std::int32_t;

inline constexpr std::uint32_t WM_USER = 0x400;
inline constexpr std::uint32_t WM_CAP_DRIVER_CONNECT = WM_USER + 10;     // 0x40A
inline constexpr std::uint32_t WM_CAP_DRIVER_DISCONNECT = WM_USER + 11;  // 0x40B
inline constexpr std::uint32_t WM_CAP_EDIT_COPY = WM_USER + 30;          // 0x41E
inline constexpr std::uint32_t WM_CAP_DLG_VIDEOFORMAT = WM_USER + 41;    // 0x429
inline constexpr std::uint32_t WM_CAP_DLG_VIDEOSOURCE = WM_USER + 42;    // 0x42A
inline constexpr std::uint32_t WM_CAP_SET_PREVIEW = WM_USER + 50;        // 0x432
inline constexpr std::uint32_t WM_CAP_SET_PREVIEWRATE = WM_USER + 52;    // 0x434
inline constexpr std::uint32_t WM_CAP_SET_SCALE = WM_USER + 53;          // 0x435
inline constexpr std::uint32_t WM_CAP_GRAB_FRAME = WM_USER + 60;         // 0x43C

inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr HWND HWND_TOP = 0;
inline constexpr HWND HWND_BOTTOM = 1;
inline constexpr std::uint32_t SWP_NOSIZE = 0x1;
inline constexpr std::uint32_t SWP_NOMOVE = 0x2;
inline constexpr std::uint32_t SWP_NOZORDER = 0x4;

// What the message observer reports for calls that are not messages.
inline constexpr std::uint32_t WM_CREATE = 0x0001;            // wParam width, lParam height
inline constexpr std::uint32_t WM_DESTROY = 0x0002;           // DestroyWindow
inline constexpr std::uint32_t WM_WINDOWPOSCHANGED = 0x0047;  // SetWindowPos: wParam cx, lParam cy

// Fills name and version (each at most size - 1 characters and a terminating
// zero) for driver `index`; non-zero when such a driver exists.
int capGetDriverDescriptionA(int index, char* name, int nameSize, char* version, int versionSize);

// Creates a capture window as a child of `parent`; 0 on failure.
HWND capCreateCaptureWindowA(const std::string& windowName, std::uint32_t style, int x, int y,
                             int width, int height, QWidget* parent, int id);
LRESULT SendMessageA(HWND window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, std::uint32_t flags);
bool DestroyWindow(HWND window);

// Sees every capture-window call in order: capCreateCaptureWindowA (as
// WM_CREATE, with the new handle), SendMessageA, SetWindowPos (as
// WM_WINDOWPOSCHANGED) and DestroyWindow (as WM_DESTROY), including calls to
// handles that no longer exist. An empty function removes the observer.
using MessageObserver = std::function<void(HWND, std::uint32_t message, WPARAM, LPARAM)>;
void setMessageObserver(MessageObserver observer);

// The pixels the capture window shows, at its size, exactly as painted; a null
// image for an unknown or destroyed handle.
QImage windowPixels(HWND window);

// The widget behind a handle, or nullptr.
QWidget* captureWidget(HWND window);

}  // namespace video
