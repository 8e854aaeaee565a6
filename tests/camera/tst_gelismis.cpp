// The workspace's "gelismis" command: its own capture window closed while the
// camera window is open (modal), reopened afterwards on the camera chosen in
// the camera box, never two cameras open at once; "Resim Al" filling the
// workspace's photo box; each opening loading the window afresh.

#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <cstdlib>
#include <functional>

#include "camera/camera_window_fixture.h"
#include "camera/frmwebcam.h"
#include "camera/imagecontrol.h"
#include "platform/ui/picturebox.h"
#include "support/cameras.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace/workspace_fixture.h"

using testsupport::CountingCameras;
using testsupport::ProgramWindows;

class GelismisTest : public QObject {
  Q_OBJECT
 private slots:
  void reopensTheWorkspaceCameraOnTheChosenEntry_data() {
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("closeBy");
    QTest::newRow("first camera, closed with Kapat") << 0 << "kapat";
    QTest::newRow("second camera, closed with Kapat") << 1 << "kapat";
    QTest::newRow("second camera, closed with the close box") << 1 << "close box";
    QTest::newRow("first camera, closed with Resim Al") << 0 << "al";
  }
  void reopensTheWorkspaceCameraOnTheChosenEntry() {
    QFETCH(int, chosen);
    QFETCH(QString, closeBy);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    auto cameras = std::make_shared<CountingCameras>(testsupport::fakeCameras("Kamera A,Kamera B"));
    ProgramWindows program(profile, prompts, cameras);
    program.form->cmbCamList->setCurrentIndex(chosen);
    QCOMPARE(program.form->List1->currentRow(), chosen);
    QVERIFY(program.captureWindow());
    QCOMPARE(cameras->openNow(), 1);

    testsupport::inCameraWindow(program, [&](frmWebCam& camera) {
      QVERIFY(!program.captureWindow());
      QVERIFY(camera.isVisible());
      QCOMPARE(camera.windowModality(), Qt::ApplicationModal);
      QVERIFY(camera.isWindow());
      const QPoint offCentre = camera.frameGeometry().center() -
                               QGuiApplication::primaryScreen()->availableGeometry().center();
      // Centred before it is shown, when its frame's margins are not known yet.
      QVERIFY2(std::abs(offCentre.x()) <= 2 && std::abs(offCentre.y()) <= 2,
               "centred on the screen");
      QCOMPARE(cameras->openNow(), 1);
      if (closeBy == QLatin1String("close box"))
        camera.close();
      else
        camera.toolYon_ButtonClick(closeBy);
    });

    QVERIFY(!program.registry.find<frmWebCam>());
    QVERIFY(program.captureWindow());
    QCOMPARE(program.form->webCam().captureDriverIndex(), chosen);
    QTRY_COMPARE(cameras->openNow(), 1);
    QCOMPARE(cameras->mostOpenAtOnce(), 1);
  }

  void takenPictureFillsThePhotoBox() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QVERIFY(!program.form->photo.hasBitmap());
    QImage shown;
    testsupport::inCameraWindow(program, [&](frmWebCam& camera) {
      camera.toolYon_ButtonClick(QStringLiteral("durdur"));
      shown = camera.Image1->picture();
      camera.toolYon_ButtonClick(QStringLiteral("al"));
    });
    QCOMPARE(shown.size(), QSize(640, 480));
    QVERIFY(program.form->photo.hasBitmap());
    QCOMPARE(program.form->photo.image().convertToFormat(QImage::Format_RGB32),
             shown.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(program.form->Picture2->picture().size(), QSize(640, 480));
  }

  void eachOpeningLoadsTheWindowAfresh() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    testsupport::inCameraWindow(program, [&](frmWebCam& camera) {
      QCOMPARE(camera.tmrMain->interval(), 10);
      prompts.answerInput(QStringLiteral("250"));
      camera.toolYon_ButtonClick(QStringLiteral("hiz"));
      camera.toolYon_ButtonClick(QStringLiteral("kapat"));
    });
    testsupport::inCameraWindow(program, [&](frmWebCam& camera) {
      QCOMPARE(camera.tmrMain->interval(), 250);
      QVERIFY(camera.tmrMain->isActive());
      QTest::keyClick(&camera, Qt::Key_Escape);
    });
    QVERIFY(!program.registry.find<frmWebCam>());
  }

  void f8DoesNothingInTheWorkspace() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    video::CaptureWindow* before = program.captureWindow();
    program.form->KeyDown(ui::vbKeyF8);
    QVERIFY(!program.registry.find<frmWebCam>());
    QCOMPARE(program.captureWindow(), before);
  }
};

QTEST_MAIN(GelismisTest)
#include "tst_gelismis.moc"
