// The workspace's camera boxes follow cameras that are plugged in and pulled
// out, keeping the chosen camera chosen by identity (and the capture
// window's driver number on its camera), and its preview survives its
// camera being pulled out and plugged in again. Nothing is rebuilt or
// reopened when the cameras did not really change.

#include <QComboBox>
#include <QListWidget>
#include <QSignalSpy>

#include "platform/video/capturewidget.h"
#include "platform/video/syntheticcamera.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::ProgramWindows;
using testsupport::SandboxProfile;

namespace {

QStringList items(const QListWidget& list) {
  QStringList names;
  for (int i = 0; i < list.count(); ++i) names << list.item(i)->text();
  return names;
}

QStringList items(const QComboBox& box) {
  QStringList names;
  for (int i = 0; i < box.count(); ++i) names << box.itemText(i);
  return names;
}

// "Kamera 0" exists but is not plugged in when the program starts, so the
// boxes start with "Kamera A" and "Kamera B" and the window on "Kamera A".
struct Cameras {
  Cameras() { synthetic->unplug("Kamera 0"); }
  std::shared_ptr<video::SyntheticProvider> synthetic = std::make_shared<video::SyntheticProvider>(
      std::vector<std::string>{"Kamera 0", "Kamera A", "Kamera B"});
  std::shared_ptr<testsupport::CountingCameras> counted =
      std::make_shared<testsupport::CountingCameras>(synthetic);
};

video::CaptureWidget* previewOf(const ProgramWindows& program) {
  return dynamic_cast<video::CaptureWidget*>(program.captureWindow());
}

}  // namespace

class TestForm1Cameras : public QObject {
  Q_OBJECT

 private slots:
  void cameraBoxesFollowTheCameras_data();
  void cameraBoxesFollowTheCameras();
  void unchangedCamerasRebuildNothing();
  void previewSurvivesUnplugAndReplug();
  void aCameraAppearingAfterAStartWithoutOneIsListed();
};

void TestForm1Cameras::cameraBoxesFollowTheCameras_data() {
  QTest::addColumn<int>("choose");
  QTest::addColumn<QStringList>("events");
  QTest::addColumn<QStringList>("listed");
  QTest::addColumn<int>("chosenRow");
  QTest::addColumn<int>("driverNumber");
  QTest::newRow("a camera appearing before the chosen one moves the choice and the window down")
      << 0 << QStringList{"+Kamera 0"} << QStringList{"Kamera 0", "Kamera A", "Kamera B"} << 1 << 1;
  QTest::newRow("a camera appearing after the chosen one changes no number")
      << 1 << QStringList{"-Kamera B", "+Kamera B"} << QStringList{"Kamera A", "Kamera B"} << 1
      << 0;
  QTest::newRow("the chosen camera pulled out: the first shown, the window keeps its number")
      << 1 << QStringList{"-Kamera B"} << QStringList{"Kamera A"} << 0 << 0;
  QTest::newRow("another camera pulled out: the chosen one keeps its choice at its new place")
      << 1 << QStringList{"+Kamera 0", "-Kamera 0"} << QStringList{"Kamera A", "Kamera B"} << 1
      << 0;
  QTest::newRow("the window's camera pulled out before the chosen one: the choice moves up")
      << 1 << QStringList{"-Kamera A"} << QStringList{"Kamera B"} << 0 << 0;
}

void TestForm1Cameras::cameraBoxesFollowTheCameras() {
  QFETCH(int, choose);
  QFETCH(QStringList, events);
  QFETCH(QStringList, listed);
  QFETCH(int, chosenRow);
  QFETCH(int, driverNumber);
  SandboxProfile profile;
  testsupport::ScriptedPrompter prompts;
  Cameras cameras;
  ProgramWindows program(profile, prompts, cameras.counted);
  Form1& form = *program.form;
  QCOMPARE(items(*form.cmbCamList), (QStringList{"Kamera A", "Kamera B"}));
  form.cmbCamList->setCurrentIndex(choose);
  QCOMPARE(form.List1->currentRow(), choose);

  for (const QString& event : events) {
    const std::string name = event.mid(1).toStdString();
    if (event.startsWith('+'))
      cameras.synthetic->replug(name);
    else
      cameras.synthetic->unplug(name);
  }
  QCOMPARE(items(*form.List1), listed);
  QCOMPARE(items(*form.cmbCamList), listed);
  QCOMPARE(form.List1->currentRow(), chosenRow);
  QCOMPARE(form.cmbCamList->currentIndex(), chosenRow);
  QCOMPARE(form.webCam().captureDriverIndex(), driverNumber);
  QCOMPARE(prompts.prompts().size(), 0);
}

void TestForm1Cameras::unchangedCamerasRebuildNothing() {
  SandboxProfile profile;
  testsupport::ScriptedPrompter prompts;
  Cameras cameras;
  ProgramWindows program(profile, prompts, cameras.counted);
  Form1& form = *program.form;
  const QListWidgetItem* first = form.List1->item(0);
  QSignalSpy boxChanges(form.cmbCamList, &QComboBox::currentIndexChanged);
  const int opened = cameras.counted->opened();
  // A node that came and went, or one that is no camera: the list is the same.
  emit cameras.synthetic->notifier()->devicesChanged();
  cameras.synthetic->unplug("Kamera 0");
  QCOMPARE(form.List1->item(0), first);
  QCOMPARE(boxChanges.size(), 0);
  QCOMPARE(cameras.counted->opened(), opened);
  QVERIFY(previewOf(program)->isConnected());
}

void TestForm1Cameras::previewSurvivesUnplugAndReplug() {
  SandboxProfile profile;
  testsupport::ScriptedPrompter prompts;
  Cameras cameras;
  ProgramWindows program(profile, prompts, cameras.counted);
  video::CaptureWidget* preview = previewOf(program);
  QVERIFY(preview);
  QTRY_VERIFY(!preview->currentFrame().isNull());
  const int opened = cameras.counted->opened();

  cameras.synthetic->unplug("Kamera A");
  QTRY_VERIFY_WITH_TIMEOUT(!preview->isConnected(), 1000);
  const QImage black = preview->pixels();
  QCOMPARE(black.pixel(black.width() / 2, black.height() / 2), qRgb(0, 0, 0));
  QCOMPARE(cameras.counted->openNow(), 0);
  QCOMPARE(items(*program.form->cmbCamList), QStringList{"Kamera B"});

  cameras.synthetic->replug("Kamera A");
  QTRY_VERIFY_WITH_TIMEOUT(preview->isConnected() && !preview->currentFrame().isNull(), 2000);
  QCOMPARE(preview->cameraIdentity(), std::string("synthetic:Kamera A"));
  QCOMPARE(cameras.counted->opened(), opened + 1);
  QCOMPARE(cameras.counted->openNow(), 1);
  QCOMPARE(program.form->cmbCamList->currentIndex(), 0);
  QCOMPARE(program.form->webCam().captureDriverIndex(), 0);
}

void TestForm1Cameras::aCameraAppearingAfterAStartWithoutOneIsListed() {
  SandboxProfile profile;
  testsupport::ScriptedPrompter prompts;
  prompts.answerMessage(ui::vbOK);
  auto cameras = std::make_shared<video::SyntheticProvider>(std::vector<std::string>{"Kamera A"});
  cameras->unplug("Kamera A");
  ProgramWindows program(profile, prompts, cameras);
  QCOMPARE(prompts.prompts().size(), 1);
  QCOMPARE(program.form->cmbCamList->count(), 0);
  cameras->replug("Kamera A");
  QCOMPARE(items(*program.form->cmbCamList), QStringList{"Kamera A"});
  QCOMPARE(program.form->List1->currentRow(), 0);
  QCOMPARE(program.form->cmbCamList->currentIndex(), 0);
}

QTEST_MAIN(TestForm1Cameras)
#include "tst_form1_cameras.moc"
