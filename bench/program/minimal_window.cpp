// The floor of the start-up benchmark: the least a Qt Widgets program with a
// frame does before its first paint (one main window with a menu bar and one
// menu, shown). It reports its first paint the way the program reports its
// first camera frame, on the same logging category, so one reader times both.

#include <QApplication>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <chrono>

Q_LOGGING_CATEGORY(lcStartup, "tandeo.startup", QtWarningMsg)

namespace {

class PaintedArea final : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (reported_) return;
    reported_ = true;
    qCInfo(
        lcStartup, "first paint at monotonic %lld ns",
        static_cast<long long>(
            std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count()));
  }

 private:
  bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.menuBar()->addMenu(QStringLiteral("Dosya"))->addAction(QStringLiteral("Çıkış"));
  window.setCentralWidget(new PaintedArea);
  window.resize(640, 480);
  window.show();
  return QApplication::exec();
}
