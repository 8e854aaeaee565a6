// modWebCam over synthetic cameras: the driver list, the workspace capture
// window (its messages, their order, its size) and closing it in any state.

#include <QFrame>
#include <QListWidget>
#include <QTest>

#include "capture/modWebCam.h"
#include "platform/video/capturewindow.h"
#include "platform/video/deviceprovider.h"
#include "support/frames.h"

using namespace video;

namespace {

struct Call {
  HWND window;
  std::uint32_t message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Call&) const = default;
};

QStringList items(const QListWidget& list) {
  QStringList names;
  for (int i = 0; i < list.count(); ++i) names << list.item(i)->text();
  return names;
}

}  // namespace

class TestModWebCam : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void listsDriversInNumberOrder_data();
  void listsDriversInNumberOrder();
  void openSendsTheMessagesInOrder();
  void choosingTheSecondDriverOpensDriverOne();
  void captureWindowFillsTheHostInnerArea_data();
  void captureWindowFillsTheHostInnerArea();
  void framesArePainted();
  void failedConnectDestroysTheWindowAndKeepsTheHandle();
  void closeIsHarmlessTwiceOrBeforeAnyOpen();
  void reopenAfterCloseGivesANewWindow();

 private:
  void useCameras(const QByteArray& list);
  std::vector<Call> calls_;
};

void TestModWebCam::init() {
  useCameras(" Kamera A ,Kamera B");
  calls_.clear();
  setMessageObserver([this](HWND w, std::uint32_t m, WPARAM wp, LPARAM lp) {
    calls_.push_back({w, m, wp, lp});
  });
}

void TestModWebCam::cleanup() {
  modWebCam::closeCaptureWindow();
  setMessageObserver({});
}

// The provider reads the variable when it is created; dropping the current
// one makes the next call read it again.
void TestModWebCam::useCameras(const QByteArray& list) {
  qputenv("TANDEO_FAKE_CAMERAS", list);
  setDeviceProvider(nullptr);
}

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
}

void TestModWebCam::listsDriversInNumberOrder() {
  QFETCH(QByteArray, cameras);
  QFETCH(QStringList, listed);
  useCameras(cameras);
  QListWidget list;
  list.addItem("left over from before");
  modWebCam::listCaptureDrivers(list);
  QCOMPARE(items(list), listed);
}

void TestModWebCam::openSendsTheMessagesInOrder() {
  QWidget host;
  host.resize(352, 288);
  modWebCam::openCaptureWindow(0, host);
  const HWND h = modWebCam::hwndCapture;
  QVERIFY(h != 0);
  const std::vector<Call> expected = {
      {h, WM_CREATE, 320, 240},       {h, WM_CAP_DRIVER_CONNECT, 0, 0},
      {h, WM_CAP_SET_SCALE, -1, 0},   {h, WM_CAP_SET_PREVIEWRATE, 66, 0},
      {h, WM_CAP_SET_PREVIEW, -1, 0}, {h, WM_WINDOWPOSCHANGED, 352, 288},
  };
  QVERIFY(calls_ == expected);
  QWidget* window = captureWidget(h);
  QCOMPARE(window->parentWidget(), &host);
  QCOMPARE(window->windowTitle(), QString("0"));
  QVERIFY(!window->isHidden());
  QVERIFY(static_cast<CaptureWindow*>(window)->isPreviewing());
  calls_.clear();
  modWebCam::closeCaptureWindow();
  const std::vector<Call> closing = {{h, WM_CAP_DRIVER_DISCONNECT, 0, 0}, {h, WM_DESTROY, 0, 0}};
  QVERIFY(calls_ == closing);
  QVERIFY(captureWidget(h) == nullptr);
}

void TestModWebCam::choosingTheSecondDriverOpensDriverOne() {
  QListWidget list;
  modWebCam::listCaptureDrivers(list);
  list.setCurrentRow(1);
  QWidget host;
  modWebCam::openCaptureWindow(list.currentRow(), host);
  QCOMPARE(modWebCam::captureDriverIndex, 1);
  QCOMPARE(calls_.at(1), (Call{modWebCam::hwndCapture, WM_CAP_DRIVER_CONNECT, 1, 0}));
  QCOMPARE(captureWidget(modWebCam::hwndCapture)->windowTitle(), QString("1"));
  QVERIFY(static_cast<CaptureWindow*>(captureWidget(modWebCam::hwndCapture))->isConnected());
  calls_.clear();
  modWebCam::closeCaptureWindow();
  QCOMPARE(calls_.at(0), (Call{calls_.at(0).window, WM_CAP_DRIVER_DISCONNECT, 1, 0}));
}

void TestModWebCam::captureWindowFillsTheHostInnerArea_data() {
  QTest::addColumn<QSize>("hostSize");
  QTest::addColumn<int>("border");
  QTest::newRow("host smaller than the initial 320 x 240") << QSize(200, 150) << 0;
  QTest::newRow("host larger than the initial 320 x 240") << QSize(640, 500) << 0;
  QTest::newRow("host with a sunken border") << QSize(400, 300) << 2;
  QTest::newRow("host of a 16:9 shape") << QSize(480, 270) << 1;
}

void TestModWebCam::captureWindowFillsTheHostInnerArea() {
  QFETCH(QSize, hostSize);
  QFETCH(int, border);
  QFrame host;
  host.setFrameStyle(border ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
  host.setLineWidth(border);
  host.resize(hostSize);
  host.show();
  const QSize inner = host.contentsRect().size();
  modWebCam::openCaptureWindow(0, host);
  QWidget* window = captureWidget(modWebCam::hwndCapture);
  QCOMPARE(window->size(), inner);
  QCOMPARE(window->pos(), QPoint(0, 0));
  QCOMPARE(calls_.back(),
           (Call{modWebCam::hwndCapture, WM_WINDOWPOSCHANGED, inner.width(), inner.height()}));
  QTRY_COMPARE(static_cast<CaptureWindow*>(window)->currentFrame().size(), inner);
  QCOMPARE(windowPixels(modWebCam::hwndCapture).size(), inner);
}

void TestModWebCam::framesArePainted() {
  QWidget host;
  host.resize(320, 240);
  host.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host));
  modWebCam::openCaptureWindow(1, host);
  QTRY_VERIFY(testsupport::hasPicture(windowPixels(modWebCam::hwndCapture)));
  // What the screen shows is the same picture.
  QTRY_VERIFY(testsupport::hasPicture(host.grab().toImage()));
}

void TestModWebCam::failedConnectDestroysTheWindowAndKeepsTheHandle() {
  QWidget host;
  modWebCam::openCaptureWindow(5, host);  // only drivers 0 and 1 exist
  const HWND h = modWebCam::hwndCapture;
  QVERIFY(h != 0);
  QCOMPARE(modWebCam::captureDriverIndex, 5);
  const std::vector<Call> expected = {
      {h, WM_CREATE, 320, 240}, {h, WM_CAP_DRIVER_CONNECT, 5, 0}, {h, WM_DESTROY, 0, 0}};
  QVERIFY(calls_ == expected);
  QVERIFY(captureWidget(h) == nullptr);
  QVERIFY(host.findChildren<CaptureWindow*>().isEmpty());
  // The stale handle stays; closing later talks to nobody.
  modWebCam::closeCaptureWindow();
  QCOMPARE(modWebCam::hwndCapture, h);
}

void TestModWebCam::closeIsHarmlessTwiceOrBeforeAnyOpen() {
  modWebCam::closeCaptureWindow();  // nothing open (or a stale handle from before)
  QWidget host;
  modWebCam::openCaptureWindow(0, host);
  const HWND h = modWebCam::hwndCapture;
  modWebCam::closeCaptureWindow();
  modWebCam::closeCaptureWindow();
  QVERIFY(captureWidget(h) == nullptr);
  QVERIFY(host.findChildren<CaptureWindow*>().isEmpty());
  QCOMPARE(modWebCam::hwndCapture, h);
}

void TestModWebCam::reopenAfterCloseGivesANewWindow() {
  QWidget host;
  host.resize(300, 200);
  modWebCam::openCaptureWindow(0, host);
  const HWND first = modWebCam::hwndCapture;
  modWebCam::closeCaptureWindow();
  modWebCam::openCaptureWindow(0, host);
  QVERIFY(modWebCam::hwndCapture != first);
  QCOMPARE(host.findChildren<CaptureWindow*>().size(), 1);
  QTRY_VERIFY(testsupport::hasPicture(windowPixels(modWebCam::hwndCapture)));
}

QTEST_MAIN(TestModWebCam)
#include "tst_modwebcam.moc"
