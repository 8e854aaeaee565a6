#include "platform/ui/simplecombobox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionFrame>

namespace ui {

SimpleComboBox::SimpleComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setDuplicatesEnabled(true);
  lineEdit()->setFrame(false);
  // QComboBox places its editor beside a drop-down button at several moments
  // (resize, show, style changes); put it back over the whole box each time.
  lineEdit()->installEventFilter(this);
}

bool SimpleComboBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    fillWithEditor();
  }
  return QComboBox::eventFilter(watched, event);
}

void SimpleComboBox::paintEvent(QPaintEvent*) {
  // A text box's frame only: there is no drop-down button to draw.
  QPainter painter(this);
  QStyleOptionFrame option;
  option.initFrom(this);
  option.rect = rect();
  option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

void SimpleComboBox::resizeEvent(QResizeEvent* event) {
  QComboBox::resizeEvent(event);
  fillWithEditor();
}

void SimpleComboBox::showEvent(QShowEvent* event) {
  QComboBox::showEvent(event);
  fillWithEditor();
}

void SimpleComboBox::wheelEvent(QWheelEvent* event) {
  event->ignore();
}

void SimpleComboBox::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
      event->ignore();
      return;
    default:
      QComboBox::keyPressEvent(event);
  }
}

void SimpleComboBox::fillWithEditor() {
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  const QRect wanted = rect().adjusted(frame + 1, frame, -frame - 1, -frame);
  if (lineEdit()->geometry() != wanted) lineEdit()->setGeometry(wanted);
}

}  // namespace ui
