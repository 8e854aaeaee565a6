// Placing the crop frame on the pupil's face, through the real workspace with
// a fake face finder: the check box and its remembered value, the placement
// after F5 and after "Resim Al" in the camera window (and never on the live
// picture), the line under the photo, and fine-tuning the placed frame by
// hand afterwards.

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <functional>

#include "camera/camera_window_fixture.h"
#include "camera/frmwebcam.h"
#include "camera/imagecontrol.h"
#include "photo_fixture.h"
#include "platform/ui/picturebox.h"
#include "settings/Module1.h"
#include "support/fake_face_finder.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::FakeFaceFinder;
using testsupport::levelFace;
using testsupport::ProgramWindows;

namespace {

const QString kNoFace = QStringLiteral("Yüz bulunamadı; çerçeveyi elle yerleştirin.");
const QString kCloser = QStringLiteral("Öğrenci kameraya yaklaşmalı");

QRect frameRect(const Form1& form) {
  return QRect(qRound(form.cropFrame.left), qRound(form.cropFrame.top),
               qRound(form.cropFrame.width), qRound(form.cropFrame.height));
}

std::int32_t stored(const testsupport::SandboxProfile& profile, const char* name) {
  return testsupport::settingsOf(profile).getDwordValue(
      Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QString::fromLatin1(name));
}

void store(const testsupport::SandboxProfile& profile, const char* name, std::int32_t value) {
  testsupport::settingsOf(profile).saveDwordValue(
      Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QString::fromLatin1(name), value);
}

// A workspace over a sandbox and camera "Kamera A", with a fake finder that
// finds `faces`; placement is switched on in the store before it starts
// unless `placementOn` is false.
struct PlacingWorkspace {
  explicit PlacingWorkspace(std::vector<face::FoundFace> faces, bool placementOn = true)
      : finder(std::make_shared<FakeFaceFinder>()),
        program((placementOn ? store(profile, "YuzYerlestir", 1) : void(), profile), prompts,
                testsupport::fakeCameras("Kamera A"), {}, finder),
        form(*program.form) {
    finder->faces = std::move(faces);
  }

  testsupport::SandboxProfile profile;
  testsupport::ScriptedPrompter prompts;
  std::shared_ptr<FakeFaceFinder> finder;
  ProgramWindows program;
  Form1& form;
};

void pressF5(Form1& form) {
  form.txtOnAd->setFocus();
  QTest::keyClick(form.txtOnAd, Qt::Key_F5);
}

void clickPad(Form1& form, const char* key) {
  for (int index : {0, 1, 2}) {
    if (auto* button = form.toolYon[index]->findChild<QAction*>(QString::fromLatin1(key))) {
      QTest::mouseClick(form.toolYon[index]->widgetForAction(button), Qt::LeftButton);
      return;
    }
  }
  QFAIL(key);
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<face::FoundFace>)

class Form1FaceTest : public QObject {
  Q_OBJECT
 private slots:
  void checkBoxSitsInTheCapturedFrameGroup() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, testsupport::fakeCameras("Kamera A"), {},
                           std::make_shared<FakeFaceFinder>());
    Form1& form = *program.form;
    QCOMPARE(form.chkYuzYerlestir->text(), QStringLiteral("Yüzü otomatik yerleştir"));
    QVERIFY(form.Frame3->isAncestorOf(form.chkYuzYerlestir));
    QVERIFY(form.chkYuzYerlestir->isVisible());
    QVERIFY(form.chkYuzYerlestir->isEnabled());
    // On the caption's line, right of it, and clear of the frame-size boxes.
    const QRect caption = form.Label1->geometry();
    const QRect box = form.chkYuzYerlestir->geometry();
    QVERIFY(box.left() >= caption.right());
    QVERIFY(box.top() < caption.bottom() && caption.top() < box.bottom());
    QVERIFY(form.chkYuzYerlestir->mapTo(&form, QPoint(0, box.height())).y() <=
            form.Frame1->mapTo(&form, QPoint(0, 0)).y());
    // The message line is under the photo, empty until there is something to say.
    QVERIFY(form.lblYuzMesaj->isVisible());
    QVERIFY(form.lblYuzMesaj->text().isEmpty());
    QCOMPARE(form.lblYuzMesaj->mapTo(&form, QPoint(0, 0)).y(),
             form.Picture2->mapTo(&form, QPoint(0, form.Picture2->height())).y() + 6);
  }

  void checkBoxIsRemembered_data() {
    QTest::addColumn<int>("storedBefore");
    QTest::addColumn<bool>("checked");
    QTest::newRow("a first run starts unchecked") << -1 << false;
    QTest::newRow("0 is unchecked") << 0 << false;
    QTest::newRow("1 is checked") << 1 << true;
  }
  void checkBoxIsRemembered() {
    QFETCH(int, storedBefore);
    QFETCH(bool, checked);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    if (storedBefore >= 0) store(profile, "YuzYerlestir", storedBefore);
    {
      auto finder = std::make_shared<FakeFaceFinder>();
      ProgramWindows program(profile, prompts, testsupport::fakeCameras("Kamera A"), {}, finder);
      QCOMPARE(program.form->chkYuzYerlestir->isChecked(), checked);
      // The detector gets ready only when placement is on: at start-up when
      // remembered so, or when the box is ticked.
      QCOMPARE(finder->prepared, checked ? 1 : 0);
      QTest::mouseClick(program.form->chkYuzYerlestir, Qt::LeftButton);
      QCOMPARE(program.form->chkYuzYerlestir->isChecked(), !checked);
      QCOMPARE(stored(profile, "YuzYerlestir"), checked ? 0 : 1);
      QCOMPARE(finder->prepared, 1);
    }
    // The next start shows what was clicked last.
    ProgramWindows again(profile, prompts, testsupport::fakeCameras("Kamera A"), {},
                         std::make_shared<FakeFaceFinder>());
    QCOMPARE(again.form->chkYuzYerlestir->isChecked(), !checked);
    QTest::mouseClick(again.form->chkYuzYerlestir, Qt::LeftButton);
    QCOMPARE(stored(profile, "YuzYerlestir"), checked ? 1 : 0);
  }

  void placementAfterF5_data() {
    QTest::addColumn<std::vector<face::FoundFace>>("faces");
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QString>("message");
    // The frame starts at 107, 60 (centred); eyes at (160, 110) put it at
    // 108 (107.5, half to even), 110 - 0.45 x 120 = 56.
    QTest::newRow("a face: the frame goes on it, nothing to say")
        << std::vector{levelFace({160, 110})} << QRect(108, 56, 105, 120) << QString();
    QTest::newRow("no face: the frame stays, and the line says so")
        << std::vector<face::FoundFace>{} << QRect(107, 60, 105, 120) << kNoFace;
    QTest::newRow("a small face: placed, and the pupil is to come closer")
        << std::vector{levelFace({60, 100}, 12)} << QRect(8, 46, 105, 120) << kCloser;
    QTest::newRow("a tilted face near the bottom: placed within the photo, and said")
        << std::vector{levelFace({300, 230}, 24, -14)} << QRect(210, 115, 105, 120)
        << QStringLiteral("Baş eğik");
  }
  void placementAfterF5() {
    QFETCH(std::vector<face::FoundFace>, faces);
    QFETCH(QRect, frame);
    QFETCH(QString, message);
    PlacingWorkspace run(faces);
    Form1& form = run.form;
    clickPad(form, "orta");
    QVERIFY(testsupport::freezeLivePicture(form));

    pressF5(form);

    QCOMPARE(run.finder->shown.size(), std::size_t(1));
    QCOMPARE(run.finder->shown[0], form.photo.image());
    QCOMPARE(frameRect(form), frame);
    QCOMPARE(form.Label5->geometry(), frame);
    QCOMPARE(form.txtSol->text(), QString::number(frame.left()));
    QCOMPARE(form.txtUst->text(), QString::number(frame.top()));
    QCOMPARE(stored(run.profile, "Sol"), frame.left());
    QCOMPARE(stored(run.profile, "Ust"), frame.top());
    QCOMPARE(form.lblYuzMesaj->text(), message);
    QVERIFY(run.prompts.prompts().isEmpty());
  }

  void uncheckedBoxLeavesTheFrameAlone() {
    PlacingWorkspace run({levelFace({160, 110})}, false);
    Form1& form = run.form;
    clickPad(form, "orta");
    pressF5(form);
    QVERIFY(form.photo.hasBitmap());
    QVERIFY(run.finder->shown.empty());
    QCOMPARE(frameRect(form), QRect(107, 60, 105, 120));
    QVERIFY(form.lblYuzMesaj->text().isEmpty());
  }

  void withoutAFinderTheBoxIsGreyedAndNothingMoves() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    store(profile, "YuzYerlestir", 1);
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    QVERIFY(!form.chkYuzYerlestir->isEnabled());
    QVERIFY(form.chkYuzYerlestir->isChecked());  // the stored choice stays for a later run
    QVERIFY(!form.chkYuzYerlestir->toolTip().isEmpty());
    clickPad(form, "orta");
    pressF5(form);
    QVERIFY(form.photo.hasBitmap());
    QCOMPARE(frameRect(form), QRect(107, 60, 105, 120));
    QVERIFY(form.lblYuzMesaj->text().isEmpty());
    QCOMPARE(stored(profile, "YuzYerlestir"), 1);
  }

  void messageIsClearedByTheNextPhoto() {
    PlacingWorkspace run({});
    Form1& form = run.form;
    pressF5(form);
    QCOMPARE(form.lblYuzMesaj->text(), kNoFace);
    // Fine-tuning by hand says nothing new and keeps the line.
    clickPad(form, "sag");
    QCOMPARE(form.lblYuzMesaj->text(), kNoFace);
    run.finder->faces = {levelFace({160, 110})};
    pressF5(form);
    QVERIFY(form.lblYuzMesaj->text().isEmpty());
    run.finder->faces = {};
    pressF5(form);
    QCOMPARE(form.lblYuzMesaj->text(), kNoFace);
    QTest::mouseClick(form.chkYuzYerlestir, Qt::LeftButton);
    pressF5(form);
    QVERIFY(form.lblYuzMesaj->text().isEmpty());
    QCOMPARE(run.finder->shown.size(), std::size_t(3));
  }

  void livePictureIsNeverSearched() {
    PlacingWorkspace run({levelFace({160, 110})});
    Form1& form = run.form;
    clickPad(form, "orta");
    // Several live frames go by in the workspace's preview.
    video::CaptureWindow* camera = run.program.captureWindow();
    QVERIFY(camera);
    QTRY_VERIFY(testsupport::showsAFrame(camera->pixels()));
    const QImage first = camera->pixels();
    QTRY_VERIFY(camera->pixels() != first);
    QVERIFY(run.finder->shown.empty());
    QCOMPARE(frameRect(form), QRect(107, 60, 105, 120));
    QVERIFY(form.lblYuzMesaj->text().isEmpty());
  }

  void placementAfterResimAlInTheCameraWindow() {
    PlacingWorkspace run({levelFace({150, 100})});
    Form1& form = run.form;
    clickPad(form, "orta");
    QImage handedOver;
    testsupport::inCameraWindow(run.program, [&](frmWebCam& camera) {
      // Nothing is searched while the camera window shows its live picture.
      QVERIFY(run.finder->shown.empty());
      camera.toolYon_ButtonClick(QStringLiteral("durdur"));
      handedOver = camera.Image1->picture();
      camera.toolYon_ButtonClick(QStringLiteral("al"));
    });
    QCOMPARE(run.finder->shown.size(), std::size_t(1));
    QCOMPARE(run.finder->shown[0], handedOver);
    QCOMPARE(form.photo.image(), handedOver);
    // 150 - 52.5 = 97.5 → 98, 100 - 54 = 46.
    QCOMPARE(frameRect(form), QRect(98, 46, 105, 120));
    QCOMPARE(stored(run.profile, "Sol"), 98);
    QCOMPARE(stored(run.profile, "Ust"), 46);
    QVERIFY(form.lblYuzMesaj->text().isEmpty());
  }

  void placedFrameIsFineTunedByHand_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QRect>("frame");
    // Placed at 108, 56 first.
    QTest::newRow("the pad moves it by the step") << "sag" << QRect(118, 56, 105, 120);
    QTest::newRow("the pad centres it") << "orta" << QRect(107, 60, 105, 120);
    QTest::newRow("a typed top") << "txtUst 70" << QRect(108, 70, 105, 120);
    QTest::newRow("a drag on the frame moves it by the offset")
        << "drag" << QRect(113, 53, 105, 120);
  }
  void placedFrameIsFineTunedByHand() {
    QFETCH(QString, how);
    QFETCH(QRect, frame);
    PlacingWorkspace run({levelFace({160, 110})});
    Form1& form = run.form;
    form.txtYon->setText(QStringLiteral("10"));
    pressF5(form);
    QCOMPARE(frameRect(form), QRect(108, 56, 105, 120));

    if (how == QLatin1String("drag")) {
      QTest::mousePress(form.Label5, Qt::LeftButton, {}, QPoint(20, 20));
      QTest::mouseMove(form.Label5, QPoint(25, 17));
      QTest::mouseRelease(form.Label5, Qt::LeftButton, {}, QPoint(25, 17));
    } else if (how.startsWith(QLatin1String("txtUst "))) {
      form.txtUst->setText(how.mid(7));
    } else {
      clickPad(form, qPrintable(how));
    }
    QCOMPARE(frameRect(form), frame);
    QCOMPARE(stored(run.profile, "Sol"), frame.left());
    QCOMPARE(stored(run.profile, "Ust"), frame.top());
    QCOMPARE(run.finder->shown.size(), std::size_t(1));
  }
};

QTEST_MAIN(Form1FaceTest)
#include "tst_form1_face.moc"
