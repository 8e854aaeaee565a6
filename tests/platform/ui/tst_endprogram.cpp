// Ending the program at once: windows disappear, the event loop ends, and no
// close handler runs (QApplication::quit would run them).

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "platform/ui/endprogram.h"

namespace {

class CountingWindow : public QWidget {
 public:
  int closeEvents = 0;

 protected:
  void closeEvent(QCloseEvent* event) override {
    ++closeEvents;
    event->accept();
  }
};

}  // namespace

class EndProgramTest : public QObject {
  Q_OBJECT
 private slots:
  void endsTheLoopWithoutCloseHandlers() {
    CountingWindow window;
    window.show();
    QTimer::singleShot(0, [] { ui::endProgram(); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(window.isHidden());
    QCOMPARE(window.closeEvents, 0);
  }

  void leavesNestedLoopsToo() {
    CountingWindow window;
    window.show();
    bool nestedLeft = false;
    QTimer::singleShot(0, [&] {
      QEventLoop modal;  // as a modal dialog's loop would be
      QTimer::singleShot(0, [] { ui::endProgram(); });
      modal.exec();
      nestedLeft = true;
    });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(nestedLeft);
    QCOMPARE(window.closeEvents, 0);
  }

  void endingBeforeTheLoopRunsEndsItAtOnce() {
    CountingWindow window;
    window.show();
    ui::endProgram();
    QVERIFY(window.isHidden());
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(window.closeEvents, 0);
  }
};

QTEST_MAIN(EndProgramTest)
#include "tst_endprogram.moc"
