#pragma once
// Capture windows that only write down what is asked of them, in order, for
// tests of the steps that drive a capture window. The factory stands in for
// the real widget's; each window puts a plain widget into its host.

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "capture/modWebCam.h"
#include "platform/video/capturewindow.h"
#include "platform/video/privateclipboard.h"

namespace testsupport {

class RecordingCaptureWindows {
 public:
  // Drivers whose number is in `connecting` connect; the others do not.
  explicit RecordingCaptureWindows(QSet<int> connecting = {0, 1}) {
    state_->connecting = std::move(connecting);
  }

  // Every call to every window made by factory(), e.g. "create 0 at 0,0 320x240",
  // "connect 0", "scale on", "preview rate 66", "resize 352x288", "destroy".
  QStringList calls() const { return state_->calls; }
  void clearCalls() { state_->calls.clear(); }
  // Windows made and not yet destroyed.
  int alive() const { return state_->alive; }
  // What every window shows from now on.
  void setPixels(QImage pixels) { state_->pixels = std::move(pixels); }
  // The frame every window grabs and copies to the private clipboard from
  // now on; none (the default): grab and copy answer no.
  void setFrame(QImage frame) { state_->frame = std::move(frame); }

  CaptureWindowFactory factory() const {
    return [state = state_](QWidget& host, const QString& name, const QRect& geometry) {
      return std::unique_ptr<video::CaptureWindow>(
          std::make_unique<Window>(state, host, name, geometry));
    };
  }

 private:
  struct State {
    QStringList calls;
    QSet<int> connecting;
    QImage pixels;
    QImage frame;
    int alive = 0;
  };

  class Window final : public video::CaptureWindow {
   public:
    Window(std::shared_ptr<State> state, QWidget& host, const QString& name, const QRect& geometry)
        : state_(std::move(state)), widget_(new QWidget(&host)) {
      widget_->setWindowTitle(name);
      widget_->setGeometry(geometry);
      widget_->show();
      ++state_->alive;
      record(QStringLiteral("create %1 at %2,%3 %4x%5")
                 .arg(name)
                 .arg(geometry.x())
                 .arg(geometry.y())
                 .arg(geometry.width())
                 .arg(geometry.height()));
    }
    ~Window() override {
      record(QStringLiteral("destroy"));
      --state_->alive;
      delete widget_.data();
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    bool connectDriver(int number) override {
      record(QStringLiteral("connect %1").arg(number));
      return state_->connecting.contains(number);
    }
    void disconnectDriver() override { record(QStringLiteral("disconnect")); }
    void setScale(bool on) override { record(on ? "scale on" : "scale off"); }
    void setPreviewRate(int milliseconds) override {
      record(QStringLiteral("preview rate %1").arg(milliseconds));
    }
    void setPreview(bool on) override { record(on ? "preview on" : "preview off"); }
    void resizeTo(QSize size) override {
      record(QStringLiteral("resize %1x%2").arg(size.width()).arg(size.height()));
      if (widget_) widget_->resize(size);
    }
    bool grabFrame() override {
      record("grab");
      return !state_->frame.isNull();
    }
    bool copyFrame() override {
      record("copy");
      if (state_->frame.isNull()) return false;
      video::privateClipboard().setImage(state_->frame);
      return true;
    }
    // No dialogs to show: each answers no.
    bool showFormatDialog() override { return refuse("format dialog"); }
    bool showSourceDialog() override { return refuse("source dialog"); }
    QImage pixels() const override { return state_->pixels; }
    QWidget* widget() override { return widget_.data(); }

   private:
    void record(const QString& call) { state_->calls.append(call); }
    void record(const char* call) { record(QString::fromLatin1(call)); }
    bool refuse(const char* call) {
      record(call);
      return false;
    }

    std::shared_ptr<State> state_;
    QPointer<QWidget> widget_;
  };

  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace testsupport
