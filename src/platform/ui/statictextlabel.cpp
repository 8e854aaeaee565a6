#include "platform/ui/statictextlabel.h"

#include <QPainter>
#include <QStyle>
#include <QTextDocument>

namespace ui {

StaticTextLabel::StaticTextLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  laidOut_.setTextFormat(Qt::PlainText);
  laidOut_.setPerformanceHint(QStaticText::AggressiveCaching);
}

bool StaticTextLabel::isPlainLine() const {
  if (wordWrap() || !pixmap().isNull() || text().contains(QLatin1Char('\n'))) return false;
  if (textFormat() == Qt::RichText) return false;
  return textFormat() == Qt::PlainText || !Qt::mightBeRichText(text());
}

void StaticTextLabel::paintEvent(QPaintEvent* event) {
  if (!isPlainLine()) {
    QLabel::paintEvent(event);
    return;
  }
  if (laidOut_.text() != text() || laidOutFont_ != font()) {
    laidOut_.setText(text());
    laidOut_.prepare(QTransform(), font());
    laidOutFont_ = font();
  }
  QPainter painter(this);
  drawFrame(&painter);
  painter.setFont(font());
  const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
  painter.setPen(palette().color(group, foregroundRole()));
  const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  const QRect placed =
      QStyle::alignedRect(layoutDirection(), alignment(), laidOut_.size().toSize(), area);
  painter.drawStaticText(placed.topLeft(), laidOut_);
}

}  // namespace ui
