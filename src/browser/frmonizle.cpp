#include "browser/frmonizle.h"

#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMdiSubWindow>

#include "platform/ui/keycodes.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/twips.h"

namespace {

Q_LOGGING_CATEGORY(lcBrowser, "tandeo.browser", QtWarningMsg)

constexpr double kClientWidthTwips = 2760;
constexpr double kClientHeightTwips = 2655;
constexpr double kPictureWidthTwips = 2715;
constexpr double kPictureHeightTwips = 2580;

QMdiSubWindow* frameWindowOf(const QWidget& window) {
  return qobject_cast<QMdiSubWindow*>(window.parentWidget());
}

}  // namespace

frmOnizle::frmOnizle(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmOnizle"));
  setWindowTitle(QStringLiteral("Resim"));
  setFixedSize(ui::twipsToPixelsX(kClientWidthTwips), ui::twipsToPixelsY(kClientHeightTwips));
  // The window itself takes the keys, so that it can pass them on.
  setFocusPolicy(Qt::StrongFocus);

  Picture3 = new ui::PictureBox(this);
  Picture3->setObjectName(QStringLiteral("Picture3"));
  // No border: a picture of the box's size is shown whole.
  Picture3->setFrameStyle(QFrame::NoFrame);
  Picture3->setLineWidth(0);
  Picture3->setFocusPolicy(Qt::NoFocus);
  Picture3->move(0, 0);
  Picture3->setFixedBoxSize(ui::twipsToPixelsX(kPictureWidthTwips),
                            ui::twipsToPixelsY(kPictureHeightTwips));
}

void frmOnizle::Form_Load(const QWidget& workspace) {
  yerlesim(workspace);
}

void frmOnizle::yerlesim(const QWidget& workspace) {
  QMdiSubWindow* own = frameWindowOf(*this);
  const QMdiSubWindow* beside = frameWindowOf(workspace);
  if (!own || !beside) return;
  const double left = ui::pixelsToTwipsX(beside->x()) + ui::pixelsToTwipsX(beside->width());
  own->move(ui::twipsToPixelsX(left), 0);
  qCDebug(lcBrowser) << "preview window placed at" << own->pos();
}

void frmOnizle::setSizeTwips(double width, double height) {
  setFixedSize(ui::twipsToPixelsX(width), ui::twipsToPixelsY(height));
  if (QMdiSubWindow* own = frameWindowOf(*this)) {
    own->setFixedSize(size().grownBy(own->contentsMargins()));
  }
}

void frmOnizle::Form_KeyDown(std::int16_t keyCode, std::int16_t /*shift*/) {
  emit keyDown(keyCode);
}

void frmOnizle::keyPressEvent(QKeyEvent* event) {
  Form_KeyDown(ui::vbKeyCode(event->key()), ui::vbShiftState(event->modifiers()));
  event->accept();
}
