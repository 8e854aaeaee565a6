// The font configuration read on a thread of its own while the application
// object is made, as main() does: Qt must end up with the same fonts as
// without it, whichever of the two threads gets to the configuration first.

#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QTest>
#include <memory>

#include "platform/ui/fontwarmup.h"

namespace {

// What fontconfig itself picks for the desktop's default sans-serif font.
QString fontconfigSansFamily() {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  QString family;
  FcChar8* name = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
    family = QString::fromUtf8(reinterpret_cast<const char*>(name));
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return family;
}

}  // namespace

class FontWarmupTest : public QObject {
  Q_OBJECT

 private slots:
  void qtSeesTheMachinesFonts() {
    const QStringList families = QFontDatabase::families();
    QVERIFY(!families.isEmpty());
    const QString sans = fontconfigSansFamily();
    QVERIFY(!sans.isEmpty());
    QVERIFY2(families.contains(sans), qPrintable(sans));
  }

  void textIsMeasuredWithARealFont() {
    QLabel label(QStringLiteral("Resim Alınıyor. Lütfen Bekleyiniz"));
    QVERIFY(label.sizeHint().width() > 100);
  }

  // Started again once everything is loaded, and many times over while Qt
  // lays text out: FcInit returns at once, nothing is reloaded or torn down.
  void laterWarmupsChangeNothing() {
    FcConfig* before = FcConfigGetCurrent();
    const QFont font = QApplication::font();
    for (int i = 0; i < 20; ++i) {
      const ui::FontConfigurationWarmup again;
      QVERIFY(QFontMetrics(font).horizontalAdvance(QStringLiteral("ğüşıöç")) > 0);
    }
    QCOMPARE(FcConfigGetCurrent(), before);
  }
};

int main(int argc, char** argv) {
  // As in main(): the thread races the application object's own font set-up.
  const auto warmup = std::make_unique<ui::FontConfigurationWarmup>();
  QApplication app(argc, argv);
  FontWarmupTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_fontwarmup.moc"
