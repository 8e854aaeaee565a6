#pragma once
// The real capture window: a widget that connects to a driver of its
// provider, shows the live picture and grabs frames. Owns at most one stream.
// Offers the driver's format dialog (pixel format, size, frame rate) and
// source dialog (the device's controls). Given camera profiles, it opens each
// camera the way the user last set it up and remembers each change made in
// the dialogs; a camera pulled out shows black and, when it is plugged in
// again, is reconnected by itself.

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/video/cameraprofiles.h"
#include "platform/video/capturewindow.h"
#include "platform/video/deviceprovider.h"

namespace video {

class CaptureStream;
class FormatDialog;
class SourceDialog;

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
  // Modal over the window's top level; false when not connected (nothing
  // to show). A change emits cameraSettingsChanged().
  bool showFormatDialog() override;
  bool showSourceDialog() override;
  QImage pixels() const override;
  QWidget* widget() override { return this; }

  bool isConnected() const { return stream_ != nullptr; }
  bool isPreviewing() const { return preview_; }
  // How often the window looks for a frame now, in ms: the preview rate, or
  // more often for a while when a stream's first frame is awaited.
  int pullInterval() const;
  // The frame the window shows, at the size it was decoded to.
  QImage currentFrame() const { return shown_; }
  CaptureStream* stream() const { return stream_.get(); }

  // The camera connected, or the one lost and waited for; empty otherwise.
  const std::string& cameraIdentity() const { return identity_; }
  // True while a camera that was pulled out is waited for.
  bool isWaitingForCamera() const { return waiting_; }

  // The format the stream runs at, as the device set it.
  std::optional<FormatOption> currentFormat() const;
  // The format the user chose (or a saved profile gave): later connects use
  // it instead of the default while the device still offers it.
  std::optional<FormatOption> chosenFormat() const { return chosenFormat_; }
  void setChosenFormat(std::optional<FormatOption> format) { chosenFormat_ = std::move(format); }
  // Restarts the stream at `option`. When the device refuses it the driver
  // is connected afresh as before and the answer is false.
  bool applyFormat(const FormatOption& option);

  // The dialogs as show*Dialog() runs them, built but not shown; null when
  // not connected. They reach the device only through this window, so a
  // stream that ends under an open dialog leaves it harmless.
  std::unique_ptr<FormatDialog> makeFormatDialog(QWidget* parent);
  std::unique_ptr<SourceDialog> makeSourceDialog(QWidget* parent);

 signals:
  // The user changed the format or a control in one of the dialogs.
  void cameraSettingsChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void pullFrame();
  // The stream of `generation` has its first frame.
  void firstFrameArrived(std::uint64_t generation);
  // The stream's newest frame, if the window has not shown it yet.
  bool takeNewestFrame();
  void streamEnded(std::uint64_t generation);
  void updateTargetSize();
  void updateTimer();
  void render(QPainter& painter) const;
  QSize formatWindowSize() const;
  void devicesChanged();
  bool openAndStart(int number);
  bool startOpened(OpenedDriver opened, int number);
  bool startStream(std::unique_ptr<CaptureDevice> device, const FormatOption& option, int number,
                   const std::vector<std::pair<std::uint32_t, std::int32_t>>& controls = {});
  bool reconnect();
  void saveProfile();
  std::optional<FormatOption> formatFor(const CaptureDevice& device,
                                        const std::optional<CameraProfile>& profile);
  void letGo();
  CaptureDevice* device() const;

  std::shared_ptr<DeviceProvider> provider_;
  std::shared_ptr<CameraProfiles> profiles_;
  std::unique_ptr<CaptureStream> stream_;
  int driver_ = -1;
  FormatOption current_;
  std::optional<FormatOption> chosenFormat_;
  QPointer<QDialog> openDialog_;
  std::string identity_;
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
  int previewRateMs_;
  // Quick looks left for a first frame before the preview rate takes over.
  int firstFramePolls_ = 0;
  QTimer previewTimer_;
  QImage shown_;
  bool framePainted_ = false;
  mutable QImage scaledCache_;
  mutable qint64 scaledFrom_ = 0;
};

}  // namespace video
