#pragma once
// Helpers for tests that take photos: the capture window frozen on one frame
// (so "the pixels at F5 time" are known) and what a grab of it must give.

#include <QImage>
#include <QPainter>
#include <QTest>

#include "workspace/form1.h"

namespace testsupport {

// A picture with more than one colour in it: a camera frame has arrived.
inline bool showsAFrame(const QImage& pixels) {
  if (pixels.isNull()) return false;
  const QImage rgb = pixels.convertToFormat(QImage::Format_RGB32);
  const QRgb first = rgb.pixel(0, 0);
  for (int y = 0; y < rgb.height(); ++y) {
    for (int x = 0; x < rgb.width(); ++x) {
      if (rgb.pixel(x, y) != first) return true;
    }
  }
  return false;
}

// Waits for the workspace's live picture, then stops the preview so it
// stays as it is.
inline bool freezeLivePicture(Form1& form) {
  video::CaptureWindow* camera = form.webCam().captureWindow();
  if (!camera) return false;
  if (!QTest::qWaitFor([&] { return showsAFrame(camera->pixels()); })) return false;
  camera->setPreview(false);
  return true;
}

// The workspace capture window's pixels at the top-left of a black
// width × height picture.
inline QImage grabOfCaptureWindow(Form1& form, int width, int height) {
  QImage expected(width, height, QImage::Format_RGB32);
  expected.fill(Qt::black);
  QPainter painter(&expected);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  if (const video::CaptureWindow* camera = form.webCam().captureWindow())
    painter.drawImage(0, 0, camera->pixels());
  return expected;
}

inline QImage rgb32(const QImage& image) {
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace testsupport
