// The real capture window against synthetic cameras: connecting, the scaled
// and unscaled preview, painting, grabbing, the private clipboard, the first
// frame's timing and report, and letting go of every descriptor.

#include <dirent.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "platform/video/capturestream.h"
#include "platform/video/capturewidget.h"
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

bool allBlack(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != qRgb(0, 0, 0)) return false;
  return true;
}

// The clock the programs stamp their first paint with (the system's monotonic one).
long long monotonicNs() {
  return static_cast<long long>(
      std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count());
}

// The messages of one logging category while it lives, under the filter
// rules it is given; the previous handler and rules come back afterwards.
class CategoryMessages {
 public:
  CategoryMessages(const char* category, const QString& rules) {
    category_ = category;
    lines_.clear();
    QLoggingCategory::setFilterRules(rules);
    previous_ = qInstallMessageHandler(&CategoryMessages::record);
  }
  ~CategoryMessages() {
    qInstallMessageHandler(previous_);
    QLoggingCategory::setFilterRules(QString());
  }
  CategoryMessages(const CategoryMessages&) = delete;
  CategoryMessages& operator=(const CategoryMessages&) = delete;
  const QStringList& lines() const { return lines_; }

 private:
  static void record(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (context.category && qstrcmp(context.category, category_) == 0) lines_ << message;
  }
  static inline const char* category_ = nullptr;
  static inline QStringList lines_;
  QtMessageHandler previous_ = nullptr;
};

}  // namespace

class TestCaptureWidget : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void connectToMissingDriverFails();
  void withoutCamerasNothingConnects();
  void askingAgainForTheStreamingDriverIsAYes();
  void disconnectShowsBlack();
  void scaledPreviewFillsTheWindow();
  void unscaledPreviewKeepsNaturalSize();
  void resizeChangesTheDecodedSize();
  void grabFreezesTheNewestFrame();
  void copyUsesThePrivateClipboardOnly();
  void dialogsAreModalOverTheTopLevel();
  void pixelsMatchWhatIsPainted();
  void firstFrameShowsWithoutWaitingForThePreviewRate();
  void firstPaintShowsAFrameAlreadyDelivered_data();
  void firstPaintShowsAFrameAlreadyDelivered();
  void firstPaintedFrameIsReportedOnlyWhenAsked_data();
  void firstPaintedFrameIsReportedOnlyWhenAsked();
  void hundredConnectionsLeaveNoDescriptor();

 private:
  std::unique_ptr<CaptureWidget> newWindow(QWidget& host);
  std::unique_ptr<CaptureWidget> connectedWindow(QWidget& host, bool scale);

  std::shared_ptr<DeviceProvider> cameras_;
  std::unique_ptr<QWidget> host_;
};

void TestCaptureWidget::init() {
  cameras_ =
      std::make_shared<SyntheticProvider>(std::vector<std::string>{" Kamera A ", "Kamera B"});
  host_ = std::make_unique<QWidget>();
  host_->resize(400, 300);
  host_->show();
}

void TestCaptureWidget::cleanup() {
  host_.reset();
  privateClipboard().clear();
}

std::unique_ptr<CaptureWidget> TestCaptureWidget::newWindow(QWidget& host) {
  auto window = std::make_unique<CaptureWidget>(cameras_, &host);
  window->setGeometry(0, 0, 320, 240);
  window->show();
  return window;
}

std::unique_ptr<CaptureWidget> TestCaptureWidget::connectedWindow(QWidget& host, bool scale) {
  auto window = newWindow(host);
  if (!window->connectDriver(0)) return nullptr;
  window->setScale(scale);
  window->setPreviewRate(15);
  window->setPreview(true);
  return window;
}

void TestCaptureWidget::connectToMissingDriverFails() {
  const auto window = newWindow(*host_);
  QVERIFY(!window->connectDriver(7));
  QVERIFY(!window->isConnected());
  window->disconnectDriver();  // nothing to let go of
  QVERIFY(!window->grabFrame());
  QVERIFY(!window->copyFrame());
  QVERIFY(!privateClipboard().hasImage());
}

void TestCaptureWidget::withoutCamerasNothingConnects() {
  CaptureWidget window(nullptr, host_.get());
  QVERIFY(!window.connectDriver(0));
  QVERIFY(allBlack(window.pixels()));
}

void TestCaptureWidget::askingAgainForTheStreamingDriverIsAYes() {
  const auto window = connectedWindow(*host_, true);
  QVERIFY(window);
  const CaptureStream* stream = window->stream();
  QVERIFY(window->connectDriver(0));
  QCOMPARE(window->stream(), stream);
  // Another driver replaces the stream.
  QVERIFY(window->connectDriver(1));
  QVERIFY(window->isConnected());
}

void TestCaptureWidget::disconnectShowsBlack() {
  const auto window = connectedWindow(*host_, true);
  QTRY_VERIFY(testsupport::hasPicture(window->pixels()));
  window->disconnectDriver();
  QVERIFY(!window->isConnected());
  QVERIFY(allBlack(window->pixels()));
}

void TestCaptureWidget::scaledPreviewFillsTheWindow() {
  const auto window = connectedWindow(*host_, true);
  QVERIFY(window);
  window->resizeTo(QSize(400, 300));
  QCOMPARE(window->geometry(), QRect(0, 0, 400, 300));
  QTRY_VERIFY(testsupport::hasPicture(window->pixels(), QRect(0, 0, 400, 300)));
  // The frame covers the window edge to edge: no bars around a scaled preview.
  QTRY_COMPARE(window->currentFrame().size(), QSize(400, 300));
  QCOMPARE(window->pixels(), window->currentFrame());
}

void TestCaptureWidget::unscaledPreviewKeepsNaturalSize() {
  const auto window = connectedWindow(*host_, false);
  QVERIFY(window);
  window->resizeTo(QSize(800, 600));
  QTRY_COMPARE(window->currentFrame().size(), QSize(640, 480));
  const QImage pixels = window->pixels();
  QVERIFY(testsupport::hasPicture(pixels, QRect(0, 0, 40, 40)));
  QVERIFY(!testsupport::hasPicture(pixels, QRect(650, 490, 140, 100)));
}

void TestCaptureWidget::resizeChangesTheDecodedSize() {
  const auto window = connectedWindow(*host_, true);
  QTRY_COMPARE(window->currentFrame().size(), QSize(320, 240));
  window->resizeTo(QSize(123, 77));
  QCOMPARE(window->size(), QSize(123, 77));
  QTRY_COMPARE(window->currentFrame().size(), QSize(123, 77));
  QCOMPARE(window->pixels().size(), QSize(123, 77));
}

void TestCaptureWidget::grabFreezesTheNewestFrame() {
  const auto window = connectedWindow(*host_, true);
  QTRY_VERIFY(!window->currentFrame().isNull());
  QVERIFY(window->grabFrame());
  QVERIFY(!window->isPreviewing());
  const qint64 grabbed = window->currentFrame().cacheKey();
  const std::uint64_t at = window->stream()->frames().sequence();
  QTRY_VERIFY(window->stream()->frames().sequence() >= at + 3);
  QCoreApplication::processEvents();
  QCOMPARE(window->currentFrame().cacheKey(), grabbed);
  // Preview on again: live frames replace the frozen one.
  window->setPreview(true);
  QTRY_VERIFY(window->currentFrame().cacheKey() != grabbed);
}

void TestCaptureWidget::copyUsesThePrivateClipboardOnly() {
  QGuiApplication::clipboard()->setText("the user's own text");
  const auto window = connectedWindow(*host_, false);
  QTRY_VERIFY(!window->currentFrame().isNull());
  QVERIFY(window->grabFrame());
  QVERIFY(window->copyFrame());
  QVERIFY(privateClipboard().hasImage());
  QCOMPARE(privateClipboard().image().size(), QSize(640, 480));
  QCOMPARE(privateClipboard().image(), window->currentFrame());
  QCOMPARE(QGuiApplication::clipboard()->text(), QString("the user's own text"));
}

void TestCaptureWidget::dialogsAreModalOverTheTopLevel() {
  const auto window = connectedWindow(*host_, true);
  QStringList seen;
  const auto closeModal = [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    seen << dialog->windowTitle();
    if (dialog->parentWidget() != host_.get()) seen << "wrong parent";
    static_cast<QDialog*>(dialog)->reject();
  };
  QTimer::singleShot(0, closeModal);
  QVERIFY(window->showFormatDialog());
  QTimer::singleShot(0, closeModal);
  QVERIFY(window->showSourceDialog());
  QCOMPARE(seen,
           (QStringList{QString::fromUtf8("Görüntü Boyutu"), QString::fromUtf8("Video Kaynağı")}));
  QVERIFY(window->isConnected());
}

void TestCaptureWidget::pixelsMatchWhatIsPainted() {
  const auto window = connectedWindow(*host_, true);
  window->resizeTo(QSize(200, 150));
  QTRY_COMPARE(window->currentFrame().size(), QSize(200, 150));
  window->grabFrame();
  const QImage painted = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QCOMPARE(window->pixels(), painted);
}

void TestCaptureWidget::firstFrameShowsWithoutWaitingForThePreviewRate() {
  // A preview rate far longer than QTRY's patience: only a window that looks
  // for its first frame sooner can show one in time.
  const auto window = newWindow(*host_);
  QVERIFY(window->connectDriver(0));
  window->setPreviewRate(60000);
  window->setPreview(true);
  QTRY_VERIFY(!window->currentFrame().isNull());
  // From then on the rate holds: newer frames wait for the next period.
  QCOMPARE(window->pullInterval(), 60000);
  const qint64 first = window->currentFrame().cacheKey();
  const std::uint64_t at = window->stream()->frames().sequence();
  QTRY_VERIFY(window->stream()->frames().sequence() >= at + 3);
  QCoreApplication::processEvents();
  QCOMPARE(window->currentFrame().cacheKey(), first);
}

void TestCaptureWidget::firstPaintShowsAFrameAlreadyDelivered_data() {
  QTest::addColumn<bool>("preview");
  QTest::newRow("previewing: the frame is painted") << true;
  QTest::newRow("preview off: the window stays black") << false;
}

void TestCaptureWidget::firstPaintShowsAFrameAlreadyDelivered() {
  QFETCH(bool, preview);
  const auto window = newWindow(*host_);
  QVERIFY(window->connectDriver(0));
  window->setPreview(preview);
  // Waits without running events, so the window's own looks cannot take the
  // frame: only the paint can.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (window->stream()->frames().sequence() == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  QVERIFY(window->stream()->frames().sequence() > 0);
  QVERIFY(window->currentFrame().isNull());
  const QImage painted = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QCOMPARE(testsupport::hasPicture(painted), preview);
  QCOMPARE(window->currentFrame().isNull(), !preview);
}

void TestCaptureWidget::firstPaintedFrameIsReportedOnlyWhenAsked_data() {
  QTest::addColumn<QString>("rules");
  QTest::addColumn<int>("lines");
  QTest::newRow("silent by default") << QString() << 0;
  QTest::newRow("one line when the category is on") << "tandeo.startup.info=true" << 1;
  QTest::newRow("other categories on leave it silent") << "tandeo.video.debug=true" << 0;
}

void TestCaptureWidget::firstPaintedFrameIsReportedOnlyWhenAsked() {
  QFETCH(QString, rules);
  QFETCH(int, lines);
  const CategoryMessages messages("tandeo.startup", rules);
  const auto window = newWindow(*host_);
  // Painted without a camera: no frame, nothing to report.
  (void)window->grab();
  QVERIFY(messages.lines().isEmpty());
  const long long before = monotonicNs();
  QVERIFY(window->connectDriver(0));
  window->setPreview(true);
  QTRY_VERIFY(!window->currentFrame().isNull());
  (void)window->grab();
  const long long after = monotonicNs();
  (void)window->grab();
  QCOMPARE(messages.lines().size(), lines);
  if (lines == 0) return;
  const QString line = messages.lines().front();
  const QString prefix = QStringLiteral("first camera frame painted at monotonic ");
  QVERIFY2(line.startsWith(prefix) && line.endsWith(QStringLiteral(" ns")), qPrintable(line));
  const long long stamp = line.mid(prefix.size()).section(QLatin1Char(' '), 0, 0).toLongLong();
  QVERIFY(stamp >= before && stamp <= after);
}

void TestCaptureWidget::hundredConnectionsLeaveNoDescriptor() {
  const int before = openDescriptorsOfProcess();
  for (int cycle = 0; cycle < 100; ++cycle) {
    auto window = connectedWindow(*host_, true);
    QVERIFY(window);
    if (cycle % 25 == 0) QTRY_VERIFY(!window->currentFrame().isNull());
    if (cycle % 10 == 0) {
      // Deleted with its host, stream and all.
      QPointer<CaptureWidget> watched = window.release();
      host_ = std::make_unique<QWidget>();
      QVERIFY(watched.isNull());
    } else {
      window->disconnectDriver();
    }
  }
  QCOMPARE(openDescriptorsOfProcess(), before);
}

QTEST_MAIN(TestCaptureWidget)
#include "tst_capturewidget.moc"
