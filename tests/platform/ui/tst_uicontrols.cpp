// The small controls of the original platform: the up-down bound to a text
// box, the one-line simple combo box, the picture box with its inner client.

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "platform/ui/picturebox.h"
#include "platform/ui/simplecombobox.h"
#include "platform/ui/statictextlabel.h"
#include "platform/ui/updown.h"

namespace {

// The box around the pixels that differ from the top-left one, and how many.
struct Ink {
  QRect box;
  int pixels = 0;
};

Ink inkOf(QWidget& widget) {
  const QImage image = widget.grab().toImage();
  Ink ink;
  const QRgb background = image.pixel(0, 0);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) {
        ink.box |= QRect(x, y, 1, 1);
        ++ink.pixels;
      }
  return ink;
}

template <class Label>
Ink inkOfLabel(const QString& text, Qt::Alignment alignment, bool bold, const QString& later = {}) {
  Label label(text);
  QFont font = label.font();
  font.setBold(bold);
  font.setPointSizeF(font.pointSizeF() * 1.3);
  label.setFont(font);
  label.setAlignment(alignment);
  label.resize(360, 44);
  if (!later.isNull()) {
    (void)inkOf(label);  // painted once with the first text
    label.setText(later);
  }
  return inkOf(label);
}

}  // namespace

class UiControlsTest : public QObject {
  Q_OBJECT
 private slots:
  void upDownStepsTheBuddysNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("up by one") << QStringLiteral("105") << 1 << QStringLiteral("106");
    QTest::newRow("down by one") << QStringLiteral("105") << -1 << QStringLiteral("104");
    QTest::newRow("stops at the minimum") << QStringLiteral("10") << -1 << QStringLiteral("10");
    QTest::newRow("stops at the maximum") << QStringLiteral("200") << 1 << QStringLiteral("200");
    QTest::newRow("a number below the range comes back into it")
        << QStringLiteral("3") << 1 << QStringLiteral("10");
    QTest::newRow("reads the number at the start of the text")
        << QStringLiteral("12,5") << 1 << QStringLiteral("13");
  }
  void upDownStepsTheBuddysNumber() {
    QFETCH(QString, text);
    QFETCH(int, steps);
    QFETCH(QString, expected);
    QLineEdit buddy(text);
    ui::UpDown arrows;
    arrows.setBuddy(&buddy);
    arrows.setRange(10, 200);
    QSignalSpy edited(&buddy, &QLineEdit::textChanged);
    arrows.stepBy(steps);
    QCOMPARE(buddy.text(), expected);
    QCOMPARE(arrows.value(), expected.toInt());
    QCOMPARE(edited.count(), text == expected ? 0 : 1);
  }

  void upDownWithoutANumberUsesItsOwnValue() {
    QLineEdit buddy(QStringLiteral("abc"));
    ui::UpDown arrows;
    arrows.setRange(1, 100);
    arrows.setBuddy(&buddy);
    arrows.stepBy(1);
    QCOMPARE(buddy.text(), QStringLiteral("2"));
  }

  void upDownArrowsAreClickable() {
    QLineEdit buddy(QStringLiteral("5"));
    ui::UpDown arrows;
    arrows.setRange(0, 10);
    arrows.setBuddy(&buddy);
    arrows.show();
    QTest::mouseClick(arrows.findChild<QToolButton*>(QStringLiteral("up")), Qt::LeftButton);
    QCOMPARE(buddy.text(), QStringLiteral("6"));
    QTest::mouseClick(arrows.findChild<QToolButton*>(QStringLiteral("down")), Qt::LeftButton);
    QTest::mouseClick(arrows.findChild<QToolButton*>(QStringLiteral("down")), Qt::LeftButton);
    QCOMPARE(buddy.text(), QStringLiteral("4"));
  }

  void simpleComboMovesOnlyByCode() {
    ui::SimpleComboBox box;
    box.addItem(QStringLiteral("/a"));
    box.addItem(QStringLiteral("/b"));
    box.setCurrentIndex(0);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Down);
    QTest::keyClick(&box, Qt::Key_F4);
    QWheelEvent wheel(QPointF(5, 5), box.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&box, &wheel);
    QCOMPARE(box.currentIndex(), 0);
    QCOMPARE(box.currentText(), QStringLiteral("/a"));
    box.setCurrentIndex(1);
    QCOMPARE(box.currentText(), QStringLiteral("/b"));
    // Typing is allowed; the editor fills the whole box.
    QTest::keyClicks(box.lineEdit(), QStringLiteral("x"));
    QVERIFY(box.currentText().endsWith(QLatin1Char('x')));
    QVERIFY(box.lineEdit()->geometry().right() > box.width() - 8);
  }

  // Drawn from a layout made once, the label must look as QLabel draws it,
  // and follow a change of text; rich text is QLabel's own.
  void staticTextLabelLooksLikeQLabel_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("later");
    const QString notice = QStringLiteral("Resim Alınıyor. Lütfen Bekleyiniz");
    QTest::newRow("the waiting notice, centred, bold")
        << notice << int(Qt::AlignCenter) << true << QString();
    QTest::newRow("left and top") << notice << int(Qt::AlignLeft | Qt::AlignTop) << false
                                  << QString();
    QTest::newRow("right, bottom") << QStringLiteral("ĞÜŞİÖÇ ğüşıöç")
                                   << int(Qt::AlignRight | Qt::AlignBottom) << false << QString();
    QTest::newRow("text changed after the first paint")
        << notice << int(Qt::AlignCenter) << true << QStringLiteral("Başka bir yazı");
    QTest::newRow("rich text") << QStringLiteral("<b>Kalın</b> yazı") << int(Qt::AlignCenter)
                               << false << QString();
  }

  void staticTextLabelLooksLikeQLabel() {
    QFETCH(QString, text);
    QFETCH(int, alignment);
    QFETCH(bool, bold);
    QFETCH(QString, later);
    const auto align = Qt::Alignment(alignment);
    const Ink ours = inkOfLabel<ui::StaticTextLabel>(text, align, bold, later);
    const Ink qt = inkOfLabel<QLabel>(later.isNull() ? text : later, align, bold);
    QVERIFY(qt.pixels > 50);
    QVERIFY2(qAbs(ours.box.left() - qt.box.left()) <= 1 &&
                 qAbs(ours.box.top() - qt.box.top()) <= 1 &&
                 qAbs(ours.box.right() - qt.box.right()) <= 1 &&
                 qAbs(ours.box.bottom() - qt.box.bottom()) <= 1,
             qPrintable(QStringLiteral("ink at %1,%2 %3x%4, QLabel's at %5,%6 %7x%8")
                            .arg(ours.box.x())
                            .arg(ours.box.y())
                            .arg(ours.box.width())
                            .arg(ours.box.height())
                            .arg(qt.box.x())
                            .arg(qt.box.y())
                            .arg(qt.box.width())
                            .arg(qt.box.height())));
    QVERIFY(qAbs(ours.pixels - qt.pixels) <= qt.pixels / 10);
  }

  void pictureBoxClientIsTheInnerArea() {
    ui::PictureBox box;
    box.setFixedBoxSize(320, 240);
    QCOMPARE(box.client()->geometry(), QRect(2, 2, 316, 236));
    QVERIFY(!box.hasPicture());
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    box.setPicture(red);
    QVERIFY(box.hasPicture());
    const QImage shown = box.client()->grab().toImage();
    QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(9, 9), QColor(Qt::red));
    QVERIFY(shown.pixelColor(10, 10) != QColor(Qt::red));
  }

  // The client paints every pixel itself (nothing behind it is repainted for
  // a new picture), so the part a smaller picture leaves free must be the
  // box's background again, not the previous picture.
  void pictureBoxRepaintsWhatASmallerPictureLeavesFree() {
    ui::PictureBox box;
    box.setFixedBoxSize(120, 90);
    QImage blue(116, 86, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    box.setPicture(blue);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    box.setPicture(red);
    const QImage shown = box.client()->grab().toImage();
    const QColor background = box.client()->palette().color(box.client()->backgroundRole());
    QCOMPARE(shown.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(50, 50), background);
    QCOMPARE(shown.pixelColor(115, 85), background);
  }
};

QTEST_MAIN(UiControlsTest)
#include "tst_uicontrols.moc"
