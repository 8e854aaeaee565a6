// modWebCam: the driver list, the steps that open and close the workspace
// capture window (in order, on recording windows) and the real capture
// widget it makes over synthetic cameras (its place, its size, its pictures).

#include <QFrame>
#include <QListWidget>
#include <QPointer>
#include <QTest>

#include "capture/modWebCam.h"
#include "platform/video/capturewidget.h"
#include "support/cameras.h"
#include "support/frames.h"
#include "support/recording_capture_window.h"

using testsupport::RecordingCaptureWindows;

namespace {

QStringList items(const QListWidget& list) {
  QStringList names;
  for (int i = 0; i < list.count(); ++i) names << list.item(i)->text();
  return names;
}

const QStringList kOpenedOnDriver0 = {"create 0 at 0,0 320x240", "connect 0", "scale on",
                                      "preview rate 66", "preview on"};

}  // namespace

class TestModWebCam : public QObject {
  Q_OBJECT

 private slots:
  void listsDriversInNumberOrder_data();
  void listsDriversInNumberOrder();
  void openRunsTheStepsInOrder();
  void choosingTheSecondDriverOpensDriverOne();
  void failedConnectDestroysTheWindowSilently();
  void closeIsHarmlessTwiceOrBeforeAnyOpen();
  void openingAgainReplacesAWindowLeftOpen();
  void theModuleClosesItsWindowWhenItGoes();
  void closingLetsGoOfTheCamera();
  void captureWidgetFillsTheHostInnerArea_data();
  void captureWidgetFillsTheHostInnerArea();
  void framesArePainted();
  void reopenAfterCloseGivesANewWidget();
};

void TestModWebCam::listsDriversInNumberOrder_data() {
  QTest::addColumn<QByteArray>("cameras");
  QTest::addColumn<QStringList>("listed");
  QTest::newRow("two drivers in order, blanks trimmed")
      << QByteArray(" Kamera A ,Kamera B") << QStringList{"Kamera A", "Kamera B"};
  QTest::newRow("trailing blanks of a name removed")
      << QByteArray("Logi C270   ") << QStringList{"Logi C270"};
  QTest::newRow("no driver leaves the list empty") << QByteArray("") << QStringList{};
  QTest::newRow("never more than ten")
      << QByteArray("0,1,2,3,4,5,6,7,8,9,10,11")
      << QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  // 98 letters and a two-byte letter: 100 bytes, one more than the name
  // buffer of the driver layer holds besides its terminating zero.
  const QByteArray long98(98, 'k');
  QTest::newRow("a long name is cut to 99 bytes, never inside a letter")
      << (long98 + "\xC3\x87") << QStringList{QString::fromLatin1(long98)};
}

void TestModWebCam::listsDriversInNumberOrder() {
  QFETCH(QByteArray, cameras);
  QFETCH(QStringList, listed);
  modWebCam webCam(testsupport::fakeCameras(cameras.toStdString()));
  QListWidget list;
  list.addItem("left over from before");
  webCam.listCaptureDrivers(list);
  QCOMPARE(items(list), listed);
}

void TestModWebCam::openRunsTheStepsInOrder() {
  RecordingCaptureWindows windows;
  QWidget host;
  host.resize(352, 288);
  modWebCam webCam(testsupport::fakeCameras("Kamera A"), windows.factory());
  webCam.openCaptureWindow(0, host);
  QCOMPARE(windows.calls(), kOpenedOnDriver0 + QStringList{"resize 352x288"});
  QVERIFY(webCam.captureWindow());
  QWidget* shown = webCam.captureWindow()->widget();
  QCOMPARE(shown->parentWidget(), &host);
  QCOMPARE(shown->windowTitle(), QString("0"));
  QCOMPARE(shown->geometry(), QRect(0, 0, 352, 288));
  QVERIFY(!shown->isHidden());
  QCOMPARE(webCam.captureDriverIndex(), 0);

  windows.clearCalls();
  webCam.closeCaptureWindow();
  QCOMPARE(windows.calls(), (QStringList{"disconnect", "destroy"}));
  QVERIFY(!webCam.captureWindow());
  QCOMPARE(windows.alive(), 0);
}

void TestModWebCam::choosingTheSecondDriverOpensDriverOne() {
  RecordingCaptureWindows windows;
  QWidget host;
  modWebCam webCam(testsupport::fakeCameras("Kamera A,Kamera B"), windows.factory());
  QListWidget list;
  webCam.listCaptureDrivers(list);
  list.setCurrentRow(1);
  webCam.openCaptureWindow(list.currentRow(), host);
  QCOMPARE(webCam.captureDriverIndex(), 1);
  QCOMPARE(windows.calls().mid(0, 2), (QStringList{"create 1 at 0,0 320x240", "connect 1"}));
  QCOMPARE(webCam.captureWindow()->widget()->windowTitle(), QString("1"));
}

void TestModWebCam::failedConnectDestroysTheWindowSilently() {
  RecordingCaptureWindows windows({0, 1});
  QWidget host;
  modWebCam webCam(testsupport::fakeCameras("Kamera A,Kamera B"), windows.factory());
  webCam.openCaptureWindow(5, host);
  QCOMPARE(windows.calls(), (QStringList{"create 5 at 0,0 320x240", "connect 5", "destroy"}));
  QCOMPARE(webCam.captureDriverIndex(), 5);
  QVERIFY(!webCam.captureWindow());
  QVERIFY(host.findChildren<QWidget*>().isEmpty());
  windows.clearCalls();
  webCam.closeCaptureWindow();
  QVERIFY(windows.calls().isEmpty());
}

void TestModWebCam::closeIsHarmlessTwiceOrBeforeAnyOpen() {
  RecordingCaptureWindows windows;
  QWidget host;
  modWebCam webCam(testsupport::fakeCameras("Kamera A"), windows.factory());
  webCam.closeCaptureWindow();
  QVERIFY(windows.calls().isEmpty());
  webCam.openCaptureWindow(0, host);
  webCam.closeCaptureWindow();
  windows.clearCalls();
  webCam.closeCaptureWindow();
  QVERIFY(windows.calls().isEmpty());
  QCOMPARE(windows.alive(), 0);
}

void TestModWebCam::openingAgainReplacesAWindowLeftOpen() {
  RecordingCaptureWindows windows;
  QWidget host;
  host.resize(200, 150);
  modWebCam webCam(testsupport::fakeCameras("Kamera A,Kamera B"), windows.factory());
  webCam.openCaptureWindow(0, host);
  windows.clearCalls();
  webCam.openCaptureWindow(1, host);
  QCOMPARE(windows.calls().mid(0, 4),
           (QStringList{"disconnect", "destroy", "create 1 at 0,0 320x240", "connect 1"}));
  QCOMPARE(windows.alive(), 1);
}

void TestModWebCam::theModuleClosesItsWindowWhenItGoes() {
  RecordingCaptureWindows windows;
  QWidget host;
  {
    modWebCam webCam(testsupport::fakeCameras("Kamera A"), windows.factory());
    webCam.openCaptureWindow(0, host);
    windows.clearCalls();
  }
  QCOMPARE(windows.calls(), (QStringList{"disconnect", "destroy"}));
  QVERIFY(host.findChildren<QWidget*>().isEmpty());
}

void TestModWebCam::closingLetsGoOfTheCamera() {
  auto cameras = std::make_shared<testsupport::CountingCameras>(testsupport::fakeCameras("A"));
  QWidget host;
  modWebCam webCam(cameras);
  webCam.openCaptureWindow(0, host);
  QCOMPARE(cameras->openNow(), 1);
  webCam.closeCaptureWindow();
  QCOMPARE(cameras->openNow(), 0);
  webCam.openCaptureWindow(3, host);  // no such driver
  QCOMPARE(cameras->openNow(), 0);
  QVERIFY(host.findChildren<video::CaptureWidget*>().isEmpty());
}

void TestModWebCam::captureWidgetFillsTheHostInnerArea_data() {
  QTest::addColumn<QSize>("hostSize");
  QTest::addColumn<int>("border");
  QTest::newRow("host smaller than the first 320 x 240") << QSize(200, 150) << 0;
  QTest::newRow("host larger than the first 320 x 240") << QSize(640, 500) << 0;
  QTest::newRow("host with a sunken border") << QSize(400, 300) << 2;
  QTest::newRow("host of a 16:9 shape") << QSize(480, 270) << 1;
}

void TestModWebCam::captureWidgetFillsTheHostInnerArea() {
  QFETCH(QSize, hostSize);
  QFETCH(int, border);
  QFrame host;
  host.setFrameStyle(border ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
  host.setLineWidth(border);
  host.resize(hostSize);
  host.show();
  const QSize inner = host.contentsRect().size();
  modWebCam webCam(testsupport::fakeCameras("Kamera A"));
  webCam.openCaptureWindow(0, host);
  auto* widget = dynamic_cast<video::CaptureWidget*>(webCam.captureWindow());
  QVERIFY(widget);
  QCOMPARE(widget->parentWidget(), &host);
  QCOMPARE(widget->windowTitle(), QString("0"));
  QVERIFY(!widget->isHidden());
  QVERIFY(widget->isPreviewing());
  QCOMPARE(widget->pos(), QPoint(0, 0));
  QCOMPARE(widget->size(), inner);
  QTRY_COMPARE(widget->currentFrame().size(), inner);
  QCOMPARE(widget->pixels().size(), inner);
}

void TestModWebCam::framesArePainted() {
  QWidget host;
  host.resize(320, 240);
  host.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host));
  modWebCam webCam(testsupport::fakeCameras("Kamera A,Kamera B"));
  webCam.openCaptureWindow(1, host);
  QTRY_VERIFY(testsupport::hasPicture(webCam.captureWindow()->pixels()));
  // What the screen shows is the same picture.
  QTRY_VERIFY(testsupport::hasPicture(host.grab().toImage()));
}

void TestModWebCam::reopenAfterCloseGivesANewWidget() {
  QWidget host;
  host.resize(300, 200);
  modWebCam webCam(testsupport::fakeCameras("Kamera A"));
  webCam.openCaptureWindow(0, host);
  const QPointer<QWidget> first = webCam.captureWindow()->widget();
  webCam.closeCaptureWindow();
  QVERIFY(first.isNull());
  webCam.openCaptureWindow(0, host);
  QCOMPARE(host.findChildren<video::CaptureWidget*>().size(), 1);
  QTRY_VERIFY(testsupport::hasPicture(webCam.captureWindow()->pixels()));
}

QTEST_MAIN(TestModWebCam)
#include "tst_modwebcam.moc"
