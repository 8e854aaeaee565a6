#pragma once
// The real capture window: a widget that connects to a driver of its
// provider, shows the live picture and grabs frames. Owns at most one stream.
// Given camera profiles, it opens each camera the way the user last set it
// up and remembers each change made in the dialogs; a camera pulled out shows
// black and, when it is plugged in again, is reconnected by itself.

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/video/cameraprofiles.h"
#include "platform/video/capturewindow.h"
#include "platform/video/deviceprovider.h"

namespace video {

class CaptureStream;

class CaptureWidget final : public QWidget, public CaptureWindow {
  Q_OBJECT

 public:
  // `profiles` null: every camera opens with the default choice and nothing
  // is remembered.
  CaptureWidget(std::shared_ptr<DeviceProvider> provider, QWidget* parent,
                std::shared_ptr<CameraProfiles> profiles = {});
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
  // The camera connected, or the one lost and waited for; empty otherwise.
  const std::string& cameraIdentity() const { return identity_; }
  // The format the stream was set up with.
  FormatOption currentFormat() const { return format_; }
  // True while a camera that was pulled out is waited for.
  bool isWaitingForCamera() const { return waiting_; }

 signals:
  // The user changed the format or a control in one of the dialogs.
  void cameraSettingsChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void pullFrame();
  void streamEnded(std::uint64_t generation);
  void devicesChanged();
  bool openAndStart(int number);
  bool startStream(OpenedDriver opened, int number);
  bool reconnect();
  void saveProfile();
  std::optional<FormatOption> formatFor(const CaptureDevice& device,
                                        const std::optional<CameraProfile>& profile);
  void letGo();
  void updateTargetSize();
  void updateTimer();
  void render(QPainter& painter) const;
  QSize formatWindowSize() const;

  std::shared_ptr<DeviceProvider> provider_;
  std::shared_ptr<CameraProfiles> profiles_;
  std::unique_ptr<CaptureStream> stream_;
  int driver_ = -1;
  std::string identity_;
  FormatOption format_;
  bool waiting_ = false;
  // The devices changed since the camera was lost (and it was not among
  // them): one more look is worth it when asked to connect.
  bool lookAgain_ = false;
  QElapsedTimer lookedAt_;
  // The device list changed while the stream still ran: the stream may end
  // because of that change, and then deserves one look for its camera.
  bool changedWhileStreaming_ = false;
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
