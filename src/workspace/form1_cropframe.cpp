// The crop frame's rules: the four frame boxes and the step box, the bounds
// that keep the frame on the photo, the move pad and dragging by hand. Every
// rule ends by writing a number into a box, and the box's change rule (run at
// once, nested, by the write) applies it, bounds it and stores it. Numbers
// in the boxes are read and written in the Turkish notation whatever the
// desktop's locale (rules::boxNotation).

#include <QLabel>
#include <QLineEdit>
#include <array>
#include <tuple>

#include "platform/ui/picturebox.h"
#include "platform/ui/twips.h"
#include "platform/ui/updown.h"
#include "rules/numbers.h"
#include "settings/Module1.h"
#include "workspace/cropframedrag.h"
#include "workspace/focusrules.h"
#include "workspace/form1.h"

using rules::FrameRect;

namespace {

// The single-precision frame values are written with the digits a single has.
constexpr int kSingleDigits = 7;

}  // namespace

void Form1::connectCropFrame() {
  // The frame starts with its design geometry; start-up then writes the boxes.
  const QRect design = Label5->geometry();
  setFrame({float(design.x()), float(design.y()), float(design.width()), float(design.height())});

  connect(txtSol, &QLineEdit::textChanged, this, [this] { txtSol_Change(); });
  connect(txtUst, &QLineEdit::textChanged, this, [this] { txtUst_Change(); });
  connect(txtEn, &QLineEdit::textChanged, this, [this] { txtEn_Change(); });
  connect(txtBoy, &QLineEdit::textChanged, this, [this] { txtBoy_Change(); });
  connect(txtYon, &QLineEdit::textChanged, this, [this] { txtYon_Change(); });

  focusRules_ = new workspace::FocusRules(this);
  focusRules_->onLostFocus(txtSol, [this] { txtSol_LostFocus(); });
  focusRules_->onLostFocus(txtUst, [this] { txtUst_LostFocus(); });
  focusRules_->onGotFocus(txtYon, [this] { txtYon_GotFocus(); });
  focusRules_->onLostFocus(txtYon, [this] { txtYon_LostFocus(); });

  const auto twipsX = [](QPointF p) { return ui::pixelsToTwipsX(p.x()); };
  const auto twipsY = [](QPointF p) { return ui::pixelsToTwipsY(p.y()); };
  frameDrag_ = new workspace::CropFrameDrag(
      Label5, Picture2, Picture2->client(), this,
      {[=, this](QPointF p) { Label5_MouseDown(twipsX(p), twipsY(p)); },
       [=, this](QPointF p) { Label5_DragOver(twipsX(p), twipsY(p)); },
       [this] { Label5_DragDrop(); }, [this](QPointF p) { Picture2_DragDrop(p.x(), p.y()); }});
}

void Form1::setFrame(const FrameRect& geometry) {
  cropFrame = geometry;
  Label5->setGeometry(rules::frameGeometry(cropFrame));
}

void Form1::writeNumber(QLineEdit* box, double value, int significantDigits) {
  box->setText(rules::numberText(value, rules::boxNotation(), significantDigits));
}

void Form1::storeBox(const QLineEdit* box, const QString& valueName) const {
  const std::optional<std::int32_t> number = rules::storedNumber(box->text(), rules::boxNotation());
  if (!number) {
    // An emptied box or one beyond 32 bits: the last stored value stays.
    qCDebug(lcWorkspace) << box->objectName() << "holds no whole number:" << box->text();
    return;
  }
  settings().saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), valueName, *number);
}

void Form1::sayiCtrl(QLineEdit* nesne) {
  const std::optional<rules::FilteredText> filtered =
      rules::filterNumberText(nesne->text(), nesne->cursorPosition(), rules::boxNotation());
  if (!filtered) return;
  nesne->setText(filtered->text);
  nesne->setCursorPosition(filtered->caret);
}

void Form1::frameBoxChange(QLineEdit* box, float FrameRect::*property, const QString& valueName) {
  sayiCtrl(box);
  FrameRect changed = cropFrame;
  changed.*property = static_cast<float>(rules::leadingNumber(box->text()));
  setFrame(changed);
  keepFrameInPicture();
  storeBox(box, valueName);
}

void Form1::txtSol_Change() {
  frameBoxChange(txtSol, &FrameRect::left, QStringLiteral("Sol"));
}

void Form1::txtUst_Change() {
  frameBoxChange(txtUst, &FrameRect::top, QStringLiteral("Ust"));
}

void Form1::txtEn_Change() {
  frameBoxChange(txtEn, &FrameRect::width, QStringLiteral("En"));
}

void Form1::txtBoy_Change() {
  frameBoxChange(txtBoy, &FrameRect::height, QStringLiteral("Boy"));
}

void Form1::txtYon_Change() {
  sayiCtrl(txtYon);
  storeBox(txtYon, QStringLiteral("Hareket"));
}

void Form1::txtSol_LostFocus() {
  if (txtSol->text().isEmpty()) writeNumber(txtSol, cropFrame.left, kSingleDigits);
}

void Form1::txtUst_LostFocus() {
  if (txtUst->text().isEmpty()) writeNumber(txtUst, cropFrame.top, kSingleDigits);
}

void Form1::txtYon_GotFocus() {
  txtYon->setProperty("tag", txtYon->text());
}

void Form1::txtYon_LostFocus() {
  if (txtYon->text().isEmpty()) txtYon->setText(txtYon->property("tag").toString());
  if (rules::leadingNumber(txtYon->text()) == 0) txtYon->setText(QStringLiteral("1"));
}

void Form1::keepFrameInPicture() {
  // Each check reads the frame as the nested rules of the checks before it left it.
  const int w = Picture2->width();
  const int h = Picture2->height();
  if (cropFrame.top < 0) txtUst->setText(QStringLiteral("0"));
  if (cropFrame.left < 0) txtSol->setText(QStringLiteral("0"));
  if (rules::passesFarEdge(cropFrame.top, cropFrame.height, h)) {
    writeNumber(txtUst, rules::farEdgeStart(cropFrame.height, h), kSingleDigits);
  }
  if (rules::passesFarEdge(cropFrame.left, cropFrame.width, w)) {
    writeNumber(txtSol, rules::farEdgeStart(cropFrame.width, w), kSingleDigits);
  }
}

void Form1::moveFrame(std::int16_t direction) {
  if (rules::leadingNumber(txtYon->text()) == 0) txtYon->setText(QStringLiteral("1"));
  const double step = rules::leadingNumber(txtYon->text());
  const std::optional<FrameRect> moved =
      rules::movedFrame(cropFrame, direction, step, Picture2->size());
  if (moved) putFrame(*moved);
}

void Form1::putFrame(const FrameRect& frame) {
  setFrame(frame);
  writeNumber(txtUst, cropFrame.top, kSingleDigits);
  writeNumber(txtSol, cropFrame.left, kSingleDigits);
}

void Form1::changeSize(QLineEdit* box, int by) {
  writeNumber(box, rules::leadingNumber(box->text()) + by);
}

bool Form1::cropFrameKey(const QString& key) {
  using namespace rules;
  static const std::array<std::pair<const char*, MoveDirection>, 5> moves{{{"ust", MoveUp},
                                                                           {"alt", MoveDown},
                                                                           {"sol", MoveLeft},
                                                                           {"sag", MoveRight},
                                                                           {"orta", MoveCentre}}};
  for (const auto& [name, direction] : moves) {
    if (key == QLatin1String(name)) {
      moveFrame(direction);
      return true;
    }
  }
  const std::array<std::tuple<const char*, QLineEdit*, int>, 4> sizes{{{"genarti", txtEn, 1},
                                                                       {"geneksi", txtEn, -1},
                                                                       {"yukarti", txtBoy, 1},
                                                                       {"yukeksi", txtBoy, -1}}};
  for (const auto& [name, box, by] : sizes) {
    if (key == QLatin1String(name)) {
      changeSize(box, by);
      return true;
    }
  }
  return false;
}

void Form1::Label5_MouseDown(double xTwips, double yTwips) {
  const rules::DragPoint grab =
      rules::dragPoint(xTwips / ui::twipsPerPixelX(), yTwips / ui::twipsPerPixelY());
  grabX = grab.x;
  grabY = grab.y;
}

void Form1::Label5_DragOver(double xTwips, double yTwips) {
  const rules::DragPoint at =
      rules::dragPoint(xTwips / ui::twipsPerPixelX(), yTwips / ui::twipsPerPixelY());
  dragOffsetX = at.x - grabX;
  dragOffsetY = at.y - grabY;
}

void Form1::Label5_DragDrop() {
  writeNumber(txtUst, double(cropFrame.top) + dragOffsetY, kSingleDigits);
  writeNumber(txtSol, dragOffsetX + double(cropFrame.left));
}

void Form1::Picture2_DragDrop(double x, double y) {
  writeNumber(txtUst, y - grabY);
  writeNumber(txtSol, x - grabX);
}
