#pragma once
// The capture window: a widget that connects to a driver, shows its preview
// and answers the capture messages of capwin.h. Owns at most one stream.

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "platform/video/capwin.h"
#include "platform/video/deviceprovider.h"

namespace video {

class CaptureStream;

class CaptureWindow final : public QWidget {
  Q_OBJECT

 public:
  CaptureWindow(std::shared_ptr<DeviceProvider> provider, QWidget* parent);
  ~CaptureWindow() override;

  LRESULT handleMessage(std::uint32_t message, WPARAM wParam, LPARAM lParam);

  // Exactly the pixels paintEvent draws, at the widget's size.
  QImage pixels() const;
  bool isConnected() const { return stream_ != nullptr; }
  bool isPreviewing() const { return preview_; }
  // The frame the window shows, at the size it was decoded to.
  QImage currentFrame() const { return shown_; }
  CaptureStream* stream() const { return stream_.get(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  LRESULT connectDriver(int number);
  LRESULT disconnectDriver();
  LRESULT setScale(bool on);
  LRESULT setPreviewRate(int milliseconds);
  LRESULT setPreview(bool on);
  LRESULT grabFrame();
  LRESULT copyFrame();
  void pullFrame();
  void streamEnded(std::uint64_t generation);
  void updateTargetSize();
  void updateTimer();
  void render(QPainter& painter) const;
  QSize formatWindowSize() const;

  std::shared_ptr<DeviceProvider> provider_;
  std::unique_ptr<CaptureStream> stream_;
  int driver_ = -1;
  std::uint64_t generation_ = 0;
  std::uint64_t seen_ = 0;
  bool scale_ = false;
  bool preview_ = false;
  QTimer previewTimer_;
  QImage shown_;
  mutable QImage scaledCache_;
  mutable qint64 scaledFrom_ = 0;
};

}  // namespace video
