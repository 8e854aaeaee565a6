// The capture-window calls against synthetic cameras: driver descriptions,
// handles, the messages, painting, grabbing and the private clipboard.

#include <dirent.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>
#include <QTest>

#include "platform/video/capturestream.h"
#include "platform/video/capturewindow.h"
#include "platform/video/capwin.h"
#include "platform/video/privateclipboard.h"
#include "platform/video/syntheticcamera.h"
#include "support/frames.h"

using namespace video;

namespace {

int openDescriptorsOfProcess() {
  int count = 0;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (::readdir(dir)) ++count;
    ::closedir(dir);
  }
  return count;
}

struct Call {
  HWND window;
  std::uint32_t message;
  WPARAM wParam;
  bool operator==(const Call&) const = default;
};

}  // namespace

class TestCaptureWindow : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void driverDescriptions_data();
  void driverDescriptions();
  void nameIsCutToTheBufferWithoutSplittingCharacters();
  void unknownAndDestroyedHandlesAreIgnored();
  void windowDeletedWithItsParentIsIgnored();
  void connectToMissingDriverFails();
  void scaledPreviewFillsTheWindow();
  void unscaledPreviewKeepsNaturalSize();
  void resizeChangesTheDecodedSize();
  void grabFreezesTheNewestFrame();
  void copyUsesThePrivateClipboardOnly();
  void dialogsAnswerZeroForNow();
  void windowPixelsMatchWhatIsPainted();
  void observerSeesEveryCallInOrder();
  void hundredConnectionsLeaveNoDescriptor();

 private:
  HWND connectedWindow(QWidget& host, bool scale);
  std::unique_ptr<QWidget> host_;
};

void TestCaptureWindow::init() {
  setDeviceProvider(
      std::make_shared<SyntheticProvider>(std::vector<std::string>{" Kamera A ", "Kamera B"}));
  host_ = std::make_unique<QWidget>();
  host_->resize(400, 300);
  host_->show();
}

void TestCaptureWindow::cleanup() {
  setMessageObserver({});
  host_.reset();
  setDeviceProvider(nullptr);
  privateClipboard().clear();
}

HWND TestCaptureWindow::connectedWindow(QWidget& host, bool scale) {
  const HWND window = capCreateCaptureWindowA("0", WS_CHILD | WS_VISIBLE, 0, 0, 320, 240, &host, 0);
  if (SendMessageA(window, WM_CAP_DRIVER_CONNECT, 0, 0) == 0) return 0;
  SendMessageA(window, WM_CAP_SET_SCALE, scale ? -1 : 0, 0);
  SendMessageA(window, WM_CAP_SET_PREVIEWRATE, 15, 0);
  SendMessageA(window, WM_CAP_SET_PREVIEW, -1, 0);
  return window;
}

void TestCaptureWindow::driverDescriptions_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<int>("result");
  QTest::addColumn<QString>("name");
  QTest::newRow("first driver, blanks kept for the caller") << 0 << 1 << " Kamera A ";
  QTest::newRow("second driver") << 1 << 1 << "Kamera B";
  QTest::newRow("past the last driver") << 2 << 0 << "";
  QTest::newRow("negative number") << -1 << 0 << "";
  QTest::newRow("beyond the ten numbers") << 10 << 0 << "";
}

void TestCaptureWindow::driverDescriptions() {
  QFETCH(int, index);
  QFETCH(int, result);
  QFETCH(QString, name);
  char nameBuffer[100] = {};
  char version[100] = {};
  QCOMPARE(capGetDriverDescriptionA(index, nameBuffer, 100, version, 100), result);
  QCOMPARE(QString::fromUtf8(nameBuffer), name);
  if (result) QVERIFY(std::strlen(version) > 0);
}

void TestCaptureWindow::nameIsCutToTheBufferWithoutSplittingCharacters() {
  setDeviceProvider(
      std::make_shared<SyntheticProvider>(std::vector<std::string>{"Kamera \xC3\x87"}));
  char name[9];
  std::memset(name, 'x', sizeof name);
  QCOMPARE(capGetDriverDescriptionA(0, name, 9, nullptr, 0), 1);
  // "Kamera " is 7 bytes and Ç takes 2: 8 bytes would fit with no room for the zero.
  QCOMPARE(QByteArray(name), QByteArray("Kamera "));
  QCOMPARE(capGetDriverDescriptionA(0, name, 0, nullptr, 0), 1);  // no room at all: untouched
}

void TestCaptureWindow::unknownAndDestroyedHandlesAreIgnored() {
  QCOMPARE(SendMessageA(0, WM_CAP_DRIVER_CONNECT, 0, 0), 0);
  QCOMPARE(SendMessageA(12345, WM_CAP_DRIVER_DISCONNECT, 0, 0), 0);
  QVERIFY(!SetWindowPos(12345, HWND_BOTTOM, 0, 0, 10, 10, SWP_NOMOVE));
  QVERIFY(!DestroyWindow(12345));
  QVERIFY(windowPixels(12345).isNull());
  const HWND window = connectedWindow(*host_, true);
  QVERIFY(window);
  QPointer<QWidget> widget = captureWidget(window);
  QVERIFY(DestroyWindow(window));
  QVERIFY(widget.isNull());
  QCOMPARE(SendMessageA(window, WM_CAP_DRIVER_DISCONNECT, 0, 0), 0);
  QVERIFY(!DestroyWindow(window));
  // Handles are not reused: a new window does not answer to the old handle.
  const HWND next = capCreateCaptureWindowA("0", WS_CHILD, 0, 0, 320, 240, host_.get(), 0);
  QVERIFY(next != window);
  QVERIFY(captureWidget(window) == nullptr);
  QVERIFY(DestroyWindow(next));
}

void TestCaptureWindow::windowDeletedWithItsParentIsIgnored() {
  auto host = std::make_unique<QWidget>();
  const HWND window = connectedWindow(*host, true);
  QVERIFY(window);
  host.reset();  // takes the capture window (and its stream) with it
  QCOMPARE(SendMessageA(window, WM_CAP_DRIVER_DISCONNECT, 0, 0), 0);
  QVERIFY(!DestroyWindow(window));
}

void TestCaptureWindow::connectToMissingDriverFails() {
  const HWND window =
      capCreateCaptureWindowA("7", WS_CHILD | WS_VISIBLE, 0, 0, 320, 240, host_.get(), 0);
  QVERIFY(window);
  QCOMPARE(SendMessageA(window, WM_CAP_DRIVER_CONNECT, 7, 0), 0);
  QCOMPARE(SendMessageA(window, WM_CAP_DRIVER_DISCONNECT, 7, 0), 0);
  QCOMPARE(SendMessageA(window, WM_CAP_GRAB_FRAME, 0, 0), 0);
  QCOMPARE(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 0);
  QVERIFY(!privateClipboard().hasImage());
  QVERIFY(DestroyWindow(window));
}

void TestCaptureWindow::scaledPreviewFillsTheWindow() {
  const HWND window = connectedWindow(*host_, true);
  QVERIFY(window);
  QVERIFY(SetWindowPos(window, HWND_BOTTOM, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER));
  QCOMPARE(captureWidget(window)->geometry(), QRect(0, 0, 400, 300));
  QTRY_VERIFY(testsupport::hasPicture(windowPixels(window), QRect(0, 0, 400, 300)));
  // The frame covers the window edge to edge: no bars around a scaled preview.
  auto* widget = static_cast<CaptureWindow*>(captureWidget(window));
  QTRY_COMPARE(widget->currentFrame().size(), QSize(400, 300));
  QCOMPARE(windowPixels(window), widget->currentFrame());
}

void TestCaptureWindow::unscaledPreviewKeepsNaturalSize() {
  const HWND window = connectedWindow(*host_, false);
  QVERIFY(window);
  SetWindowPos(window, HWND_BOTTOM, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
  auto* widget = static_cast<CaptureWindow*>(captureWidget(window));
  QTRY_COMPARE(widget->currentFrame().size(), QSize(640, 480));
  const QImage pixels = windowPixels(window);
  QVERIFY(testsupport::hasPicture(pixels, QRect(0, 0, 40, 40)));
  QVERIFY(!testsupport::hasPicture(pixels, QRect(650, 490, 140, 100)));
}

void TestCaptureWindow::resizeChangesTheDecodedSize() {
  const HWND window = connectedWindow(*host_, true);
  auto* widget = static_cast<CaptureWindow*>(captureWidget(window));
  QTRY_COMPARE(widget->currentFrame().size(), QSize(320, 240));
  SetWindowPos(window, HWND_BOTTOM, 0, 0, 123, 77, SWP_NOMOVE | SWP_NOZORDER);
  QCOMPARE(widget->size(), QSize(123, 77));
  QTRY_COMPARE(widget->currentFrame().size(), QSize(123, 77));
  QCOMPARE(windowPixels(window).size(), QSize(123, 77));
}

void TestCaptureWindow::grabFreezesTheNewestFrame() {
  const HWND window = connectedWindow(*host_, true);
  auto* widget = static_cast<CaptureWindow*>(captureWidget(window));
  QTRY_VERIFY(!widget->currentFrame().isNull());
  QCOMPARE(SendMessageA(window, WM_CAP_GRAB_FRAME, 0, 0), 1);
  QVERIFY(!widget->isPreviewing());
  const qint64 grabbed = widget->currentFrame().cacheKey();
  const std::uint64_t at = widget->stream()->frames().sequence();
  QTRY_VERIFY(widget->stream()->frames().sequence() >= at + 3);
  QCoreApplication::processEvents();
  QCOMPARE(widget->currentFrame().cacheKey(), grabbed);
  // Preview on again: live frames replace the frozen one.
  SendMessageA(window, WM_CAP_SET_PREVIEW, -1, 0);
  QTRY_VERIFY(widget->currentFrame().cacheKey() != grabbed);
}

void TestCaptureWindow::copyUsesThePrivateClipboardOnly() {
  QGuiApplication::clipboard()->setText("the user's own text");
  const HWND window = connectedWindow(*host_, false);
  auto* widget = static_cast<CaptureWindow*>(captureWidget(window));
  QTRY_VERIFY(!widget->currentFrame().isNull());
  QCOMPARE(SendMessageA(window, WM_CAP_GRAB_FRAME, 0, 0), 1);
  QCOMPARE(SendMessageA(window, WM_CAP_EDIT_COPY, 0, 0), 1);
  QVERIFY(privateClipboard().hasImage());
  QCOMPARE(privateClipboard().image().size(), QSize(640, 480));
  QCOMPARE(privateClipboard().image(), widget->currentFrame());
  QCOMPARE(QGuiApplication::clipboard()->text(), QString("the user's own text"));
}

void TestCaptureWindow::dialogsAnswerZeroForNow() {
  const HWND window = connectedWindow(*host_, true);
  QCOMPARE(SendMessageA(window, WM_CAP_DLG_VIDEOFORMAT, 0, 0), 0);
  QCOMPARE(SendMessageA(window, WM_CAP_DLG_VIDEOSOURCE, 0, 0), 0);
  QCOMPARE(SendMessageA(window, WM_USER + 999, 0, 0), 0);
}

void TestCaptureWindow::windowPixelsMatchWhatIsPainted() {
  const HWND window = connectedWindow(*host_, true);
  SetWindowPos(window, HWND_BOTTOM, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
  auto* widget = static_cast<CaptureWindow*>(captureWidget(window));
  QTRY_COMPARE(widget->currentFrame().size(), QSize(200, 150));
  SendMessageA(window, WM_CAP_GRAB_FRAME, 0, 0);
  const QImage painted = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QCOMPARE(windowPixels(window), painted);
}

void TestCaptureWindow::observerSeesEveryCallInOrder() {
  std::vector<Call> calls;
  setMessageObserver([&](HWND w, std::uint32_t m, WPARAM wp, LPARAM) {
    calls.push_back({w, m, wp});
  });
  const HWND window = capCreateCaptureWindowA("1", WS_CHILD, 0, 0, 320, 240, host_.get(), 0);
  SendMessageA(window, WM_CAP_DRIVER_CONNECT, 1, 0);
  SetWindowPos(window, HWND_BOTTOM, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER);
  DestroyWindow(window);
  SendMessageA(window, WM_CAP_DRIVER_DISCONNECT, 1, 0);
  const std::vector<Call> expected = {{window, WM_CREATE, 320},
                                      {window, WM_CAP_DRIVER_CONNECT, 1},
                                      {window, WM_WINDOWPOSCHANGED, 50},
                                      {window, WM_DESTROY, 0},
                                      {window, WM_CAP_DRIVER_DISCONNECT, 1}};
  QVERIFY(calls == expected);
}

void TestCaptureWindow::hundredConnectionsLeaveNoDescriptor() {
  const int before = openDescriptorsOfProcess();
  for (int cycle = 0; cycle < 100; ++cycle) {
    const HWND window = connectedWindow(*host_, true);
    QVERIFY(window);
    if (cycle % 25 == 0) {
      auto* widget = static_cast<CaptureWindow*>(captureWidget(window));
      QTRY_VERIFY(!widget->currentFrame().isNull());
    }
    QCOMPARE(SendMessageA(window, WM_CAP_DRIVER_DISCONNECT, 0, 0), 1);
    QVERIFY(DestroyWindow(window));
  }
  QCOMPARE(openDescriptorsOfProcess(), before);
}

QTEST_MAIN(TestCaptureWindow)
#include "tst_capturewindow.moc"
