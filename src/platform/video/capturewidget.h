#pragma once
// The real capture window: a widget that connects to a driver of its
// provider, shows the live picture and grabs frames. Owns at most one stream.

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "platform/video/capturewindow.h"
#include "platform/video/deviceprovider.h"

namespace video {

class CaptureStream;

class CaptureWidget final : public QWidget, public CaptureWindow {
  Q_OBJECT

 public:
  CaptureWidget(std::shared_ptr<DeviceProvider> provider, QWidget* parent);
  ~CaptureWidget() override;

  bool connectDriver(int number) override;
  void disconnectDriver() override;
  void setScale(bool on) override;
  void setPreviewRate(int milliseconds) override;
  void setPreview(bool on) override;
  void resizeTo(QSize size) override { resize(size.expandedTo(QSize(0, 0))); }
  bool grabFrame() override;
  bool copyFrame() override;
  bool showFormatDialog() override { return false; }
  bool showSourceDialog() override { return false; }
  QImage pixels() const override;
  QWidget* widget() override { return this; }

  bool isConnected() const { return stream_ != nullptr; }
  bool isPreviewing() const { return preview_; }
  // The frame the window shows, at the size it was decoded to.
  QImage currentFrame() const { return shown_; }
  CaptureStream* stream() const { return stream_.get(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
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
