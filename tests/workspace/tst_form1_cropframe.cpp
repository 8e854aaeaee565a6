// The crop frame through the real workspace: typing into its boxes, leaving
// them, the move pad, the up-down arrows and dragging the frame by hand, and
// what each of these leaves in the settings store. Numbers are Turkish
// whatever the desktop's locale: the tests run on an English desktop, and the
// readings of typed numbers under English, C and Turkish.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>

#include "platform/ui/picturebox.h"
#include "platform/ui/twips.h"
#include "platform/ui/updown.h"
#include "settings/Module1.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::ProgramWindows;

namespace {

const char* const kFrameValues[] = {"Sol", "Ust", "En", "Boy", "Hareket"};
constexpr std::int32_t kUntouched = -777;

QRect frameRect(const Form1& form) {
  return QRect(qRound(form.cropFrame.left), qRound(form.cropFrame.top),
               qRound(form.cropFrame.width), qRound(form.cropFrame.height));
}

// Places the frame by writing its boxes, width and height first so that the
// position is not pushed by the old size.
void place(Form1& form, int left, int top, int width, int height, const QString& step = "10") {
  form.txtSol->setText("0");
  form.txtUst->setText("0");
  form.txtEn->setText(QString::number(width));
  form.txtBoy->setText(QString::number(height));
  form.txtSol->setText(QString::number(left));
  form.txtUst->setText(QString::number(top));
  form.txtYon->setText(step);
}

void clickPad(Form1& form, const char* key) {
  for (int index : {0, 1, 2}) {
    if (auto* button = form.toolYon[index]->findChild<QAction*>(QString::fromLatin1(key))) {
      QWidget* widget = form.toolYon[index]->widgetForAction(button);
      QVERIFY(widget);
      QTest::mouseClick(widget, Qt::LeftButton);
      return;
    }
  }
  QFAIL(key);
}

void clickArrow(Form1& form, const QString& upDown, const char* arrow) {
  auto* control = form.findChild<ui::UpDown*>(upDown);
  QVERIFY(control);
  auto* button = control->findChild<QToolButton*>(QString::fromLatin1(arrow));
  QVERIFY(button);
  QTest::mouseClick(button, Qt::LeftButton);
}

// Makes `box` the focused control of an active window, as a user's click does.
void focus(Form1& form, QLineEdit* box) {
  form.window()->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form.window()));
  box->setFocus(Qt::MouseFocusReason);
  QTRY_VERIFY(box->hasFocus());
}

// Empties `box` and types `text` into it, key by key.
void typeInto(Form1& form, QLineEdit* box, const QString& text) {
  focus(form, box);
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClicks(box, text);
}

// The desktop locales the readings are checked under: Debian's usual C.UTF-8
// and English, where "," groups thousands and "." separates the fraction, and Turkish.
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const std::initializer_list<std::pair<const char*, QLocale>> kDesktops{
    {"English desktop", kEnglish},
    {"C desktop", QLocale::c()},
    {"Turkish desktop", QLocale(QLocale::Turkish, QLocale::Turkey)}};

}  // namespace

class Form1CropFrameTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QLocale::setDefault(kEnglish); }
  void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

  void init() {
    profile_ = std::make_unique<testsupport::SandboxProfile>();
    prompts_ = std::make_unique<testsupport::ScriptedPrompter>();
    program_ = std::make_unique<ProgramWindows>(*profile_, *prompts_);
  }
  void cleanup() {
    QLocale::setDefault(kEnglish);
    program_.reset();
    prompts_.reset();
    profile_.reset();
  }

  void photoBoxIsTheDesignSize() { QCOMPARE(program_->form->Picture2->size(), QSize(320, 240)); }

  void movePad_data() {
    QTest::addColumn<QRect>("start");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QRect>("end");
    QTest::newRow("orta centres 105 x 120 at 107, 60") << QRect(0, 0, 105, 120) << "10"
                                                       << "orta" << QRect(107, 60, 105, 120);
    QTest::newRow("ust from top 3 stops at 0") << QRect(50, 3, 105, 120) << "10"
                                               << "ust" << QRect(50, 0, 105, 120);
    QTest::newRow("alt moves down by the step") << QRect(50, 3, 105, 120) << "10"
                                                << "alt" << QRect(50, 13, 105, 120);
    QTest::newRow("alt stops 5 short of the bottom") << QRect(50, 110, 105, 120) << "10"
                                                     << "alt" << QRect(50, 115, 105, 120);
    QTest::newRow("sol stops at 0") << QRect(4, 3, 105, 120) << "10"
                                    << "sol" << QRect(0, 3, 105, 120);
    QTest::newRow("sag from 200 stops at 210") << QRect(200, 0, 105, 120) << "10"
                                               << "sag" << QRect(210, 0, 105, 120);
    QTest::newRow("a step of 0 becomes 1 before the move") << QRect(20, 0, 105, 120) << "0"
                                                           << "sag" << QRect(21, 0, 105, 120);
    QTest::newRow("an empty step becomes 1 before the move") << QRect(20, 0, 105, 120) << ""
                                                             << "sol" << QRect(19, 0, 105, 120);
    QTest::newRow("genarti at 210 pushes left to 209") << QRect(210, 0, 105, 120) << "10"
                                                       << "genarti" << QRect(209, 0, 106, 120);
    QTest::newRow("geneksi narrows in place") << QRect(210, 0, 105, 120) << "10"
                                              << "geneksi" << QRect(210, 0, 104, 120);
    QTest::newRow("yukarti at the bottom pushes up") << QRect(0, 115, 105, 120) << "10"
                                                     << "yukarti" << QRect(0, 114, 105, 121);
    QTest::newRow("yukeksi lowers the height") << QRect(0, 115, 105, 120) << "10"
                                               << "yukeksi" << QRect(0, 115, 105, 119);
  }
  void movePad() {
    QFETCH(QRect, start);
    QFETCH(QString, step);
    QFETCH(QString, key);
    QFETCH(QRect, end);
    Form1& form = *program_->form;
    place(form, start.x(), start.y(), start.width(), start.height(), step);
    QCOMPARE(frameRect(form), start);
    clickPad(form, key.toLatin1().constData());
    QCOMPARE(frameRect(form), end);
    QCOMPARE(form.Label5->geometry(), end);
    QCOMPARE(form.txtSol->text(), QString::number(end.x()));
    QCOMPARE(form.txtUst->text(), QString::number(end.y()));
    QCOMPARE(form.txtEn->text(), QString::number(end.width()));
    QCOMPARE(form.txtBoy->text(), QString::number(end.height()));
    if (step.isEmpty() || step == "0") QCOMPARE(form.txtYon->text(), QStringLiteral("1"));
  }

  void padButtonsCarryTheirTooltips() {
    Form1& form = *program_->form;
    const auto toolTip = [&form](int bar, const char* key) {
      return form.toolYon[bar]->findChild<QAction*>(QString::fromLatin1(key))->toolTip();
    };
    QCOMPARE(toolTip(0, "sol"), QStringLiteral("Sola Kaydır"));
    QCOMPARE(toolTip(0, "orta"), QStringLiteral("Ortala"));
    QCOMPARE(toolTip(0, "sag"), QStringLiteral("Sağa Kaydır"));
    for (QAction* button : form.toolYon[2]->actions()) QVERIFY(!button->icon().isNull());
  }

  void frameFlushWithTheEdgeIsNotMoved() {
    Form1& form = *program_->form;
    place(form, 210, 115, 105, 120);
    QCOMPARE(frameRect(form), QRect(210, 115, 105, 120));
    form.txtSol->setText("211");
    QCOMPARE(form.txtSol->text(), QStringLiteral("210"));
  }

  void frameLargerThanThePhotoKeepsTheTopLeftCorner_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::newRow("too high") << "105"
                              << "300";
    QTest::newRow("too wide") << "400"
                              << "120";
    QTest::newRow("beyond 32 bits") << "99999999999999"
                                    << "120";
  }
  void frameLargerThanThePhotoKeepsTheTopLeftCorner() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    Form1& form = *program_->form;
    place(form, 50, 40, 105, 120);
    form.txtEn->setText(width);
    form.txtBoy->setText(height);
    QCOMPARE(form.txtEn->text(), width);
    QCOMPARE(form.txtBoy->text(), height);
    const bool tooHigh = height.toDouble() > 235;
    const bool tooWide = width.toDouble() > 315;
    QCOMPARE(form.txtUst->text(), tooHigh ? QStringLiteral("0") : QStringLiteral("40"));
    QCOMPARE(form.txtSol->text(), tooWide ? QStringLiteral("0") : QStringLiteral("50"));
    // Moving it does not bring it back out.
    clickPad(form, "sag");
    clickPad(form, "alt");
    QCOMPARE(form.txtUst->text(), tooHigh ? QStringLiteral("0") : QStringLiteral("50"));
    QCOMPARE(form.txtSol->text(), tooWide ? QStringLiteral("0") : QStringLiteral("60"));
  }

  void sizeOfZeroOrBelow_data() {
    QTest::addColumn<QString>("width");
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-20";
  }
  void sizeOfZeroOrBelow() {
    QFETCH(QString, width);
    Form1& form = *program_->form;
    place(form, 300, 10, 105, 120);
    form.txtEn->setText(width);
    clickPad(form, "geneksi");
    QCOMPARE(form.txtEn->text(), QString::number(width.toInt() - 1));
    QCOMPARE(form.Label5->width(), 0);
    QCOMPARE(stored("En"), width.toInt() - 1);
    // A frame of no width stays inside the photo as well.
    clickPad(form, "sag");
    QVERIFY(form.cropFrame.left + form.cropFrame.width + 5 <= 320);
  }

  void typingIsFiltered_data() {
    QTest::addColumn<QLocale>("desktop");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("storedWidth");
    for (const auto& [desktop, locale] : kDesktops) {
      QTest::addRow("%s: a dot after 12 goes", desktop) << locale << "12."
                                                        << "12" << 12 << 12;
      QTest::addRow("%s: letters go", desktop) << locale << "1x2y"
                                               << "12" << 12 << 12;
      QTest::addRow("%s: 12,5 is kept, the frame and the store get 12", desktop)
          << locale << "12,5"
          << "12,5" << 12 << 12;
      QTest::addRow("%s: 13,5 sets 13 and stores 14", desktop) << locale << "13,5"
                                                               << "13,5" << 13 << 14;
      QTest::addRow("%s: a second comma goes", desktop) << locale << "13,5,1"
                                                        << "13,51" << 13 << 14;
      // "1." is no number, so the dot goes before the digits after it come.
      QTest::addRow("%s: a dot typed after 1 goes, whatever follows", desktop)
          << locale << "1.050"
          << "1050" << 1050 << 1050;
    }
  }
  void typingIsFiltered() {
    QFETCH(QLocale, desktop);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, width);
    QFETCH(int, storedWidth);
    QLocale::setDefault(desktop);
    Form1& form = *program_->form;
    typeInto(form, form.txtEn, typed);
    QCOMPARE(form.txtEn->text(), shown);
    QCOMPARE(form.cropFrame.width, float(width));
    QCOMPARE(stored("En"), storedWidth);
  }

  void stepBoxReadsTurkishNumbers_data() {
    QTest::addColumn<QLocale>("desktop");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("storedStep");
    QTest::addColumn<int>("movedTo");
    for (const auto& [desktop, locale] : kDesktops) {
      QTest::addRow("%s: 12,5 stores 12 and moves by 12", desktop) << locale << "12,5"
                                                                   << "12,5" << 12 << 32;
      QTest::addRow("%s: a dot after 12 goes", desktop) << locale << "12."
                                                        << "12" << 12 << 32;
      QTest::addRow("%s: 13,5 stores 14 and moves by 13", desktop) << locale << "13,5"
                                                                   << "13,5" << 14 << 33;
    }
  }
  void stepBoxReadsTurkishNumbers() {
    QFETCH(QLocale, desktop);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, storedStep);
    QFETCH(int, movedTo);
    QLocale::setDefault(desktop);
    Form1& form = *program_->form;
    place(form, 20, 0, 105, 120);
    typeInto(form, form.txtYon, typed);
    QCOMPARE(form.txtYon->text(), shown);
    QCOMPARE(stored("Hareket"), storedStep);
    clickPad(form, "sag");
    QCOMPARE(frameRect(form), QRect(movedTo, 0, 105, 120));
  }

  void writtenNumbersAreTurkish_data() {
    QTest::addColumn<QLocale>("desktop");
    for (const auto& [desktop, locale] : kDesktops) QTest::addRow("%s", desktop) << locale;
  }
  void writtenNumbersAreTurkish() {
    QFETCH(QLocale, desktop);
    QLocale::setDefault(desktop);
    Form1& form = *program_->form;
    place(form, 10, 20, 105, 120);
    // A drop keeps the fraction of the pointer's place: the box shows it with a comma.
    form.Label5_MouseDown(ui::pixelsToTwipsX(20), ui::pixelsToTwipsY(20));
    form.Label5_DragOver(ui::pixelsToTwipsX(20.5), ui::pixelsToTwipsY(20));
    form.Label5_DragDrop();
    QCOMPARE(form.txtSol->text(), QStringLiteral("10,5"));
    QCOMPARE(form.cropFrame.left, 10.f);
  }

  void letterBetweenDigitsLeavesTheCaretBetweenThem() {
    Form1& form = *program_->form;
    form.txtSol->setText("12");
    focus(form, form.txtSol);
    form.txtSol->setCursorPosition(1);
    QTest::keyClick(form.txtSol, Qt::Key_A);
    QCOMPARE(form.txtSol->text(), QStringLiteral("12"));
    QCOMPARE(form.txtSol->cursorPosition(), 1);
    QTest::keyClick(form.txtSol, Qt::Key_5);
    QCOMPARE(form.txtSol->text(), QStringLiteral("152"));
  }

  void loneCommaEndsTheFilterAndStoresNothing() {
    Form1& form = *program_->form;
    place(form, 30, 20, 105, 120);
    markStoredValues();
    form.txtSol->setText(",");
    QCOMPARE(form.txtSol->text(), QStringLiteral(","));
    QCOMPARE(form.cropFrame.left, 0.f);
    QCOMPARE(writtenValues(), QStringList());
  }

  void leavingAnEmptyPositionBoxRefillsIt_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("left") << "txtSol";
    QTest::newRow("top") << "txtUst";
  }
  void leavingAnEmptyPositionBoxRefillsIt() {
    QFETCH(QString, box);
    Form1& form = *program_->form;
    place(form, 30, 20, 105, 120);
    auto* edit = form.findChild<QLineEdit*>(box);
    focus(form, edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), QString());
    form.txtBoy->setFocus(Qt::TabFocusReason);
    // The emptied box had set the frame to its leading number, 0.
    QCOMPARE(edit->text(), QStringLiteral("0"));
  }

  void leavingTheStepBox_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("emptied gets back its text") << "25"
                                                << ""
                                                << "25";
    QTest::newRow("0 becomes 1") << "25"
                                 << "0"
                                 << "1";
    QTest::newRow("emptied from 0 becomes 1") << "0"
                                              << ""
                                              << "1";
    QTest::newRow("a new step stays") << "25"
                                      << "7"
                                      << "7";
  }
  void leavingTheStepBox() {
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    Form1& form = *program_->form;
    form.txtYon->setText(before);
    focus(form, form.txtYon);
    form.txtYon->selectAll();
    QTest::keyClick(form.txtYon, Qt::Key_Delete);
    QTest::keyClicks(form.txtYon, typed);
    form.txtEn->setFocus(Qt::TabFocusReason);
    QCOMPARE(form.txtYon->text(), after);
    QCOMPARE(stored("Hareket"), after.toInt());
  }

  void storedValues_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("a left change stores Sol") << "txtSol"
                                              << "60" << QStringList{"Sol"};
    QTest::newRow("a top change stores Ust") << "txtUst"
                                             << "60" << QStringList{"Ust"};
    QTest::newRow("a width change stores En") << "txtEn"
                                              << "60" << QStringList{"En"};
    QTest::newRow("a height change stores Boy") << "txtBoy"
                                                << "60" << QStringList{"Boy"};
    QTest::newRow("a width pushing the frame left stores Sol too")
        << "txtEn"
        << "250" << QStringList{"Sol", "En"};
    QTest::newRow("a height pushing the frame up stores Ust too")
        << "txtBoy"
        << "200" << QStringList{"Ust", "Boy"};
    QTest::newRow("a left past the edge stores the bounded Sol") << "txtSol"
                                                                 << "500" << QStringList{"Sol"};
    QTest::newRow("the step box stores only Hareket") << "txtYon"
                                                      << "3" << QStringList{"Hareket"};
    QTest::newRow("a number beyond 32 bits stores nothing of its own")
        << "txtUst"
        << "99999999999" << QStringList{"Ust"};
  }
  void storedValues() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QStringList, written);
    Form1& form = *program_->form;
    place(form, 100, 50, 105, 120);
    markStoredValues();
    form.findChild<QLineEdit*>(box)->setText(text);
    QCOMPARE(writtenValues(), written);
    QCOMPARE(stored("Sol"),
             written.contains("Sol") ? std::int32_t(form.txtSol->text().toInt()) : kUntouched);
    QCOMPARE(stored("Ust"),
             written.contains("Ust") ? std::int32_t(form.txtUst->text().toInt()) : kUntouched);
  }

  void aRunOfMovesLeavesTheStoreWithTheFrame() {
    Form1& form = *program_->form;
    place(form, 0, 0, 105, 120, "50");
    for (const char* key : {"orta", "sag", "sag", "sag", "alt", "alt", "genarti", "yukeksi"}) {
      clickPad(form, key);
    }
    QCOMPARE(frameRect(form), QRect(209, 115, 106, 119));
    QCOMPARE(stored("Sol"), 209);
    QCOMPARE(stored("Ust"), 115);
    QCOMPARE(stored("En"), 106);
    QCOMPARE(stored("Boy"), 119);
    QCOMPARE(stored("Hareket"), 50);
  }

  void upDownArrows_data() {
    QTest::addColumn<QString>("upDown");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("arrow");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("width up") << "UpDown1"
                              << "txtEn"
                              << "up"
                              << "105"
                              << "106";
    QTest::newRow("width down stops at 10") << "UpDown1"
                                            << "txtEn"
                                            << "down"
                                            << "10"
                                            << "10";
    QTest::newRow("height up") << "UpDown2"
                               << "txtBoy"
                               << "up"
                               << "120"
                               << "121";
    QTest::newRow("step down stops at 1") << "UpDown3"
                                          << "txtYon"
                                          << "down"
                                          << "1"
                                          << "1";
    QTest::newRow("step up from a fraction") << "UpDown3"
                                             << "txtYon"
                                             << "up"
                                             << "12,5"
                                             << "13";
    QTest::newRow("top up") << "UpDown4"
                            << "txtUst"
                            << "up"
                            << "5"
                            << "6";
    QTest::newRow("left down stops at 0") << "UpDown5"
                                          << "txtSol"
                                          << "down"
                                          << "0"
                                          << "0";
    QTest::newRow("left up stops at the photo's edge") << "UpDown5"
                                                       << "txtSol"
                                                       << "up"
                                                       << "210"
                                                       << "210";
  }
  void upDownArrows() {
    QFETCH(QString, upDown);
    QFETCH(QString, box);
    QFETCH(QString, arrow);
    QFETCH(QString, before);
    QFETCH(QString, after);
    Form1& form = *program_->form;
    place(form, 0, 0, 105, 120);
    auto* edit = form.findChild<QLineEdit*>(box);
    edit->setText(before);
    clickArrow(form, upDown, arrow.toLatin1().constData());
    QCOMPARE(edit->text(), after);
    const char* name = box == "txtEn"    ? "En"
                       : box == "txtBoy" ? "Boy"
                       : box == "txtUst" ? "Ust"
                       : box == "txtSol" ? "Sol"
                                         : "Hareket";
    QCOMPARE(stored(name), after.toInt());
  }

  void dropOnThePhotoPutsTheGrabPointUnderThePointer() {
    Form1& form = *program_->form;
    place(form, 10, 20, 105, 120);
    QWidget* photo = form.Picture2->client();
    QTest::mousePress(form.Label5, Qt::LeftButton, {}, QPoint(30, 40));
    const QPoint target = form.Label5->mapFrom(photo, QPoint(200, 150));
    QTest::mouseMove(form.Label5, target);
    // While dragging, only the outline follows the pointer.
    QWidget* outline = form.findChild<QWidget*>("Label5Outline");
    QVERIFY(outline && outline->isVisible());
    QCOMPARE(outline->geometry(), QRect(photo->mapTo(&form, QPoint(170, 110)), QSize(105, 120)));
    QCOMPARE(frameRect(form), QRect(10, 20, 105, 120));
    QTest::mouseRelease(form.Label5, Qt::LeftButton, {}, target);
    QVERIFY(!outline->isVisible());
    QCOMPARE(frameRect(form), QRect(170, 110, 105, 120));
    QCOMPARE(stored("Sol"), 170);
    QCOMPARE(stored("Ust"), 110);
  }

  void dropOnThePhotoIsBounded() {
    Form1& form = *program_->form;
    place(form, 10, 20, 105, 120);
    QTest::mousePress(form.Label5, Qt::RightButton, {}, QPoint(5, 5));
    const QPoint target = form.Label5->mapFrom(form.Picture2->client(), QPoint(310, 230));
    QTest::mouseRelease(form.Label5, Qt::RightButton, {}, target);
    QCOMPARE(frameRect(form), QRect(210, 115, 105, 120));
  }

  void dropOnTheFrameMovesItByTheOffset() {
    Form1& form = *program_->form;
    place(form, 100, 50, 105, 120);
    QTest::mousePress(form.Label5, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(form.Label5, QPoint(22, 21));
    QTest::mouseMove(form.Label5, QPoint(25, 17));
    QTest::mouseRelease(form.Label5, Qt::LeftButton, {}, QPoint(25, 17));
    QCOMPARE(frameRect(form), QRect(105, 47, 105, 120));
  }

  void clickOnTheFrameAfterADragMovesNothing() {
    Form1& form = *program_->form;
    place(form, 100, 50, 105, 120);
    QTest::mousePress(form.Label5, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(form.Label5, Qt::LeftButton, {}, QPoint(30, 30));
    QCOMPARE(frameRect(form), QRect(110, 60, 105, 120));
    QTest::mouseClick(form.Label5, Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(frameRect(form), QRect(110, 60, 105, 120));
  }

  void dropOutsideThePhotoChangesNothing() {
    Form1& form = *program_->form;
    place(form, 100, 50, 105, 120);
    markStoredValues();
    QTest::mousePress(form.Label5, Qt::LeftButton, {}, QPoint(20, 20));
    const QPoint elsewhere = form.Label5->mapFrom(&form, form.txtOnAd->mapTo(&form, QPoint(2, 2)));
    QTest::mouseMove(form.Label5, elsewhere);
    QTest::mouseRelease(form.Label5, Qt::LeftButton, {}, elsewhere);
    QCOMPARE(frameRect(form), QRect(100, 50, 105, 120));
    QCOMPARE(writtenValues(), QStringList());
    QVERIFY(!form.findChild<QWidget*>("Label5Outline")->isVisible());
  }

 private:
  std::int32_t stored(const char* name) const {
    return testsupport::settingsOf(*profile_).getDwordValue(
        Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QString::fromLatin1(name));
  }

  // Marks every frame value so that a test can see which ones a step writes.
  void markStoredValues() const {
    for (const char* name : kFrameValues) {
      testsupport::settingsOf(*profile_).saveDwordValue(Module1::HKEY_CURRENT_USER,
                                                        Module1::mainKeyPath(),
                                                        QString::fromLatin1(name), kUntouched);
    }
  }

  QStringList writtenValues() const {
    QStringList written;
    for (const char* name : kFrameValues) {
      if (stored(name) != kUntouched) written << QString::fromLatin1(name);
    }
    return written;
  }

  std::unique_ptr<testsupport::SandboxProfile> profile_;
  std::unique_ptr<testsupport::ScriptedPrompter> prompts_;
  std::unique_ptr<ProgramWindows> program_;
};

QTEST_MAIN(Form1CropFrameTest)
#include "tst_form1_cropframe.moc"
