#include "platform/ui/updown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace ui {

std::optional<qint64> leadingWholeNumber(const QString& text) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
    negative = t[i] == QLatin1Char('-');
    ++i;
  }
  qint64 number = 0;
  const qsizetype firstDigit = i;
  // Saturates instead of overflowing: the range clamps it anyway.
  constexpr qint64 kCeiling = qint64(1) << 40;
  for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i) {
    number = std::min(kCeiling, number * 10 + (t[i].unicode() - '0'));
  }
  if (i == firstDigit) return std::nullopt;
  return negative ? -number : number;
}

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (auto [button, arrow, steps] :
       {std::tuple{up_, Qt::UpArrow, 1}, std::tuple{down_, Qt::DownArrow, -1}}) {
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    button->setFixedWidth(16);
    layout->addWidget(button);
    connect(button, &QToolButton::clicked, this, [this, steps = steps] { stepBy(steps); });
  }
  up_->setObjectName(QStringLiteral("up"));
  down_->setObjectName(QStringLiteral("down"));
}

void UpDown::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  value_ = std::clamp(value_, minimum_, maximum_);
}

void UpDown::stepBy(int steps) {
  qint64 from = value_;
  if (buddy_) {
    if (auto typed = leadingWholeNumber(buddy_->text())) from = *typed;
  }
  const qint64 to = std::clamp<qint64>(from + qint64(steps) * increment_, minimum_, maximum_);
  value_ = static_cast<int>(to);
  if (buddy_) buddy_->setText(QString::number(value_));
}

QSize UpDown::sizeHint() const {
  return {16, 22};
}

}  // namespace ui
