#include "platform/ui/deferrediconstyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>
#include <optional>
#include <utility>

namespace ui {
namespace {

// Stands for the style's picture until something needs to look at it.
class DeferredIconEngine final : public QIconEngine {
 public:
  DeferredIconEngine(const QStyle* style, QStyle::StandardPixmap which,
                     std::optional<QStyleOption> option, const QWidget* widget)
      : style_(style), which_(which), option_(std::move(option)), widget_(widget) {}

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().pixmap(size, mode, state);
  }
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return icon().availableSizes(mode, state);
  }
  QString iconName() override { return icon().name(); }
  bool isNull() override { return icon().isNull(); }
  QString key() const override { return QStringLiteral("DeferredIconEngine"); }
  QIconEngine* clone() const override {
    auto* copy = new DeferredIconEngine(style_.data(), which_, option_, widget_.data());
    copy->resolved_ = resolved_;
    return copy;
  }

 private:
  QPointer<const QStyle> style_;
  QStyle::StandardPixmap which_;
  std::optional<QStyleOption> option_;
  QPointer<const QWidget> widget_;
  std::optional<QIcon> resolved_;

  const QIcon& icon() {
    if (!resolved_) {
      // The style replaced meanwhile: the application's current one answers.
      const QStyle* style = style_ ? style_.data() : QApplication::style();
      resolved_ = style->standardIcon(which_, option_ ? &*option_ : nullptr, widget_.data());
    }
    return *resolved_;
  }
};

}  // namespace

DeferredIconStyle::DeferredIconStyle(QStyle* base) : QProxyStyle(base) {}

QIcon DeferredIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                      const QWidget* widget) const {
  // A plain option (direction, palette, state) is kept for later; one of the
  // richer kinds may carry more than a copy keeps: answered at once.
  if (option && option->type != QStyleOption::SO_Default)
    return QProxyStyle::standardIcon(which, option, widget);
  std::optional<QStyleOption> kept;
  if (option) kept = *option;
  return QIcon(new DeferredIconEngine(baseStyle(), which, std::move(kept), widget));
}

}  // namespace ui
