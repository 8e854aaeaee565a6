// The application's style with its standard pictures read when first shown:
// the pictures are the wrapped style's own, and building the program's kind
// of window (a menu bar, tool bars, MDI sub-windows, the folder and drive
// lists) reads no picture file, so Qt's image plugins stay unloaded until
// something is painted.

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "platform/ui/deferrediconstyle.h"
#include "platform/ui/dirlistbox.h"
#include "platform/ui/drawnicons.h"
#include "platform/ui/drivelistbox.h"

namespace {

// Whether any of Qt's image-format plugins is mapped into this process.
bool imagePluginsLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) return true;
  return maps.readAll().contains("/imageformats/");
}

QImage pictureOf(const QIcon& icon, int size) {
  return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class DeferredIconStyleTest : public QObject {
  Q_OBJECT

 private slots:
  // First, before anything else in this process reads a picture.
  void buildingWindowsReadsNoPicture() {
    QVERIFY2(!imagePluginsLoaded(), "loaded before the test began");
    // As main() sets them: the style, and the program's own icon, which the
    // sub-windows show instead of the style's picture.
    QApplication::setStyle(new ui::DeferredIconStyle(QApplication::style()));
    QApplication::setWindowIcon(ui::programIcon());
    QMainWindow frame;
    frame.menuBar()->addMenu(QStringLiteral("Dosya"))->addAction(QStringLiteral("Çıkış"));
    auto* area = new QMdiArea;
    frame.setCentralWidget(area);
    auto* bar = new QToolBar;
    bar->addAction(ui::drawnIcon(QStringLiteral("foto"), 24), QStringLiteral("Fotoğraf"));
    area->addSubWindow(bar);
    area->addSubWindow(new ui::DirListBox);
    area->addSubWindow(new ui::DriveListBox(nullptr, {}));
    QVERIFY(!imagePluginsLoaded());
    // The program's own pictures are read as the PNGs they are.
    QVERIFY(!pictureOf(ui::drawnIcon(QStringLiteral("folder"), ui::kListIconSize), 16).isNull());
    QVERIFY(!imagePluginsLoaded());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
    QApplication::setWindowIcon(QIcon());
  }

  void picturesAreTheWrappedStylesOwn_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("size");
    QTest::newRow("menu overflow") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << 16;
    QTest::newRow("close") << int(QStyle::SP_TitleBarCloseButton) << 16;
    QTest::newRow("restore") << int(QStyle::SP_TitleBarNormalButton) << 16;
    QTest::newRow("folder") << int(QStyle::SP_DirIcon) << 32;
    QTest::newRow("drive") << int(QStyle::SP_DriveHDIcon) << 16;
    QTest::newRow("message: warning") << int(QStyle::SP_MessageBoxWarning) << 32;
  }

  void picturesAreTheWrappedStylesOwn() {
    QFETCH(int, which);
    QFETCH(int, size);
    const auto pixmap = static_cast<QStyle::StandardPixmap>(which);
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("fusion")));
    ui::DeferredIconStyle deferred(QStyleFactory::create(QStringLiteral("fusion")));
    const QIcon expected = plain->standardIcon(pixmap);
    const QIcon icon = deferred.standardIcon(pixmap);
    QCOMPARE(icon.isNull(), expected.isNull());
    QCOMPARE(icon.availableSizes(), expected.availableSizes());
    QCOMPARE(icon.actualSize(QSize(size, size)), expected.actualSize(QSize(size, size)));
    QCOMPARE(pictureOf(icon, size), pictureOf(expected, size));
    // Copies share the answer; a disabled one is greyed like the style's.
    QCOMPARE(pictureOf(QIcon(icon), size), pictureOf(expected, size));
    QCOMPARE(icon.pixmap(QSize(size, size), QIcon::Disabled).toImage(),
             expected.pixmap(QSize(size, size), QIcon::Disabled).toImage());
  }

  // A plain option is kept for later: right-to-left turns the arrows.
  void theOptionsDirectionIsKept() {
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("fusion")));
    ui::DeferredIconStyle deferred(QStyleFactory::create(QStringLiteral("fusion")));
    QStyleOption option;
    option.direction = Qt::RightToLeft;
    for (const auto which : {QStyle::SP_ArrowBack, QStyle::SP_ArrowForward,
                             QStyle::SP_ToolBarHorizontalExtensionButton}) {
      QCOMPARE(pictureOf(deferred.standardIcon(which, &option), 16),
               pictureOf(plain->standardIcon(which, &option), 16));
    }
    option.direction = Qt::LeftToRight;
    QVERIFY(pictureOf(deferred.standardIcon(QStyle::SP_ArrowBack, &option), 16) !=
            pictureOf(plain->standardIcon(QStyle::SP_ArrowForward, &option), 16));
  }
};

QTEST_MAIN(DeferredIconStyleTest)
#include "tst_deferrediconstyle.moc"
